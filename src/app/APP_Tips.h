#pragma once
#include <string>
#include <vector>

// The loading screen's tips, handed out in turn; the position survives
// restarts in tip_pos.ini in the user folder.
class APP_Tips {
public:
    static APP_Tips& GetInstance();

    // Reads the tips of tipsFile and the position kept in userFolder.
    APP_Tips(const std::string& tipsFile, const std::string& userFolder);
    virtual ~APP_Tips();
    APP_Tips(const APP_Tips&) = delete;
    APP_Tips& operator=(const APP_Tips&) = delete;

    // The next tip; "" when there are none.
    const std::string& NextTip();
    bool SavePosition() const;

    int GetNextIndex() const { return m_nextTip; }
    size_t GetTipCount() const { return m_tips.size(); }
    std::string PositionPath() const { return m_userFolder + "/tip_pos.ini"; }

private:
    std::vector<std::string> m_tips;
    int m_nextTip = 0;
    std::string m_userFolder;
};
