#include "campaign/sim/SIM_CampaignNames.h"

std::string CleanCampaignName(const std::string& typed)
{
    std::string out;
    out.reserve(typed.size());
    for (unsigned char c : typed)
        if (c >= 0x20 && c != 0x7F && c != '[' && c != '=')
            out += static_cast<char>(c);
    const size_t first = out.find_first_not_of(' ');
    if (first == std::string::npos)
        return std::string();
    const size_t last = out.find_last_not_of(' ');
    return out.substr(first, last - first + 1);
}
