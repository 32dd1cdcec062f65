// A mutated ship design: read, costed, checked, written and read back. The
// written file must read back as the same design (same name and modules).
#include "FuzzContent.h"
#include "FuzzFiles.h"
#include "sim/SIM_ShipDesign.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    LoadContentOnce();
    const std::string path = FuzzFile("design.txt", data, size);
    SIM_ShipDesign design;
    design.Read(path);
    design.CalculateTotals();
    design.IsValid();
    const std::string copy = FuzzFolder() + "/copy.txt";
    if (!design.Write(copy))
        return 0;
    SIM_ShipDesign back;
    back.Read(copy);
    // A value that could forge lines would come back as another design.
    if (back.GetName() != design.GetName() || back.GetModules().size() != design.GetModules().size())
        abort();
    return 0;
}
