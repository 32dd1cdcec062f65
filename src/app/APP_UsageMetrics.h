#pragma once
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "sim/SIM_MetricsSink.h"

class IClock;

// One counted use of the interface.
struct APP_UsageEvent {
    float total = 0.0f; // summed values (seconds for "runtime")
    bool flag = false;
    int32_t count = 0;
    std::string name;
};

// Counts how the interface is used and how long the game runs. The counts add
// up across runs in um.ini; met.ini keeps an anonymous installation id. At
// shutdown the run time is added, the file saved and posted to the server.
class APP_UsageMetrics : public SIM_MetricsSink {
public:
    static constexpr int kIdDigits = 10;

    // Uses the user folder, the steady clock and a seed from the system.
    static APP_UsageMetrics& GetInstance();

    // An empty user folder keeps everything in memory. The seed makes the
    // installation id when met.ini has none.
    APP_UsageMetrics(const std::string& userFolder, const IClock* clock, uint64_t idSeed);
    ~APP_UsageMetrics() override;
    APP_UsageMetrics(const APP_UsageMetrics&) = delete;
    APP_UsageMetrics& operator=(const APP_UsageMetrics&) = delete;

    void AddEventCount(const std::string& name, int count);
    void SetEventFlag(const std::string& name) override;
    void AddEventValue(const std::string& name, float value);
    // 0 when absent, 1 when flagged, else the count when above 0, else 0.
    int GetEventCount(const std::string& name) const;
    const APP_UsageEvent* FindEvent(const std::string& name) const;
    const std::vector<APP_UsageEvent>& GetEvents() const { return m_events; }

    // The run's start; set at construction, and again by start-up.
    // Keeps the metrics of this user folder from now on: a start of the game
    // with another folder in the same process reads that folder's files.
    void UseUserFolder(const std::string& folder);
    void MarkRunStart();
    void RecordRuntime();

    bool Load();
    bool Save() const;
    bool Upload() const;

    const std::string& GetId() const { return m_id; }
    std::string GetMetricsPath() const;
    std::string GetIdPath() const;

    // A fresh id of ten digits 0 to 8 from the seed.
    static std::string MakeId(uint64_t seed);
    static bool IsValidId(const std::string& id);

private:
    void Merge(const std::string& name, bool flag, int32_t count, float value);
    void LoadOrMakeId(uint64_t seed);

    std::vector<APP_UsageEvent> m_events;
    // Position of each name in m_events: a file of many events merges in linear time.
    std::unordered_map<std::string, size_t> m_index;
    std::string m_userFolder;
    const IClock* m_clock;
    double m_runStart = 0.0;
    std::string m_id = "0000000000";
};
