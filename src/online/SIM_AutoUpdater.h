#pragma once

// The daily program-update check. Updates are not offered yet: the check only
// notes that it ran.
class SIM_AutoUpdater {
public:
    static SIM_AutoUpdater& GetInstance()
    {
        static SIM_AutoUpdater instance;
        return instance;
    }
    void CheckForUpdate();
    bool HasChecked() const { return m_checked; }

private:
    bool m_checked = false;
};
