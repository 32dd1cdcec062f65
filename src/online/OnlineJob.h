#pragma once
#include <atomic>
#include <functional>
#include <memory>
#include <string>

class SIM_Server;

// One server request run beside the frame. The worker gets a client and a
// server object of its own and writes only into the job, which the window
// and the worker share: a window closed early drops its share and the
// worker's result goes with the last owner. A cancelled job's request stops
// soon after (it then fails); at exit the game cancels every request in
// flight and the workers are joined.
class OnlineJob {
public:
    enum State { RUNNING, SUCCEEDED, FAILED };
    using Work = std::function<bool(SIM_Server& server, std::string& text)>;

    // Without a configured server the job fails at once and no thread starts.
    static std::shared_ptr<OnlineJob> Start(Work work);
    // Waits for every worker (tests, exit).
    static void JoinAll();

    State GetState() const { return static_cast<State>(m_state.load()); }
    bool IsDone() const { return GetState() != RUNNING; }
    bool Succeeded() const { return GetState() == SUCCEEDED; }
    // Stops the request (the job then fails); harmless once done.
    void Cancel() { m_cancel = true; }
    bool IsCancelled() const { return m_cancel.load(); }
    // True when it failed at once because no server is set up (nothing went out).
    bool WasOffline() const { return m_offline; }
    // True, once done, when a request of the worker got no answer at all:
    // the server is down or out of reach, which is no fault to log.
    bool WasUnanswered() const { return IsDone() && m_unanswered; }
    // The worker's text; only once done.
    std::string TakeText();
    // Once the job is done: its outcome and text, and the holder's share let
    // go. False, with nothing changed, while it runs or when there is none.
    static bool Collect(std::shared_ptr<OnlineJob>& job, bool& succeeded, std::string& text);

private:
    std::atomic<int> m_state{RUNNING};
    std::atomic<bool> m_cancel{false};
    bool m_offline = false;
    bool m_unanswered = false;
    std::string m_text;
};
