#include "sim/SIM_ChallengeFile.h"

#include "engine/APP_ContentPackage.h"
#include "engine/APP_UserFolders.h"
#include "engine/GDebugLog.h"
#include "engine/GFileHelpers.h"
#include "engine/GSafeFile.h"
#include "sim/SIM_BehaviourType.h"
#include "sim/SIM_DeployedFleet.h"
#include "sim/SIM_Scenario.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipHull.h"
#include "sim/SIM_ShipModuleType.h"
#include "sim/SIM_ShipOrder.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

class ByteWriter {
public:
    bool ok = true;
    std::string bytes;

    void Int(int32_t v)
    {
        uint32_t u = static_cast<uint32_t>(v);
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<char>((u >> (8 * i)) & 0xff));
    }
    void Float(float f)
    {
        uint32_t u;
        std::memcpy(&u, &f, 4);
        Int(static_cast<int32_t>(u));
    }
    void Byte(uint8_t b) { bytes.push_back(static_cast<char>(b)); }
    void String(const std::string& s)
    {
        if (s.size() >= static_cast<size_t>(SIM_ChallengeFile::kMaxString)) {
            ok = false;
            return;
        }
        Int(static_cast<int32_t>(s.size()));
        bytes += s;
    }
};

// Every read is checked against the end; the first failure sticks and names
// what was being read.
class ByteReader {
public:
    explicit ByteReader(const std::string& data) : m_data(data) {}
    std::string error;

    bool Ok() const { return error.empty(); }
    int32_t Int(const char* what)
    {
        if (!Need(4, what))
            return 0;
        uint32_t u = 0;
        for (int i = 0; i < 4; ++i)
            u |= static_cast<uint32_t>(static_cast<uint8_t>(m_data[m_pos + i])) << (8 * i);
        m_pos += 4;
        return static_cast<int32_t>(u);
    }
    float Float(const char* what)
    {
        uint32_t u = static_cast<uint32_t>(Int(what));
        float f;
        std::memcpy(&f, &u, 4);
        if (Ok() && !std::isfinite(f))
            Fail(what, "is not a finite number");
        return Ok() ? f : 0.0f;
    }
    uint8_t Byte(const char* what)
    {
        if (!Need(1, what))
            return 0;
        return static_cast<uint8_t>(m_data[m_pos++]);
    }
    std::string String(const char* what)
    {
        const int32_t len = Int(what);
        if (!Ok())
            return std::string();
        if (len < 0 || len >= SIM_ChallengeFile::kMaxString) {
            Fail(what, "has a bad length");
            return std::string();
        }
        if (!Need(static_cast<size_t>(len), what))
            return std::string();
        std::string s = m_data.substr(m_pos, static_cast<size_t>(len));
        m_pos += static_cast<size_t>(len);
        // A zero inside the text ends it, as the game's readers always did.
        if (size_t nul = s.find('\0'); nul != std::string::npos)
            s.resize(nul);
        return s;
    }
    int Count(const char* what, int max)
    {
        const int32_t n = Int(what);
        if (Ok() && (n < 0 || n > max))
            Fail(what, "is out of range");
        return Ok() ? n : 0;
    }
    void Fail(const char* what, const char* problem)
    {
        if (error.empty())
            error = std::string(what) + " " + problem;
    }

private:
    bool Need(size_t n, const char* what)
    {
        if (!Ok())
            return false;
        if (m_data.size() - m_pos < n) {
            Fail(what, "runs past the end of the file");
            return false;
        }
        return true;
    }
    const std::string& m_data;
    size_t m_pos = 0;
};

struct ParsedOrder {
    float float1 = 0.0f, float2 = 0.0f;
    int32_t value = -1;
    std::string behaviour;
};
struct ParsedShip {
    std::string name, design;
    float angle = 90.0f, x = 0.0f, y = 0.0f;
    int32_t quantity = 1, shipId = -1;
    std::vector<ParsedOrder> orders;
};
struct ParsedDesign {
    std::string name, guiName;
    SIM_ShipHull* hull = nullptr;
    std::vector<std::pair<SIM_ShipModuleType*, int>> modules;
};

// Looks without the "not found" report: a miss is expected here.
SIM_ShipDesign* FindDesignQuietly(const std::string& name)
{
    for (SIM_ShipDesign* d : SIM_ShipDesign::GetList())
        if (d->GetName() == name)
            return d;
    return nullptr;
}

float MirrorAngle(float a)
{
    a += 180.0f;
    if (a < 0.0f)
        a += 360.0f;
    if (a > 360.0f)
        a -= 360.0f;
    return a;
}
} // namespace

SIM_ChallengeFile& SIM_ChallengeFile::GetInstance()
{
    static SIM_ChallengeFile instance;
    return instance;
}

SIM_ChallengeFile::SIM_ChallengeFile() = default;
SIM_ChallengeFile::~SIM_ChallengeFile() = default;

bool SIM_ChallengeFile::IsSafeChallengeId(const std::string& id)
{
    if (id.empty() || id.size() > 64)
        return false;
    for (char c : id) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
                        c == '-';
        if (!ok)
            return false;
    }
    return true;
}

std::string SIM_ChallengeFile::ChallengePath(const std::string& challengeId)
{
    if (!IsSafeChallengeId(challengeId) || !APP_UserFolders::GetInstance().IsCreated())
        return std::string();
    return APP_UserFolders::GetInstance().Get(APP_UserFolders::USER) + "/web/challenges/" + challengeId + ".qlm";
}

std::string SIM_ChallengeFile::WriteToBytes(const SIM_DeployedFleet& fleet, const std::string& receiver,
                                            const std::string& taunt, const std::string& senderName,
                                            const SIM_Scenario& scenario) const
{
    ByteWriter w;
    std::vector<std::string> packages;
    for (const auto& p : APP_ContentPackage::GetInstance().GetPackages()) {
        bool left = false;
        for (const std::string& l : m_leftOutPackages)
            left = left || l == p.name;
        if (!left)
            packages.push_back(p.name);
    }
    w.Int(static_cast<int32_t>(packages.size()));
    for (const std::string& p : packages)
        w.String(p);
    w.String(receiver);
    w.String(taunt);
    w.String(senderName);

    w.String(scenario.GetName());
    w.String(scenario.GetGuiName());
    w.String(scenario.GetBackdrop());
    w.String(scenario.GetIcon());
    w.Float(scenario.GetMapSizeX());
    w.Float(scenario.GetMapSizeY());
    w.Byte(scenario.HasStarfield() ? 1 : 0);
    w.Int(scenario.GetFleetCostLimit());
    w.Int(scenario.GetPilotLimit());
    const SIM_Scenario::Zone z = scenario.GetPlayerDeployment();
    w.Int(z.left);
    w.Int(z.top);
    w.Int(z.right);
    w.Int(z.bottom);
    w.Int(static_cast<int32_t>(scenario.GetVariableLines().size()));
    for (const std::string& line : scenario.GetVariableLines())
        w.String(line);

    std::vector<std::string> designs;
    for (const auto& s : fleet.GetShips()) {
        bool seen = false;
        for (const std::string& d : designs)
            seen = seen || d == s->design;
        if (!seen)
            designs.push_back(s->design);
    }
    w.Int(static_cast<int32_t>(designs.size()));
    for (const std::string& name : designs) {
        const SIM_ShipDesign* d = SIM_ShipDesign::Find(name);
        if (!d || !d->GetHull()) {
            LOG_ERROR("Challenge fleet uses an unknown design: " + name);
            return std::string();
        }
        w.String(d->GetName());
        w.String(d->GetGuiName());
        w.String(d->GetHull()->GetName());
        w.Int(static_cast<int32_t>(d->GetModules().size()));
        for (const auto& m : d->GetModules()) {
            w.String(m.moduleType ? m.moduleType->GetName() : m.typeName);
            w.Int(m.slotIndex);
        }
    }
    w.Int(static_cast<int32_t>(fleet.GetShips().size()));
    for (const auto& s : fleet.GetShips()) {
        w.String(s->name);
        w.String(s->design);
        w.Float(s->angle);
        w.Int(s->quantity);
        w.Int(s->shipId);
        w.Float(s->x);
        w.Float(s->y);
        const auto& orders = s->orders.GetOrders();
        w.Int(static_cast<int32_t>(orders.size()));
        for (const auto& o : orders) {
            w.Float(o->float1);
            w.Float(o->float2);
            w.Int(o->shipId);
            w.String(o->GetBehaviour());
        }
    }
    if (!w.ok) {
        LOG_ERROR("A challenge text is too long to write");
        return std::string();
    }
    return w.bytes;
}

bool SIM_ChallengeFile::Write(const SIM_DeployedFleet& fleet, std::string receiver, std::string taunt,
                              std::string senderName, const SIM_Scenario& scenario)
{
    m_receiver = std::move(receiver);
    m_taunt = std::move(taunt);
    m_senderName = std::move(senderName);
    if (!APP_UserFolders::GetInstance().IsCreated())
        return false;
    const std::string folder = APP_UserFolders::GetInstance().Get(APP_UserFolders::USER) + "/web";
    const std::string path = folder + "/challenge.qlm";
    const std::string bytes = WriteToBytes(fleet, m_receiver, m_taunt, m_senderName, scenario);
    if (bytes.empty() || !EnsureDirectoryExists(folder) || !WriteFileAtomically(path, bytes)) {
        LOG_ERROR("Failed to write the challenge file " + path);
        return false;
    }
    m_filePath = path;
    return true;
}

bool SIM_ChallengeFile::Read(SIM_Scenario& scenario, const std::string& challengeId)
{
    const std::string path = ChallengePath(challengeId);
    if (path.empty()) {
        m_fleetRead.reset();
        m_error = "unusable challenge id";
        LOG_ERROR("Refused challenge id: " + challengeId);
        return false;
    }
    return ReadFile(path, scenario, challengeId);
}

bool SIM_ChallengeFile::ReadFile(const std::string& path, SIM_Scenario& scenario, const std::string& challengeId)
{
    std::string bytes;
    if (!ReadWholeFile(path, bytes, kMaxFileBytes)) {
        m_fleetRead.reset();
        m_error = "missing file";
        LOG_ERROR("Failed to open QLM file " + path);
        return false;
    }
    if (!ReadFromBytes(bytes, scenario, challengeId)) {
        LOG_ERROR("Challenge file " + path + " refused: " + m_error);
        return false;
    }
    return true;
}

bool SIM_ChallengeFile::ReadFromBytes(const std::string& bytes, SIM_Scenario& scenario, const std::string& challengeId)
{
    m_fleetRead.reset();
    m_error.clear();
    ByteReader r(bytes);

    const int packages = r.Count("package count", kMaxPackages);
    for (int i = 0; i < packages && r.Ok(); ++i)
        r.String("package name");
    const std::string receiver = r.String("receiver");
    const std::string taunt = r.String("taunt");
    const std::string sender = r.String("sender");

    const std::string name = r.String("scenario name");
    const std::string guiName = r.String("scenario title");
    const std::string backdrop = r.String("backdrop");
    const std::string icon = r.String("icon");
    const float mapX = r.Float("map width");
    const float mapY = r.Float("map height");
    if (r.Ok() && (!(mapX > 0.0f) || !(mapY > 0.0f) || mapX > kMaxMapSize || mapY > kMaxMapSize))
        r.Fail("map size", "is out of range");
    const uint8_t starfield = r.Byte("starfield");
    const int32_t costLimit = r.Int("fleet cost limit");
    const int32_t pilotLimit = r.Int("pilot limit");
    SIM_Scenario::Zone zone;
    zone.left = r.Int("deployment zone");
    zone.top = r.Int("deployment zone");
    zone.right = r.Int("deployment zone");
    zone.bottom = r.Int("deployment zone");
    std::vector<std::string> lines;
    const int lineCount = r.Count("variable line count", kMaxVariableLines);
    for (int i = 0; i < lineCount && r.Ok(); ++i)
        lines.push_back(r.String("variable line"));

    std::vector<ParsedDesign> designs;
    const int designCount = r.Count("design count", kMaxDesigns);
    for (int i = 0; i < designCount && r.Ok(); ++i) {
        ParsedDesign d;
        d.name = r.String("design name");
        d.guiName = r.String("design title");
        const std::string hullName = r.String("hull name");
        if (!r.Ok())
            break;
        d.hull = SIM_ShipHull::Find(hullName);
        if (!d.hull) {
            r.Fail("hull", "is not known");
            break;
        }
        const int modules = r.Count("module count", std::min(kMaxModules, d.hull->GetSlotCount()));
        for (int m = 0; m < modules && r.Ok(); ++m) {
            const std::string typeName = r.String("module name");
            const int32_t slot = r.Int("module slot");
            if (!r.Ok())
                break;
            SIM_ShipModuleType* type = SIM_ShipModuleType::Find(typeName, false);
            if (!type)
                r.Fail("module type", "is not known");
            else if (slot < 0 || slot >= d.hull->GetSlotCount())
                r.Fail("module slot", "is not on the hull");
            else
                d.modules.emplace_back(type, slot);
        }
        designs.push_back(std::move(d));
    }

    std::vector<ParsedShip> ships;
    const int shipCount = r.Count("ship count", kMaxShips);
    for (int i = 0; i < shipCount && r.Ok(); ++i) {
        ParsedShip s;
        s.name = r.String("ship name");
        s.design = r.String("ship design");
        s.angle = r.Float("ship angle");
        s.quantity = r.Int("ship quantity");
        s.shipId = r.Int("ship id");
        s.x = r.Float("ship x");
        s.y = r.Float("ship y");
        if (!r.Ok())
            break;
        bool known = false;
        for (const ParsedDesign& d : designs)
            known = known || d.name == s.design;
        if (!known)
            r.Fail("ship design", "is not among the file's designs");
        if (s.quantity < 1 || s.quantity > kMaxQuantity)
            r.Fail("ship quantity", "is out of range");
        if (s.x < 0.0f || s.x > mapX || s.y < 0.0f || s.y > mapY)
            r.Fail("ship position", "is off the map");
        const int orders = r.Count("order count", kMaxOrders);
        for (int o = 0; o < orders && r.Ok(); ++o) {
            ParsedOrder order;
            order.float1 = r.Float("order value");
            order.float2 = r.Float("order value");
            order.value = r.Int("order target");
            order.behaviour = r.String("behaviour");
            if (r.Ok() && !SIM_BehaviourType::Find(order.behaviour))
                r.Fail("behaviour", "is not known");
            s.orders.push_back(std::move(order));
        }
        ships.push_back(std::move(s));
    }
    if (!r.Ok()) {
        m_error = r.error;
        return false;
    }

    // Sound: now the file may change the game.
    m_challengeId = challengeId;
    m_namePrefix = challengeId + "_";
    m_receiver = receiver;
    m_taunt = taunt;
    m_senderName = sender;
    m_mapWidth = mapX;
    scenario.SetName(name);
    scenario.SetGuiName(guiName);
    scenario.SetBackdrop(backdrop);
    scenario.SetIcon(icon);
    scenario.SetMapSize(mapX, mapY);
    scenario.SetStarfield(starfield != 0);
    scenario.SetFleetCostLimit(costLimit);
    scenario.SetPilotLimit(pilotLimit);
    scenario.SetPlayerDeployment(zone);
    std::vector<std::string> allLines = scenario.GetVariableLines();
    allLines.insert(allLines.end(), lines.begin(), lines.end());
    scenario.SetVariableLines(allLines);
    scenario.ParseVariables();
    scenario.SetStringMember(sender);
    if (sender.empty())
        LOG_ERROR("Challenge " + challengeId + " names no sender");

    for (const ParsedDesign& pd : designs) {
        const std::string fullName = m_namePrefix + pd.name;
        // A challenge read again reuses its designs rather than piling up copies.
        if (FindDesignQuietly(fullName))
            continue;
        auto* d = new SIM_ShipDesign();
        d->SetName(fullName);
        d->SetGuiName(pd.guiName);
        d->SetPlayerFlag(false);
        d->SetHull(pd.hull);
        for (const auto& m : pd.modules)
            d->AddModule(m.first, m.second);
        d->CalculateTotals();
        SIM_ShipDesign::RemoveIfInvalid(d);
    }

    m_fleetRead = std::make_unique<SIM_DeployedFleet>();
    for (const ParsedShip& ps : ships) {
        auto ship = std::make_shared<SIM_DeployedShip>();
        ship->name = ps.name;
        ship->design = m_namePrefix + ps.design;
        ship->angle = MirrorAngle(ps.angle);
        ship->quantity = ps.quantity;
        ship->shipId = ps.shipId;
        ship->x = mapX - ps.x;
        ship->y = ps.y;
        for (const ParsedOrder& po : ps.orders) {
            auto order = SIM_ShipOrder::Create(po.behaviour);
            if (!order)
                continue;
            order->float1 = po.float1;
            order->float2 = po.float2;
            order->shipId = po.value;
            ship->orders.AppendOrder(std::move(order));
        }
        ship->orders.RemoveUntargetedShipOrders();
        if (SIM_ShipDesign::Find(ship->design))
            m_fleetRead->AddShip(ship);
    }
    return true;
}

bool SIM_ChallengeFile::ReadPackages(const std::string& bytes, std::vector<std::string>& packages)
{
    ByteReader r(bytes);
    const int n = r.Count("package count", kMaxPackages);
    for (int i = 0; i < n && r.Ok(); ++i)
        packages.push_back(r.String("package name"));
    return r.Ok();
}

bool SIM_ChallengeFile::HasRequiredContent(const std::string& challengeId)
{
    std::string bytes;
    const std::string path = ChallengePath(challengeId);
    std::vector<std::string> packages;
    if (path.empty() || !ReadWholeFile(path, bytes, kMaxFileBytes) || !ReadPackages(bytes, packages)) {
        LOG_ERROR("Failed to open QLM file " + path);
        return false;
    }
    for (const std::string& p : packages)
        if (!APP_ContentPackage::GetInstance().HasPackage(p))
            return false;
    return true;
}

std::string SIM_ChallengeFile::GetMissingContent(const std::string& challengeId)
{
    std::string bytes;
    const std::string path = ChallengePath(challengeId);
    std::vector<std::string> packages;
    if (path.empty() || !ReadWholeFile(path, bytes, kMaxFileBytes) || !ReadPackages(bytes, packages)) {
        LOG_ERROR("Failed to open QLM file " + path);
        return std::string();
    }
    for (const std::string& p : packages)
        if (!APP_ContentPackage::GetInstance().HasPackage(p))
            return p;
    LOG_ERROR("Failed to find missing content in challenge file");
    return std::string();
}

void SIM_ChallengeFile::GetFleetBounds(float minCorner[2], float maxCorner[2], float startMinX, float startMinY) const
{
    minCorner[0] = startMinX;
    minCorner[1] = startMinY;
    maxCorner[0] = 0.0f;
    maxCorner[1] = 0.0f;
    if (!m_fleetRead)
        return;
    for (const auto& s : m_fleetRead->GetShips()) {
        if (s->x < minCorner[0])
            minCorner[0] = s->x;
        if (s->x > maxCorner[0])
            maxCorner[0] = s->x;
        if (s->y < minCorner[1])
            minCorner[1] = s->y;
        if (s->y > maxCorner[1])
            maxCorner[1] = s->y;
    }
}

void SIM_ChallengeFile::OffsetFleetPositions(float centreY, float oldWidth, float /*oldHeight*/, float newWidth,
                                             float newHeight)
{
    if (!m_fleetRead)
        return;
    for (const auto& s : m_fleetRead->GetShips()) {
        s->x = s->x + (newWidth - oldWidth);
        s->y = (s->y - centreY) + newHeight * 0.5f;
    }
}
