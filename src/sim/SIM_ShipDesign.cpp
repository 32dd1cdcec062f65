#include "sim/SIM_ShipDesign.h"

#include <algorithm>
#include <unordered_map>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "engine/APP_UserFolders.h"
#include "engine/GDebugLog.h"
#include "engine/GFileHelpers.h"
#include "engine/GFileList.h"
#include "engine/GIniFile.h"
#include "engine/GSafeFile.h"
#include "engine/GTokenizer.h"
#include "engine/ModSupport.h"
#include "engine/StrFormat.h"
#include "engine/TextHelpers.h"
#include "sim/SIM_ContentFiles.h"
#include "sim/SIM_Options.h"
#include "sim/SIM_ShipHull.h"
#include "sim/SIM_ShipModuleType.h"

namespace {

std::vector<SIM_ShipDesign*>& DesignList()
{
    static std::vector<SIM_ShipDesign*> list;
    return list;
}

bool& LoadedFlag()
{
    static bool loaded = false;
    return loaded;
}

std::string FirstField(const std::string& value)
{
    GTokenizer tok(value, ',');
    std::string field = tok.NextString();
    const size_t start = field.find_first_not_of(" \t");
    return start == std::string::npos ? std::string() : field.substr(start);
}

void LoadMatching(const std::string& mask, bool playerFlag, bool withMods)
{
    GFileList files;
    files.FindFiles(mask);
    if (withMods)
        ModSupport::FindFiles(&files, mask.c_str());
    for (const std::string& file : files.names)
        SIM_ShipDesign::LoadFile(file, playerFlag);
}

const char* const kStarterArmour[3] = {"cruiser_armour", "frigate_armour", "fighter_armour"};

} // namespace

SIM_ShipDesign::SIM_ShipDesign()
{
    DesignList().push_back(this);
}

SIM_ShipDesign::~SIM_ShipDesign()
{
    auto& list = DesignList();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

bool SIM_ShipDesign::Read(const std::string& fileName)
{
    m_fileName = fileName;
    GIniFile config;
    const FileRead read = config.Load("config", fileName.c_str());
    if (!read) {
        // A refused file was logged by the reader.
        if (read.IsMissing())
            LOG_ERROR("Ship design skipped, no such file: " + fileName);
        return false;
    }
    m_name = config.GetString("name");
    m_guiName = config.GetString("guiname");
    const std::string hullName = config.GetString("hull");
    m_hull = SIM_ShipHull::Find(hullName, false);
    if (m_hull == nullptr) {
        LOG_ERROR(StrFormat("Ship design skipped, its hull [%s] is not known : %s", hullName.c_str(), fileName.c_str()));
        return false;
    }

    GIniFile modules;
    modules.Load("modules", fileName.c_str());
    int unknown = 0;
    std::string firstUnknown;
    for (int i = 0; i < m_hull->GetSlotCount(); ++i) {
        const std::string typeName = FirstField(modules.GetString(std::to_string(i).c_str()));
        if (typeName.empty())
            continue;
        SIM_ShipModuleType* type = SIM_ShipModuleType::Find(typeName, false);
        if (type == nullptr) {
            if (unknown++ == 0)
                firstUnknown = typeName;
            continue;
        }
        AddModule(type, i);
    }
    if (unknown > 0)
        LOG_ERROR(StrFormat("Ship design %s: %d modules not known (the first [%s]), their slots left empty",
                            fileName.c_str(), unknown, firstUnknown.c_str()));
    CalculateTotals();
    return true;
}

bool SIM_ShipDesign::Write(const std::string& fileName) const
{
    std::string text = "[config]\n";
    // Every value through the line guard: a name with a line break would
    // otherwise write sections and keys of its own.
    text += StrFormat("name = %s \n", OneLine(m_name).c_str());
    text += StrFormat("guiname = %s \n", OneLine(m_guiName).c_str());
    text += StrFormat("hull = %s \n", m_hull ? OneLine(m_hull->GetName()).c_str() : "");
    text += "\n[modules]\n";
    const int slotCount = m_hull ? m_hull->GetSlotCount() : 0;
    for (int i = 0; i < slotCount; ++i) {
        const SIM_ShipModuleType* type = GetModuleInSlot(i);
        if (type != nullptr)
            text += StrFormat("%d = %s,\n", i, OneLine(type->GetName()).c_str());
        else
            text += StrFormat("%d = \n", i);
    }
    std::string reason;
    if (!WriteFileAtomically(fileName, text, &reason)) {
        LOG_ERROR(StrFormat("Failed to write ship design: [%s] (%s)", fileName.c_str(), reason.c_str()));
        return false;
    }
    return true;
}

SIM_ShipModuleType* SIM_ShipDesign::GetModuleInSlot(int slotIndex) const
{
    // The last record for a slot wins, as the writer has always done.
    SIM_ShipModuleType* found = nullptr;
    for (const FittedModule& m : m_modules) {
        if (m.slotIndex == slotIndex && m.moduleType != nullptr)
            found = m.moduleType;
    }
    return found;
}

bool SIM_ShipDesign::FitModule(int slotIndex, SIM_ShipModuleType* type)
{
    const SIM_ShipHull::Slot* slot = m_hull ? m_hull->GetSlot(slotIndex) : nullptr;
    if (slot == nullptr)
        return false;
    if (type != nullptr && type->GetSlotType() != slot->slotType)
        return false;
    m_modules.erase(std::remove_if(m_modules.begin(), m_modules.end(),
                                   [slotIndex](const FittedModule& m) { return m.slotIndex == slotIndex; }),
                    m_modules.end());
    AddModule(type, slotIndex);
    return true;
}

void SIM_ShipDesign::CalculateTotals()
{
    auto b = [this](int kind) { return m_hull ? m_hull->GetBonusTotal(kind) : 0.0f; };

    cost = m_hull ? m_hull->GetCost() : 0.0f;
    m_powerProduced = m_hull ? m_hull->GetPowerProduced() : 0.0f;
    m_totalWeight = 0.0f;
    m_totalHitpoints = 0.0f;
    m_powerConsumed = 0.0f;
    m_crewRequired = 0;
    m_crewSupply = 0;
    float thrustSum = 0.0f;
    int engineCount = 0;
    float stackFactor = 1.0f;

    for (const FittedModule& m : m_modules) {
        const SIM_ShipModuleType* t = m.moduleType;
        if (t == nullptr)
            continue;
        m_totalWeight += t->GetWeight();
        cost += t->GetCost() * (1.0f + b(SIM_ShipHull::COSTBOOST));
        const std::string& cls = t->GetClassName();
        if (cls == "SIM_EngineModule") {
            const float thrust = t->GetConfigFloat("thrust", 0.0f);
            ++engineCount;
            thrustSum += thrust + thrust * b(SIM_ShipHull::SPEEDBOOST);
            stackFactor = t->GetStackEffectiveness();
        } else if (cls == "SIM_PowerModule") {
            const float p = t->GetConfigFloat("powerproduced", 0.0f);
            m_powerProduced += p + p * b(SIM_ShipHull::POWERBOOST);
        } else if (cls == "SIM_CrewModule") {
            m_crewSupply += ParseLeadingInt(t->GetConfigString("crewsupply"));
        }
        m_powerConsumed += t->GetPowerConsumed();
        m_totalHitpoints += t->GetHitpoints() + t->GetHitpoints() * b(SIM_ShipHull::INTEGRITYBOOST);
        m_crewRequired += t->GetCrewRequired();
    }
    if (engineCount > 1)
        thrustSum *= std::pow(stackFactor, static_cast<float>(engineCount - 1));
    // Weightless (or negatively weighted) fits would divide by zero below.
    if (!(m_totalWeight > 0.0f))
        m_totalWeight = 1.0f;
    m_speed = thrustSum / m_totalWeight;
}

bool SIM_ShipDesign::IsValid() const
{
    if (m_hull == nullptr)
        return false;
    if (m_crewRequired > m_crewSupply)
        return false;
    const long long consumed = static_cast<long long>(m_powerConsumed * 100.0f);
    const long long produced = static_cast<long long>(m_powerProduced * 100.0f);
    if (consumed > produced)
        return false;
    return std::any_of(m_modules.begin(), m_modules.end(),
                       [](const FittedModule& m) { return m.moduleType != nullptr; });
}

bool SIM_ShipDesign::RemoveIfInvalid(SIM_ShipDesign* design)
{
    if (design == nullptr || design->IsValid())
        return false;
    LOG_DEBUG(StrFormat("Design [%s] deleted because it was not valid with this version", design->m_guiName.c_str()));
    delete design;
    return true;
}

SIM_ShipDesign* SIM_ShipDesign::LoadFile(const std::string& fileName, bool playerFlag)
{
    // A design kept alive by its users through FreeLoaded is not read twice.
    for (SIM_ShipDesign* d : DesignList()) {
        if (d->m_fileName == fileName)
            return d;
    }
    auto* design = new SIM_ShipDesign(); // owned by the global list
    if (!design->Read(fileName)) {
        delete design;
        return nullptr;
    }
    design->SetPlayerFlag(playerFlag);
    if (RemoveIfInvalid(design))
        return nullptr;
    return design;
}

void SIM_ShipDesign::LoadAll()
{
    if (LoadedFlag())
        return;
    LoadedFlag() = true;
    LoadMatching("data/ships/*.txt", false, true);
    LoadMatching("data/sampleships/*.txt", true, false);
    APP_UserFolders& folders = APP_UserFolders::GetInstance();
    if (folders.IsCreated()) {
        LoadMatching(StrFormat("%s/*.txt", folders.Get(APP_UserFolders::SHIPS).c_str()), true, false);
        LoadMatching(StrFormat("%s/*.txt", folders.Get(APP_UserFolders::CAMPAIGN_CAPTURED_DESIGNS).c_str()), false,
                     false);
    }
    // Ships and fleets name their design: of two files with one name, only
    // the first is ever found, and the player is told which.
    std::unordered_map<std::string, const SIM_ShipDesign*> first;
    for (const SIM_ShipDesign* d : DesignList()) {
        const auto [it, added] = first.emplace(d->m_name, d);
        if (!added)
            LOG_ERROR(StrFormat("%s [config] name = %s: already the name of %s, which is used", d->m_fileName.c_str(),
                                d->m_name.c_str(), it->second->m_fileName.c_str()));
    }
}

bool SIM_ShipDesign::Delete(SIM_ShipDesign* design)
{
    return Delete(design, APP_UserFolders::GetInstance().Get(APP_UserFolders::SHIPS));
}

bool SIM_ShipDesign::IsInsideFolder(const std::string& fileName, const std::string& folder)
{
    if (fileName.empty() || folder.empty())
        return false;
    std::error_code ec;
    const std::filesystem::path file = std::filesystem::weakly_canonical(fileName, ec);
    if (ec)
        return false;
    const std::filesystem::path dir = std::filesystem::weakly_canonical(folder, ec);
    return !ec && file.parent_path() == dir;
}

bool SIM_ShipDesign::Delete(SIM_ShipDesign* design, const std::string& shipsFolder)
{
    return TryDelete(design, shipsFolder) == DeleteResult::DELETED;
}

SIM_ShipDesign::DeleteResult SIM_ShipDesign::TryDelete(SIM_ShipDesign* design, const std::string& shipsFolder)
{
    auto& list = DesignList();
    if (design == nullptr || std::find(list.begin(), list.end(), design) == list.end()) {
        LOG_ERROR("Failed to delete design");
        return DeleteResult::NOT_FOUND;
    }
    // Ships and fleets hold plain pointers: never pull a design from under them.
    if (design->IsInUse()) {
        LOG_ERROR(StrFormat("Failed to delete design [%s]: it is in use", design->m_name.c_str()));
        return DeleteResult::IN_USE;
    }
    // Samples and content from install folders load as designs too, but only
    // the player's own files may go.
    if (!design->m_fileName.empty() && !IsInsideFolder(design->m_fileName, shipsFolder)) {
        LOG_ERROR(StrFormat("Failed to delete design [%s]: %s is not in the player's ships folder",
                            design->m_name.c_str(), design->m_fileName.c_str()));
        return DeleteResult::NOT_PLAYERS;
    }
    if (!design->m_fileName.empty() && FileExists(design->m_fileName) && std::remove(design->m_fileName.c_str()) != 0) {
        LOG_ERROR(StrFormat("Failed to delete design file %s: %s", design->m_fileName.c_str(), strerror(errno)));
        return DeleteResult::NOT_REMOVED;
    }
    delete design;
    return DeleteResult::DELETED;
}

void SIM_ShipDesign::FreeLoaded()
{
    std::vector<SIM_ShipDesign*> doomed;
    for (SIM_ShipDesign* d : DesignList()) {
        if (!d->m_retain && !d->IsInUse())
            doomed.push_back(d);
    }
    for (SIM_ShipDesign* d : doomed)
        delete d;
    LoadedFlag() = false;
}

void SIM_ShipDesign::FreeAll()
{
    auto& list = DesignList();
    while (!list.empty())
        delete list.front();
    LoadedFlag() = false;
}

SIM_ShipDesign* SIM_ShipDesign::Find(const std::string& name, bool reportMissing)
{
    for (SIM_ShipDesign* d : DesignList()) {
        if (d->m_name == name)
            return d;
    }
    if (reportMissing)
        LOG_ERROR("Ship Design not found ->" + name);
    return nullptr;
}

SIM_ShipDesign* SIM_ShipDesign::FindByFileName(const std::string& fileName)
{
    const std::string wanted = ToLowerString(fileName);
    for (SIM_ShipDesign* d : DesignList()) {
        if (ToLowerString(d->m_fileName) == wanted)
            return d;
    }
    LOG_ERROR("Ship Design not found ->" + fileName);
    return nullptr;
}

const std::vector<SIM_ShipDesign*>& SIM_ShipDesign::GetList()
{
    return DesignList();
}

void SIM_ShipDesign::GetPlayerDesignsForRace(const std::string& raceName, std::vector<SIM_ShipDesign*>& out)
{
    out.clear();
    for (SIM_ShipDesign* d : DesignList()) {
        if (d->m_player && d->m_hull != nullptr && d->m_hull->GetRaceName() == raceName)
            out.push_back(d);
    }
    if (out.empty())
        LOG_ERROR("Every player ship design has been deleted");
}

void SIM_ShipDesign::GetPlayerDesignsWithFiles(std::vector<SIM_ShipDesign*>& out)
{
    out.clear();
    for (SIM_ShipDesign* d : DesignList()) {
        if (d->m_player && !d->m_fileName.empty() && FileExists(d->m_fileName))
            out.push_back(d);
    }
}

std::string SIM_ShipDesign::DesignFilePath(const std::string& folder, const std::string& designName)
{
    return folder + "/" + SanitiseFileName(designName) + ".txt";
}

bool SIM_ShipDesign::SaveCapturedDesign(const SIM_ShipDesign* design, const std::string& folder)
{
    if (design == nullptr)
        return false;
    const std::string path = DesignFilePath(folder, design->m_name);
    if (FileExists(path))
        return false;
    return design->Write(path);
}

SIM_ShipDesign* SIM_ShipDesign::CreateStarterDesign()
{
    return CreateStarterDesign(SIM_Options::GetInstance().GetRaceName(),
                               APP_UserFolders::GetInstance().Get(APP_UserFolders::SHIPS));
}

SIM_ShipDesign* SIM_ShipDesign::CreateStarterDesign(const std::string& raceName, const std::string& shipsFolder)
{
    SIM_ShipHull* hull = SIM_ShipHull::FindFirstForRace(raceName);
    QLM_ASSERT(hull != nullptr);
    if (hull == nullptr) {
        LOG_ERROR(StrFormat("No starter design: race [%s] has no hull", raceName.c_str()));
        return nullptr;
    }
    const int hullClass = hull->GetClass();
    SIM_ShipModuleType* armour =
        (hullClass >= 0 && hullClass <= 2) ? SIM_ShipModuleType::Find(kStarterArmour[hullClass], true) : nullptr;
    auto* design = new SIM_ShipDesign(); // owned by the global list
    design->m_hull = hull;
    design->m_name = hull->GetName();
    design->m_guiName = hull->GetGuiName();
    if (armour == nullptr || hull->GetSlotCount() == 0 || !design->FitModule(0, armour)) {
        LOG_ERROR(StrFormat("No starter design: hull [%s] can't take its armour in slot 0", hull->GetName().c_str()));
        delete design;
        return nullptr;
    }
    design->CalculateTotals();
    const std::string path = DesignFilePath(shipsFolder, design->m_name);
    design->m_fileName = path;
    design->Write(path);
    return design;
}

void SIM_ShipDesign::UnbindModuleType(const SIM_ShipModuleType* type)
{
    for (SIM_ShipDesign* d : DesignList()) {
        for (FittedModule& m : d->m_modules) {
            if (m.moduleType == type)
                m.moduleType = nullptr;
        }
    }
}

void SIM_ShipDesign::UnbindHull(const SIM_ShipHull* hull)
{
    for (SIM_ShipDesign* d : DesignList()) {
        if (d->m_hull == hull)
            d->m_hull = nullptr;
    }
}

void SIM_ShipDesign::RebindModuleTypes()
{
    // With no types loaded, Find would start another load from inside this one.
    const bool haveTypes = !SIM_ShipModuleType::GetList().empty();
    for (SIM_ShipDesign* d : DesignList()) {
        for (FittedModule& m : d->m_modules) {
            if (haveTypes && m.moduleType == nullptr && !m.typeName.empty())
                m.moduleType = SIM_ShipModuleType::Find(m.typeName, true);
        }
        d->CalculateTotals();
    }
}

int SIM_ShipDesign::CountModulesOfClass(const std::string& className) const
{
    return static_cast<int>(std::count_if(m_modules.begin(), m_modules.end(), [&](const FittedModule& m) {
        return m.moduleType != nullptr && m.moduleType->GetClassName() == className;
    }));
}

int SIM_ShipDesign::CountModulesByTypeName(const std::string& typeName) const
{
    return static_cast<int>(std::count_if(m_modules.begin(), m_modules.end(), [&](const FittedModule& m) {
        return m.moduleType != nullptr && m.moduleType->GetName() == typeName;
    }));
}

float SIM_ShipDesign::SumStackedStat(const char* className, const char* stat, int bonusKind) const
{
    QLM_ASSERT(m_hull != nullptr);
    if (m_hull == nullptr)
        return 0.0f;
    float sum = 0.0f;
    int count = 0;
    float stack = 1.0f;
    for (const FittedModule& m : m_modules) {
        if (m.moduleType == nullptr || m.moduleType->GetClassName() != className)
            continue;
        sum += m.moduleType->GetConfigFloat(stat, 0.0f) * (1.0f + m_hull->GetBonusTotal(bonusKind));
        stack = m.moduleType->GetStackEffectiveness();
        ++count;
    }
    if (count > 1)
        sum *= std::pow(stack, static_cast<float>(count - 1));
    return sum;
}

float SIM_ShipDesign::GetTotalArmour() const
{
    return SumStackedStat("SIM_ArmourModule", "maxdamageabsorbable", SIM_ShipHull::ARMOURBOOST);
}

float SIM_ShipDesign::GetTotalShieldPoints() const
{
    return SumStackedStat("SIM_ShieldModule", "shieldpoints", SIM_ShipHull::SHIELDBOOST);
}

float SIM_ShipDesign::GetShieldResistance() const
{
    float best = 0.0f;
    for (const FittedModule& m : m_modules) {
        if (m.moduleType != nullptr && m.moduleType->GetClassName() == "SIM_ShieldModule")
            best = std::max(best, m.moduleType->GetConfigFloat("resistance", 0.0f));
    }
    return best;
}

float SIM_ShipDesign::GetTotalHitpoints() const
{
    QLM_ASSERT(m_hull != nullptr);
    const float boost = m_hull ? m_hull->GetBonusTotal(SIM_ShipHull::INTEGRITYBOOST) : 0.0f;
    float sum = 0.0f;
    for (const FittedModule& m : m_modules) {
        if (m.moduleType != nullptr)
            sum += m.moduleType->GetHitpoints() * (1.0f + boost);
    }
    return sum;
}

bool SIM_ShipDesign::IsFighter() const
{
    return m_hull != nullptr && m_hull->GetClass() == SIM_ShipHull::FIGHTER;
}

std::unique_ptr<SIM_ShipDesign> SIM_ShipDesign::MakeEmptyWorkingCopy()
{
    return std::unique_ptr<SIM_ShipDesign>(new SIM_ShipDesign(UnlistedTag{}));
}

std::unique_ptr<SIM_ShipDesign> SIM_ShipDesign::MakeWorkingCopy(const SIM_ShipDesign& source)
{
    std::unique_ptr<SIM_ShipDesign> copy = MakeEmptyWorkingCopy();
    copy->cost = source.cost;
    copy->m_modules = source.m_modules;
    copy->m_name = source.m_name;
    copy->m_guiName = source.m_guiName;
    copy->m_fileName = source.m_fileName;
    copy->m_hull = source.m_hull;
    copy->m_player = source.m_player;
    copy->CalculateTotals();
    return copy;
}

std::unique_ptr<SIM_ShipDesign> SIM_ShipDesign::ReadWorkingCopy(const std::string& fileName)
{
    std::unique_ptr<SIM_ShipDesign> copy = MakeEmptyWorkingCopy();
    copy->Read(fileName);
    return copy;
}

std::string SIM_ShipDesign::SanitiseDesignName(const std::string& typed)
{
    std::string out;
    for (unsigned char c : typed) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ' || c == '-' ||
            c == '_')
            out += static_cast<char>(c);
    }
    // Names starting with '_' are the game's own (temporary deployments).
    auto trim = [](std::string& s) {
        const size_t first = s.find_first_not_of(" _");
        if (first == std::string::npos) {
            s.clear();
            return;
        }
        s.erase(0, first);
        s.erase(s.find_last_not_of(' ') + 1);
    };
    trim(out);
    if (out.size() > kMaxDesignNameLength) {
        out.resize(kMaxDesignNameLength);
        trim(out);
    }
    return out.empty() ? std::string("unnamed") : out;
}

std::string SIM_ShipDesign::PlayerDesignFilePath(const std::string& folder, const std::string& designName)
{
    return folder + "/" + ToLowerString(SanitiseDesignName(designName)) + ".txt";
}

void SIM_ShipDesign::AddModule(SIM_ShipModuleType* type, int slotIndex)
{
    const SIM_ShipHull::Slot* slot = m_hull ? m_hull->GetSlot(slotIndex) : nullptr;
    if (slot == nullptr || type == nullptr)
        return;
    FittedModule fitted;
    fitted.moduleType = type;
    fitted.typeName = type->GetName();
    fitted.slotIndex = slotIndex;
    fitted.x = slot->x;
    fitted.y = slot->y;
    for (const SIM_ShipHull::Point& p : slot->turretPoints)
        fitted.turretPoints.push_back({p.x, p.y});
    m_modules.push_back(std::move(fitted));
}
