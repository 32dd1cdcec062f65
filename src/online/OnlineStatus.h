#pragma once
#include <string>

class OnlineJob;

// What an online screen says about the fetch behind it. Every screen tells
// these apart the same way, from the job itself, and words the first three
// alike: no server set up (nothing went out), the fetch failed (refused, no
// answer, an unusable answer), the player cancelled it. Only the waiting and
// the empty lines are the screen's own.
class OnlineStatus {
public:
    enum Kind { NONE, WAITING, NO_SERVER, FAILED, CANCELLED, EMPTY };

    // A finished job: NONE when it succeeded, else why it did not.
    static Kind Of(const OnlineJob& job);
    // Of, and EMPTY for a success that left nothing to show.
    static Kind Of(const OnlineJob& job, bool nothingToShow);
    // The string-table key of the line ("" for NONE).
    static const char* Key(Kind kind, const char* waitingKey, const char* emptyKey);
    // The line itself ("" for NONE).
    static std::string Text(Kind kind, const char* waitingKey, const char* emptyKey);
};
