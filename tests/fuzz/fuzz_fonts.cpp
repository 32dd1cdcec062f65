// A mutated font advance file: whatever it holds, every advance the text
// layout reads stays within a cell.
#include "FuzzFiles.h"
#include "engine/LibFont.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string path = FuzzFile("font.dds.dat", data, size);
    LibFont font;
    font.Load(path, "fuzz_font_missing.dds", 16, 24);
    for (int cell = 0; cell < LibFont::kCells; ++cell)
        if (font.GetAdvance(cell) < 0 || font.GetAdvance(cell) > 24 * 4)
            abort();
    return 0;
}
