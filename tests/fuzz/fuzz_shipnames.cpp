// A mutated ship-name list: names are handed out until the list is spent.
#include "FuzzFiles.h"
#include "sim/SIM_ShipNameGenerator.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string path = FuzzFile("fuzznames.txt", data, size);
    SIM_ShipNameGenerator& names = SIM_ShipNameGenerator::GetInstance();
    names.Clear();
    names.LoadFile(path);
    SIM_ShipNameGenerator::NameList* list = names.FindList("fuzznames");
    const size_t count = list ? list->names.size() : 0;
    for (size_t i = 0; i < count + 1 && i < 64; ++i)
        names.PickName("fuzznames");
    names.RemoveNameFromAll("x");
    return 0;
}
