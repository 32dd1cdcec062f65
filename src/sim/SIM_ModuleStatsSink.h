#pragma once

class SIM_ShipModule;

// Told whenever a module's battle figures (shots, hits, damage dealt)
// change, so that a window showing them refreshes at once; the battle
// screen's HUD sets it. Without one nobody is told.
class SIM_ModuleStatsSink {
public:
    using Sink = void (*)(const SIM_ShipModule* module);
    static void Set(Sink newSink) { sink = newSink; }
    static Sink Get() { return sink; }
    static void Changed(const SIM_ShipModule* module)
    {
        if (sink)
            sink(module);
    }

private:
    static inline Sink sink = nullptr;
};
