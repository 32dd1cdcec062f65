#include "sim/SIM_DefaultOrders.h"

#include "engine/APP_UserFolders.h"
#include "engine/GDebugLog.h"
#include "engine/GFileHelpers.h"
#include "engine/GFileList.h"
#include "engine/GIniFile.h"
#include "engine/GSafeFile.h"
#include "engine/StrFormat.h"
#include "sim/SIM_BehaviourType.h"
#include "sim/SIM_ContentFiles.h"
#include "sim/SIM_ShipOrders.h"

#include <algorithm>

namespace {
std::vector<SIM_DefaultOrders*>& AllDefaults()
{
    static std::vector<SIM_DefaultOrders*> list;
    return list;
}

bool& LoadedFlag()
{
    static bool loaded = false;
    return loaded;
}

} // namespace

SIM_DefaultOrders::SIM_DefaultOrders()
{
    AllDefaults().push_back(this);
}

SIM_DefaultOrders::~SIM_DefaultOrders()
{
    auto& list = AllDefaults();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

std::string SIM_DefaultOrders::GetFolder()
{
    return APP_UserFolders::GetInstance().Get(APP_UserFolders::ORDERS);
}

std::string SIM_DefaultOrders::FilePathFor(const std::string& folder, const std::string& designName)
{
    return folder + "/" + SanitiseFileName(designName) + ".txt";
}

void SIM_DefaultOrders::LoadAll()
{
    if (LoadedFlag())
        return;
    LoadedFlag() = true;
    const std::string folder = GetFolder();
    if (folder.empty())
        return; // no user folder yet: nothing saved
    GFileList files;
    files.FindFiles(folder + "/*.txt");
    for (const std::string& file : files.names)
        (new SIM_DefaultOrders())->Read(file); // the global list owns it
}

void SIM_DefaultOrders::FreeAll()
{
    while (!AllDefaults().empty())
        delete AllDefaults().back();
    LoadedFlag() = false;
}

SIM_DefaultOrders* SIM_DefaultOrders::FindForDesign(const std::string& designName)
{
    LoadAll();
    for (SIM_DefaultOrders* d : AllDefaults())
        if (d->m_designName == designName)
            return d;
    return nullptr;
}

void SIM_DefaultOrders::Read(const std::string& filePath)
{
    m_entries.clear();
    std::vector<std::string> sections;
    GIniFile::ListSections(sections, filePath.c_str());
    for (const std::string& section : sections) {
        GIniFile ini;
        ini.Load(section.c_str(), filePath.c_str());
        if (section == "config") {
            m_designName = ini.GetString("designname");
            continue;
        }
        Entry e;
        e.behaviour = ini.GetString("name");
        e.float1 = ini.GetFloat("float1", 0.0f);
        e.float2 = ini.GetFloat("float2", 0.0f);
        m_entries.push_back(std::move(e));
    }
}

bool SIM_DefaultOrders::SetFromShipOrders(const std::string& designName, const SIM_ShipOrders* orders)
{
    QLM_ASSERT(orders != nullptr);
    if (!orders)
        return false;
    SIM_DefaultOrders* defaults = FindForDesign(designName);
    if (!defaults) {
        defaults = new SIM_DefaultOrders(); // the global list owns it
        defaults->m_designName = designName;
    }
    defaults->Clear();
    for (const auto& order : orders->GetOrders()) {
        if (order->type && order->type->shipLinked)
            continue;
        defaults->m_entries.push_back({order->behaviour, order->float1, order->float2});
    }
    return defaults->Write();
}

std::string SIM_DefaultOrders::ToText() const
{
    std::string text = "[config]\n";
    text += StrFormat("designname = %s\n\n", OneLine(m_designName).c_str());
    int index = 0;
    for (const Entry& e : m_entries) {
        text += StrFormat("[order%d]\n", index++);
        text += StrFormat("name = \"%s\"\n", OneLine(e.behaviour).c_str());
        text += StrFormat("float1 = %.2f\n", static_cast<double>(e.float1));
        text += StrFormat("float2 = %.2f\n\n", static_cast<double>(e.float2));
    }
    return text;
}

bool SIM_DefaultOrders::Write() const
{
    const std::string folder = GetFolder();
    const std::string path = FilePathFor(folder, m_designName);
    if (folder.empty() || !EnsureDirectoryExists(folder) || !WriteFileAtomically(path, ToText())) {
        LOG_ERROR(StrFormat("Failed to open %s", path.c_str()));
        return false;
    }
    return true;
}
