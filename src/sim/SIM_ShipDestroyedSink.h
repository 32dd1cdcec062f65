#pragma once

class SIM_Ship;

// Told when a ship is destroyed, so that a window showing it (the ship
// inspector, with its weapon figures, range rings and the comms it filters)
// lets go at once instead of staying on the wreck. The battle screen
// installs itself; without one (headless runner, tools) nobody is told.
class SIM_ShipDestroyedSink {
public:
    virtual ~SIM_ShipDestroyedSink() = default;
    virtual void OnShipDestroyed(const SIM_Ship& ship) = 0;

    static void Install(SIM_ShipDestroyedSink* sink) { s_sink = sink; }
    static SIM_ShipDestroyedSink* Get() { return s_sink; }
    static void Tell(const SIM_Ship& ship)
    {
        if (s_sink)
            s_sink->OnShipDestroyed(ship);
    }

private:
    static inline SIM_ShipDestroyedSink* s_sink = nullptr;
};
