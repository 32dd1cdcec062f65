#pragma once
#include "engine/GDebugLog.h"
#include "support/TempDir.h"

#include <string>

// The error log of a test in a folder of its own, opened for the object's
// life, so that a test can count the lines a failure wrote.
class ScopedErrorLog {
public:
    ScopedErrorLog() { GDebugLog::GetInstance().Open(m_dir.Path()); }
    ~ScopedErrorLog() { GDebugLog::GetInstance().Close(); }
    ScopedErrorLog(const ScopedErrorLog&) = delete;
    ScopedErrorLog& operator=(const ScopedErrorLog&) = delete;

    std::string Text() const { return m_dir.Read("debug/errors.txt"); }
    // Lines holding this text.
    int Count(const std::string& text) const
    {
        const std::string log = Text();
        int n = 0;
        for (size_t p = log.find(text); p != std::string::npos; p = log.find(text, p + 1))
            ++n;
        return n;
    }
    int Lines() const { return Count("\n"); }

private:
    TempDir m_dir;
};
