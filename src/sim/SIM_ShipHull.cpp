#include "sim/SIM_ShipHull.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>

#include "engine/GDebugLog.h"
#include "engine/GFileList.h"
#include "engine/GHashTable.h"
#include "engine/GIniFile.h"
#include "engine/GRandom.h"
#include "engine/GTokenizer.h"
#include "engine/ModSupport.h"
#include "engine/StrFormat.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_Unlockable.h"

namespace {

std::vector<SIM_ShipHull*>& HullList()
{
    static std::vector<SIM_ShipHull*> list;
    return list;
}

const char* const kBonusKeys[SIM_ShipHull::BONUS_KIND_COUNT] = {
    "ARMOURBOOST", "SHIELDBOOST", "SPEEDBOOST", "INTEGRITYBOOST", "POWERBOOST", "COSTBOOST",
};

const char* const kBonusDescKeys[SIM_ShipHull::BONUS_KIND_COUNT] = {
    "BONUS_DESC_ARMORBOOST", "BONUS_DESC_SHIELDBOOST", "BONUS_DESC_SPEEDBOOST",
    "BONUS_DESC_INTEGRITYBOOST", "BONUS_DESC_POWERBOOST", "BONUS_DESC_COSTBOOST",
};

// Fields may carry blanks after the commas.
std::string NextTrimmed(GTokenizer& tok)
{
    std::string field = tok.NextString();
    const size_t start = field.find_first_not_of(" \t");
    return start == std::string::npos ? std::string() : field.substr(start);
}

void ReadTextList(const char* section, const std::string& fileName, std::vector<std::string>& out)
{
    GIniFile ini;
    ini.Load(section, fileName.c_str());
    for (size_t i = 0; i < ini.GetEntryCount(); ++i) {
        if (!ini.GetValueAt(i).empty())
            out.push_back(ini.GetValueAt(i));
    }
}

std::string WithoutParentheses(const std::string& field)
{
    if (field.size() >= 2 && field.front() == '(' && field.back() == ')')
        return field.substr(1, field.size() - 2);
    return field;
}

// The unsigned number that ends text[0, end): its start, or npos when none.
size_t NumberStart(const std::string& text, size_t end)
{
    size_t start = end;
    while (start > 0 && (std::isdigit(static_cast<unsigned char>(text[start - 1])) || text[start - 1] == '.'))
        --start;
    return start == end ? std::string::npos : start;
}

// The last number of text[0, end) with its separating hyphen (and its minus
// sign, a second hyphen); end moves to where the rest ends. False when there
// is no number or no hyphen before it.
bool TakeLastNumber(const std::string& text, size_t& end, float& value)
{
    const size_t start = NumberStart(text, end);
    if (start == std::string::npos || start == 0 || text[start - 1] != '-')
        return false;
    value = ParseLeadingFloat(text.substr(start, end - start).c_str());
    end = start - 1;
    if (end > 0 && text[end - 1] == '-') {
        value = -value;
        --end;
    }
    return true;
}

int ClassFromName(const std::string& name)
{
    if (name == "cruiser")
        return SIM_ShipHull::CRUISER;
    if (name == "frigate")
        return SIM_ShipHull::FRIGATE;
    if (name == "fighter")
        return SIM_ShipHull::FIGHTER;
    return SIM_ShipHull::UNKNOWN_CLASS;
}

} // namespace

bool SIM_ShipHull::ParseEmitterField(const std::string& field, std::string& config, float& x, float& y)
{
    const std::string f = WithoutParentheses(field);
    size_t end = f.size();
    if (!TakeLastNumber(f, end, y))
        return false;
    // x's digits end where y's hyphens began.
    const size_t xStart = NumberStart(f, end);
    if (xStart == std::string::npos)
        return false;
    x = ParseLeadingFloat(f.substr(xStart, end - xStart).c_str());
    if (xStart == 0) {
        // Old files: "x-y" with no config at all.
        config.clear();
        return true;
    }
    if (f[xStart - 1] != '-')
        return false;
    size_t configEnd = xStart - 1;
    if (configEnd > 0 && f[configEnd - 1] == '-') {
        x = -x;
        --configEnd;
    }
    config = f.substr(0, configEnd);
    return true;
}

bool SIM_ShipHull::ParsePointField(const std::string& field, float& x, float& y)
{
    const std::string f = WithoutParentheses(field);
    size_t end = f.size();
    if (!TakeLastNumber(f, end, y) || end == 0)
        return false;
    char* stop = nullptr;
    const std::string first = f.substr(0, end);
    x = std::strtof(first.c_str(), &stop);
    return stop && *stop == '\0' && stop != first.c_str();
}

SIM_ShipHull::Band SIM_ShipHull::ParseBand(const std::string& line)
{
    GTokenizer tok(line, ',');
    float v[6];
    for (float& value : v)
        value = tok.NextFloat();
    Band band;
    band.x1 = v[0] / 512.0f - 0.5f;
    band.y1 = v[1] / 512.0f - 0.5f;
    band.x2 = v[2] / 512.0f - 0.5f;
    band.y2 = v[3] / 512.0f - 0.5f;
    band.width = v[4] / 512.0f;
    band.angle = v[5];
    return band;
}

std::vector<SIM_ShipHull::Band> SIM_ShipHull::GetBands() const
{
    std::vector<Band> bands;
    for (const std::string& line : m_tractorBeams)
        bands.push_back(ParseBand(line));
    return bands;
}

SIM_ShipHull::SIM_ShipHull()
    : m_unlockable(std::make_unique<SIM_Unlockable>())
{
    HullList().push_back(this);
}

SIM_ShipHull::~SIM_ShipHull()
{
    SIM_ShipDesign::UnbindHull(this);
    auto& list = HullList();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

namespace {
// FNV-1a: the same name gives the same order on every machine.
uint64_t HashName(const std::string& name)
{
    uint64_t h = 0xCBF29CE484222325ull;
    for (unsigned char c : name)
        h = (h ^ c) * 0x100000001B3ull;
    return h;
}
} // namespace

float SIM_ShipHull::ToHullX(float fileValue) const
{
    return (fileValue - 128.0f) / 256.0f * m_width;
}

float SIM_ShipHull::ToHullY(float fileValue) const
{
    return (fileValue - 128.0f) / 256.0f * m_height;
}

bool SIM_ShipHull::Read(const std::string& fileName)
{
    m_fileName = fileName;
    GIniFile config;
    config.Load("config", fileName.c_str());
    ReadConfig(config);

    ReadTextList("engineglows", fileName, m_engineGlows);
    ReadTextList("tractorbeams", fileName, m_tractorBeams);
    ReadTextList("pulseglows", fileName, m_pulseGlows);
    ReadTextList("contrails", fileName, m_contrails);
    ReadTextList("runninglights", fileName, m_runningLights);

    GIniFile section;
    section.Load("targets", fileName.c_str());
    ReadTargets(section);
    section.Clear();
    section.Load("slots", fileName.c_str());
    ReadSlots(section);

    ReadTextList("explosions", fileName, m_explosions);
    ReadTextList("hulks", fileName, m_hulks);

    section.Clear();
    section.Load("bonuses", fileName.c_str());
    ReadBonuses(section);
    RecalculateBonuses();

    m_unlockable->Init(m_name, SIM_Unlockable::HULL, this);
    m_unlockable->RefreshLocked();

    if (m_class == UNKNOWN_CLASS) {
        LOG_ERROR(StrFormat("Ship hull [%s] has unknown class [%s]; hull ignored", fileName.c_str(),
                            m_className.c_str()));
        return false;
    }
    return true;
}

void SIM_ShipHull::ReadConfig(const GIniFile& ini)
{
    m_name = ini.GetString("name");
    m_guiName = ini.GetString("guiname");
    m_sprite = ini.GetString("sprite");
    m_damageTexture = ini.GetString("damagetexture");
    m_hulkTexture = ini.GetString("hulktexture");
    m_className = ini.GetString("classname");
    m_raceName = ini.GetString("racename");
    m_hulkUVStart = ini.GetInt("hulkUVstart");
    m_hulkUVEnd = ini.GetInt("hulkUVend");
    m_unlockable->SetLockable(ini.GetInt("lockable") != 0);
    m_unlockable->SetUnlockCost(ini.GetInt("unlockcost"));
    m_height = ini.GetFloat("height", 0.0f);
    m_width = ini.GetFloat("width", 0.0f);
    cost = ini.GetFloat("cost", 0.0f);
    m_powerProduced = ini.GetFloat("powerproduced", 0.0f);

    // One line for all that is missing: a damaged file names itself once.
    std::string missing;
    for (const char* key : {"name", "guiname", "sprite", "damagetexture", "racename", "classname"})
        if (ini.GetString(key)[0] == '\0')
            missing += std::string(missing.empty() ? "" : ", ") + key;
    if (!missing.empty())
        LOG_ERROR(StrFormat("%s [config]: no %s", m_fileName.c_str(), missing.c_str()));

    m_class = ClassFromName(m_className);
}

void SIM_ShipHull::ReadTargets(const GIniFile& ini)
{
    for (size_t i = 0; i < ini.GetEntryCount(); ++i) {
        const std::string& line = ini.GetValueAt(i);
        if (line.empty())
            continue;
        GTokenizer tok(line, ',');
        tok.source = ini.GetFileName() + " [" + ini.GetSection() + "] " + ini.GetKeyAt(i);
        Target t;
        // Both offsets scale by the width, as the hull files have always been laid out.
        t.x = ToHullX(tok.NextFloat());
        t.y = ToHullX(tok.NextFloat());
        t.named = tok.NextInt() != 0 ? 1 : 0;
        t.hasRect = tok.NextInt() != 0 ? 1 : 0;
        if (t.hasRect) {
            t.left = tok.NextFloat() / 256.0f;
            t.top = tok.NextFloat() / 256.0f;
            t.right = tok.NextFloat() / 256.0f;
            t.bottom = tok.NextFloat() / 256.0f;
            t.rectCentreX = ((t.left + t.right) * 0.5f - 0.5f) * m_width;
            t.rectCentreY = ((t.top + t.bottom) * 0.5f - 0.5f) * m_height;
            t.rectWidth = (t.right - t.left) * m_width;
            t.rectHeight = (t.bottom - t.top) * m_height;
        }
        if (t.named)
            t.name = NextTrimmed(tok);
        for (std::string field = NextTrimmed(tok); !field.empty(); field = NextTrimmed(tok)) {
            float a = 0.0f, b = 0.0f;
            std::string config;
            if (ParseEmitterField(field, config, a, b))
                t.extraPoints.push_back({ToHullX(a), ToHullX(b)});
        }
        m_targets.push_back(std::move(t));
    }
    // Shuffled from the hull's own name, not from the game's generator: how
    // much of it the start-up had drawn before the hulls loaded would change
    // the aim points, and with them every battle, between the game and the
    // headless runner fighting the same seed.
    GRandom shuffle(HashName(m_name));
    for (size_t i = m_targets.size(); i > 1; --i) {
        const size_t j = static_cast<size_t>(shuffle.Next15()) % i;
        std::swap(m_targets[i - 1], m_targets[j]);
    }
    if (m_targets.empty())
        m_targets.emplace_back();
}

void SIM_ShipHull::ReadSlots(const GIniFile& ini)
{
    for (size_t i = 0; i < ini.GetEntryCount(); ++i) {
        const std::string& line = ini.GetValueAt(i);
        if (line.empty())
            continue;
        GTokenizer tok(line, ',');
        tok.source = ini.GetFileName() + " [" + ini.GetSection() + "] " + ini.GetKeyAt(i);
        Slot slot;
        slot.index = static_cast<int>(m_slots.size());
        slot.x = ToHullX(tok.NextFloat());
        slot.y = ToHullX(tok.NextFloat());
        const std::string type = NextTrimmed(tok);
        if (type == "STANDARD")
            slot.slotType = STANDARD;
        else if (type == "TURRET")
            slot.slotType = TURRET;
        else
            LOG_ERROR("Unknown ship slot type");
        bool capped = false;
        for (std::string field = NextTrimmed(tok); !field.empty(); field = NextTrimmed(tok)) {
            float a = 0.0f, b = 0.0f;
            if (!ParsePointField(field, a, b))
                continue;
            if (slot.turretPoints.size() >= kMaxTurretPoints) {
                capped = true;
                continue;
            }
            slot.turretPoints.push_back({ToHullX(a), ToHullY(b)});
        }
        if (capped)
            LOG_ERROR(StrFormat("Hull [%s] slot %d has more than %zu turret points; the rest are ignored",
                                m_name.c_str(), slot.index, kMaxTurretPoints));
        m_slots.push_back(std::move(slot));
    }
}

void SIM_ShipHull::ReadBonuses(const GIniFile& ini)
{
    for (size_t i = 0; i < ini.GetEntryCount(); ++i) {
        const std::string& line = ini.GetValueAt(i);
        if (line.empty())
            continue;
        GTokenizer tok(line, ',');
        tok.source = ini.GetFileName() + " [" + ini.GetSection() + "] " + ini.GetKeyAt(i);
        Bonus bonus;
        bonus.kind = BonusKindFromName(NextTrimmed(tok));
        bonus.amount = tok.NextFloat();
        m_bonuses.push_back(bonus);
    }
}

void SIM_ShipHull::RecalculateBonuses()
{
    std::fill(std::begin(m_bonusTotals), std::end(m_bonusTotals), 0.0f);
    for (const Bonus& bonus : m_bonuses) {
        if (bonus.kind >= 0 && bonus.kind < BONUS_KIND_COUNT)
            m_bonusTotals[bonus.kind] += bonus.amount;
    }
}

float SIM_ShipHull::GetBonusTotal(int kind) const
{
    if (kind < 0 || kind >= BONUS_KIND_COUNT)
        return 0.0f;
    return m_bonusTotals[kind];
}

int SIM_ShipHull::BonusKindFromName(const std::string& key)
{
    for (int kind = 0; kind < BONUS_KIND_COUNT; ++kind) {
        if (key == kBonusKeys[kind])
            return kind;
    }
    LOG_ERROR("Unknown bonus value");
    return BONUS_KIND_COUNT;
}

std::string SIM_ShipHull::GetBonusDescription(const Bonus& bonus) const
{
    if (bonus.kind < 0 || bonus.kind >= BONUS_KIND_COUNT)
        return std::string();
    return StrFormat("%s  %.0f%%", GetString(kBonusDescKeys[bonus.kind]), bonus.amount * 100.0f);
}

int SIM_ShipHull::CountSlotsOfType(int slotType) const
{
    return static_cast<int>(std::count_if(m_slots.begin(), m_slots.end(),
                                          [slotType](const Slot& s) { return s.slotType == slotType; }));
}

const SIM_ShipHull::Slot* SIM_ShipHull::GetSlot(int index) const
{
    if (index < 0 || index >= GetSlotCount())
        return nullptr;
    return &m_slots[static_cast<size_t>(index)];
}

void SIM_ShipHull::LoadAll()
{
    if (!HullList().empty())
        return;
    GFileList folders;
    folders.FindFolders("data/hulls/*.*");
    ModSupport::FindHullFiles(&folders);
    for (const std::string& folder : folders.names) {
        GFileList files;
        files.FindFiles(folder + "/*.txt");
        for (const std::string& file : files.names) {
            auto* hull = new SIM_ShipHull(); // owned by the global list
            if (!hull->Read(file))
                delete hull;
        }
    }
}

void SIM_ShipHull::FreeAll()
{
    auto& list = HullList();
    while (!list.empty())
        delete list.front();
}

SIM_ShipHull* SIM_ShipHull::Find(const std::string& name, bool report)
{
    LoadAll();
    for (SIM_ShipHull* hull : HullList()) {
        if (hull->m_name == name)
            return hull;
    }
    if (report)
        LOG_ERROR("Ship Hull not found ->" + name);
    return nullptr;
}

SIM_ShipHull* SIM_ShipHull::FindFirstForRace(const std::string& raceName)
{
    LoadAll();
    for (SIM_ShipHull* hull : HullList()) {
        if (hull->m_raceName == raceName)
            return hull;
    }
    LOG_ERROR("No ship hulls found");
    return nullptr;
}

const std::vector<SIM_ShipHull*>& SIM_ShipHull::GetList()
{
    return HullList();
}
