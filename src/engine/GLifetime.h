#pragma once
#include <memory>

// What a window may show (a fleet, a ship, an order, a placed icon, a planet)
// carries a GLifetime as its member `lifetime`; the window keeps a GWatch on
// it, never a bare pointer. However the thing goes (deleted by any route, or
// ended while it waits for its deletion), every watch reads null from then
// on, and the window manager closes the windows that follow it.
class GLifetime {
public:
    GLifetime() = default;
    // A copy is another thing: the original's watches do not follow it.
    GLifetime(const GLifetime&) noexcept {}
    GLifetime& operator=(const GLifetime&) noexcept { return *this; }
    ~GLifetime() = default;

    // Gone for every watch now, though the thing is deleted later (queued).
    void End() noexcept
    {
        m_token.reset();
        m_ended = true;
    }
    bool HasEnded() const { return m_ended; }

    // What a watch keeps. Made when first asked for, so things no window
    // watches cost nothing; an ended lifetime hands out a gone token.
    std::weak_ptr<const void> Token() const
    {
        if (!m_token && !m_ended)
            m_token = std::make_shared<const char>('\0');
        return m_token;
    }

private:
    mutable std::shared_ptr<const char> m_token;
    bool m_ended = false;
};

// A window's hold on its subject: Get() is the subject while it lives and
// null once it is gone, so every use looks it up again.
template <typename T>
class GWatch {
public:
    GWatch() = default;
    explicit GWatch(T* subject) : m_subject(subject)
    {
        if (subject)
            m_token = subject->lifetime.Token();
    }

    T* Get() const { return m_token.expired() ? nullptr : m_subject; }
    // Also true for a watch that never held anything.
    bool IsGone() const { return m_token.expired(); }
    // True only while the watched thing lives and is that one.
    bool Is(const T* subject) const { return subject && Get() == subject; }
    void Reset()
    {
        m_subject = nullptr;
        m_token.reset();
    }
    const std::weak_ptr<const void>& Token() const { return m_token; }

private:
    T* m_subject = nullptr;
    std::weak_ptr<const void> m_token;
};
