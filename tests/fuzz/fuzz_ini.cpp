// Any text must load without fault, keep its bounds, and survive a save and
// reload with the same entries.
#include "engine/GIniFile.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {
bool Visible(char c)
{
    return static_cast<unsigned char>(c) > ' ';
}

// An entry that a save writes and a load reads back unchanged.
bool SavesPlainly(const std::string& k, const std::string& v)
{
    if (k.empty() || !Visible(k[0]) || !Visible(k.back()) || k[0] == '[' || k[0] == '/' ||
        k.find_first_of("=\n\r") != std::string::npos)
        return false;
    if (v.empty())
        return true;
    return v[0] != '"' && Visible(v[0]) && Visible(v.back()) && v.find_first_of("\n\r") == std::string::npos;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    // The first line names the section, the rest is the file.
    size_t eol = text.find('\n');
    std::string section = text.substr(0, eol == std::string::npos ? 0 : eol);
    std::string body = eol == std::string::npos ? text : text.substr(eol + 1);
    if (section.find_first_of("\r\0]", 0, 3) != std::string::npos)
        section.clear();

    GIniFile ini;
    ini.LoadFromText(section.c_str(), body);
    for (size_t i = 0; i < ini.GetEntryCount(); ++i) {
        const std::string& key = ini.GetKeyAt(i);
        if (key.empty() || key.size() > GIniFile::kMaxKey || ini.GetValueAt(i).size() > GIniFile::kMaxValue)
            abort();
        ini.GetFloat(key.c_str(), 1.0f);
        ini.GetInt(key.c_str());
        if (!ini.HasKey(key.c_str()))
            abort();
    }
    std::string key, value;
    while (ini.GetNextEntry(key, value)) {
    }
    ini.GetRandomValue();

    // A saved section reads back with as many entries, in order, as long as
    // nothing in it would be read differently (leading quotes, blanks at the
    // ends of a value, '=' in a key, comment keys).
    std::string saved = ini.SaveToText();
    GIniFile back;
    back.LoadFromText(section.c_str(), saved);
    bool plain = section.find('\n') == std::string::npos;
    for (size_t i = 0; i < ini.GetEntryCount() && plain; ++i)
        plain = SavesPlainly(ini.GetKeyAt(i), ini.GetValueAt(i));
    if (plain) {
        if (back.GetEntryCount() != ini.GetEntryCount())
            abort();
        for (size_t i = 0; i < ini.GetEntryCount(); ++i)
            if (back.GetKeyAt(i) != ini.GetKeyAt(i) || back.GetValueAt(i) != ini.GetValueAt(i))
                abort();
    }
    return 0;
}
