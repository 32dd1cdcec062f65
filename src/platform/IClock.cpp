#include "platform/IClock.h"

#include <chrono>

double SteadyClock::NowMs() const
{
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

const IClock& SystemClock()
{
    static const SteadyClock clock;
    return clock;
}
