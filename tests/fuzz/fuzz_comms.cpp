// A mutated comms.ini: every message kind hands out a line without fault.
#include "FuzzFiles.h"
#include "sim/SIM_CommsManager.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string path = FuzzFile("comms.ini", data, size);
    SIM_CommsManager comms(path);
    for (int id = 0; id < SIM_CommsManager::COM_COUNT; ++id) {
        comms.GetPool(id);
        comms.AddMessage(id, float(id), nullptr);
        comms.PopMessageText();
    }
    return 0;
}
