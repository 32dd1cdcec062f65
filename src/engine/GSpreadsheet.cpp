#include "engine/GSpreadsheet.h"

#include "engine/GDebugLog.h"
#include "engine/GSafeFile.h"
#include "engine/StrFormat.h"

GSpreadsheet::GSpreadsheet(const std::string& fileName)
{
    Load(fileName);
}

void GSpreadsheet::Load(const std::string& fileName)
{
    rows.clear();
    if (fileName.size() <= 1)
        return;
    std::string text;
    if (!ReadWholeFile(fileName, text)) {
        std::string msg = StrFormat("Failed to find spreadsheet: %s", fileName.c_str());
        LOG_ERROR(msg);
        LOG_DEBUG(msg);
        return;
    }
    LoadFromText(text);
}

void GSpreadsheet::LoadFromText(const std::string& text)
{
    rows.clear();
    size_t pos = 0;
    while (pos < text.size()) {
        size_t eol = text.find('\n', pos);
        size_t end = (eol == std::string::npos) ? text.size() : eol + 1;
        if (text[pos] == '#') {
            std::string row = text.substr(pos, end - pos);
            // Files written on Windows end their lines with CR LF.
            if (row.size() >= 2 && row[row.size() - 2] == '\r' && row.back() == '\n')
                row.erase(row.size() - 2, 1);
            if (size_t nul = row.find('\0'); nul != std::string::npos)
                row.resize(nul);
            rows.push_back(std::move(row));
        }
        pos = end;
    }
}
