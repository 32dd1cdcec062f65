#include "engine/ModSupport.h"

#include "engine/APP_InstallList.h"
#include "engine/GDebugLog.h"
#include "engine/GFileList.h"

void ModSupport::FindFiles(GFileList* out, const char* pattern)
{
    FindFiles(out, pattern, APP_InstallList::GetInstance().GetFolders());
}

void ModSupport::FindHullFiles(GFileList* out)
{
    FindHullFiles(out, APP_InstallList::GetInstance().GetFolders());
}

void ModSupport::FindFiles(GFileList* out, const char* pattern, const std::vector<std::string>& folders)
{
    QLM_ASSERT(out != nullptr);
    if (!out || !pattern)
        return;
    for (const std::string& folder : folders)
        out->FindFiles(folder + "/" + pattern);
}

void ModSupport::FindHullFiles(GFileList* out, const std::vector<std::string>& folders)
{
    QLM_ASSERT(out != nullptr);
    if (!out)
        return;
    for (const std::string& folder : folders)
        out->FindFolders(folder + "/data/hulls/*.*");
}
