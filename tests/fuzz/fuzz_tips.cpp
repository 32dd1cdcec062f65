// A mutated tips file (first byte even) or stored tip position (odd).
#include "FuzzFiles.h"
#include "app/APP_Tips.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    static const uint8_t kTips[] = "[tips]\nOne\nTwo\nThree\n";
    std::string tips = data[0] % 2 ? FuzzFile("tips.ini", kTips, sizeof kTips - 1)
                                   : FuzzFile("tips.ini", data + 1, size - 1);
    if (data[0] % 2)
        FuzzFile("tip_pos.ini", data + 1, size - 1);
    else
        RemoveFuzzFile("tip_pos.ini");
    APP_Tips list(tips, FuzzFolder());
    for (int i = 0; i < 4; ++i) {
        list.NextTip();
        if (list.GetTipCount() > 0 && size_t(list.GetNextIndex()) >= list.GetTipCount())
            abort();
    }
    return 0;
}
