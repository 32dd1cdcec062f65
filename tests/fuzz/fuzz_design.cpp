// A mutated ship design: read, costed, checked, written and read back. No
// value may break out of its line, and what was written once reads and
// writes again unchanged.
#include "FuzzContent.h"
#include "FuzzFiles.h"
#include "engine/GSafeFile.h"
#include "sim/SIM_ShipDesign.h"

#include <cstdint>
#include <cstdlib>

namespace {
std::string Written(const SIM_ShipDesign& design, const char* name)
{
    const std::string path = FuzzFolder() + "/" + name;
    std::string text;
    if (!design.Write(path) || !ReadWholeFile(path, text))
        abort();
    return text;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    LoadContentOnce();
    const std::string path = FuzzFile("design.txt", data, size);
    SIM_ShipDesign design;
    design.Read(path);
    design.CalculateTotals();
    design.IsValid();
    Written(design, "copy.txt");
    SIM_ShipDesign back;
    back.Read(FuzzFolder() + "/copy.txt");
    if (back.GetName().find_first_of("\r\n") != std::string::npos ||
        back.GetModules().size() != design.GetModules().size())
        abort();
    const std::string second = Written(back, "copy2.txt");
    SIM_ShipDesign again;
    again.Read(FuzzFolder() + "/copy2.txt");
    if (Written(again, "copy3.txt") != second)
        abort();
    return 0;
}
