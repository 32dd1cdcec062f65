#include "sim/SIM_ShipGrid.h"

#include "sim/SIM_CollisionAvoider.h"
#include "sim/SIM_Fleet.h"
#include "sim/SIM_Ship.h"
#include "sim/ShipUpdateScheduler.h"

SIM_ShipGrid& SIM_ShipGrid::GetInstance()
{
    // Never destroyed: ships freed by other statics at exit still leave it.
    static auto* grid = new SIM_ShipGrid();
    return *grid;
}

int SIM_ShipGrid::FleetSlot(const SIM_Fleet* fleet) const
{
    for (size_t i = 0; i < m_fleets.size(); ++i)
        if (m_fleets[i] == fleet)
            return static_cast<int>(i);
    return -1;
}

void SIM_ShipGrid::CellRect(float x, float y, float radius, int& c0, int& r0, int& c1, int& r1) const
{
    if (!(radius < 1e30f) || !std::isfinite(x) || !std::isfinite(y)) {
        c0 = r0 = 0;
        c1 = m_cols - 1;
        r1 = m_rows - 1;
        return;
    }
    c0 = Column(x - radius);
    c1 = Column(x + radius);
    r0 = Row(y - radius);
    r1 = Row(y + radius);
}

void SIM_ShipGrid::MoveIndex(std::vector<int>& from, std::vector<int>& to, int index)
{
    auto it = std::find(from.begin(), from.end(), index);
    if (it != from.end()) {
        *it = from.back();
        from.pop_back();
    }
    to.push_back(index);
}

void SIM_ShipGrid::Open()
{
    m_resumable = false;
    if (!m_enabled) {
        m_open = false;
        return;
    }
    if (!m_built || ++m_stepsSinceBuild >= kStepsBetweenBuilds) {
        Build();
        return;
    }
    // Whatever moved since the last step is filed where it is now.
    m_open = true;
    for (size_t i = 0; i < m_ships.size(); ++i) {
        const ShipEntry& e = m_ships[i];
        // Most ships stand where the last step filed them (and their
        // avoider with them): nothing to do.
        if (e.ship && (e.ship->gridSlot != static_cast<int>(i) || e.cellX != e.ship->x || e.cellY != e.ship->y))
            NoteMoved(e.ship);
    }
    // Avoiders of ships that left the lists do not move, but be sure.
    for (size_t i = 0; i < m_avoiders.size(); ++i)
        if (m_avoiders[i].avoider && !IsFiled(m_avoiders[i].owner))
            Refile(m_avoiders[i], static_cast<int>(i));
}

void SIM_ShipGrid::Build()
{
    m_open = m_built = m_resumable = false;
    m_stepsSinceBuild = 0;
    if (!m_enabled)
        return;
    m_fleets.clear();
    m_ships.clear();
    m_avoiders.clear();
    m_maxAvoiderRadius = 0.0f;
    m_maxShipWidth = 0.0f;

    // The fleets in the order their ships joined the world, each with its
    // live list as the order of its entries.
    for (SIM_Ship* ship : GetLiveShips()) {
        const SIM_Fleet* fleet = ship->fleet;
        if (!fleet || FleetSlot(fleet) >= 0)
            continue;
        const int slot = static_cast<int>(m_fleets.size());
        m_fleets.push_back(fleet);
        int order = 0;
        for (SIM_Ship* member : fleet->GetLiveShips()) {
            member->gridSlot = static_cast<int>(m_ships.size());
            m_ships.push_back({member, order++, slot, 0});
            m_maxShipWidth = std::max(m_maxShipWidth, member->GetWidth());
        }
    }
    int order = 0;
    for (SIM_CollisionAvoider* avoider : SIM_CollisionAvoider::GetAll()) {
        const SIM_Ship* owner = avoider->GetOwner();
        avoider->gridSlot = -1;
        if (owner) {
            avoider->gridSlot = static_cast<int>(m_avoiders.size());
            m_avoiders.push_back({avoider, owner, order, 0});
            m_maxAvoiderRadius = std::max(m_maxAvoiderRadius, avoider->GetRadius());
        }
        ++order;
    }

    // Bounds of everything filed; about two ships a cell on average.
    float minX = 0.0f, minY = 0.0f, maxX = 0.0f, maxY = 0.0f;
    bool any = false;
    auto grow = [&](float x, float y) {
        if (!std::isfinite(x) || !std::isfinite(y))
            return;
        if (!any) {
            minX = maxX = x;
            minY = maxY = y;
            any = true;
            return;
        }
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
    };
    for (const ShipEntry& e : m_ships)
        grow(e.ship->x, e.ship->y);
    for (const AvoiderEntry& e : m_avoiders)
        grow(e.owner->x, e.owner->y);
    const float width = maxX - minX, height = maxY - minY;
    const size_t count = std::max<size_t>(m_ships.size() + m_avoiders.size(), 1);
    float size = std::sqrt(width * height / static_cast<float>(count)) * 1.5f;
    size = std::max({size, kMinCellSize, width / kMaxSide, height / kMaxSide});
    m_minX = minX;
    m_minY = minY;
    m_cellSize = size;
    m_cols = std::min(static_cast<int>(width / size) + 1, kMaxSide);
    m_rows = std::min(static_cast<int>(height / size) + 1, kMaxSide);
    m_cellCount = m_cols * m_rows;

    // Cell lists keep their storage from frame to frame.
    const size_t shipCells = static_cast<size_t>(m_cellCount) * m_fleets.size();
    if (m_shipCells.size() < shipCells)
        m_shipCells.resize(shipCells);
    for (size_t i = 0; i < shipCells; ++i)
        m_shipCells[i].clear();
    if (m_avoiderCells.size() < static_cast<size_t>(m_cellCount))
        m_avoiderCells.resize(static_cast<size_t>(m_cellCount));
    for (int i = 0; i < m_cellCount; ++i)
        m_avoiderCells[static_cast<size_t>(i)].clear();

    for (size_t i = 0; i < m_ships.size(); ++i) {
        ShipEntry& e = m_ships[i];
        e.cell = CellOf(e.ship->x, e.ship->y);
        e.cellX = e.ship->x;
        e.cellY = e.ship->y;
        ShipCell(e.fleet, e.cell).push_back(static_cast<int>(i));
    }
    for (size_t i = 0; i < m_avoiders.size(); ++i) {
        AvoiderEntry& e = m_avoiders[i];
        e.cell = CellOf(e.owner->x, e.owner->y);
        m_avoiderCells[static_cast<size_t>(e.cell)].push_back(static_cast<int>(i));
    }
    m_open = m_built = true;
}

bool SIM_ShipGrid::IsFiled(const SIM_Ship* ship) const
{
    const int slot = ship->gridSlot;
    return slot >= 0 && static_cast<size_t>(slot) < m_ships.size() && m_ships[static_cast<size_t>(slot)].ship == ship;
}

void SIM_ShipGrid::Refile(AvoiderEntry& e, int index)
{
    const int cell = CellOf(e.owner->x, e.owner->y);
    if (cell != e.cell) {
        MoveIndex(m_avoiderCells[static_cast<size_t>(e.cell)], m_avoiderCells[static_cast<size_t>(cell)], index);
        e.cell = cell;
    }
}

void SIM_ShipGrid::Forget(const SIM_Ship* ship)
{
    if (!m_built || !ship)
        return;
    const int slot = ship->gridSlot;
    if (slot < 0 || static_cast<size_t>(slot) >= m_ships.size() || m_ships[static_cast<size_t>(slot)].ship != ship)
        return;
    ShipEntry& e = m_ships[static_cast<size_t>(slot)];
    std::vector<int>& cell = ShipCell(e.fleet, e.cell);
    cell.erase(std::find(cell.begin(), cell.end(), slot));
    e.ship = nullptr;
}

void SIM_ShipGrid::Forget(const SIM_CollisionAvoider* avoider)
{
    if (!m_built || !avoider)
        return;
    const int slot = avoider->gridSlot;
    if (slot < 0 || static_cast<size_t>(slot) >= m_avoiders.size() ||
        m_avoiders[static_cast<size_t>(slot)].avoider != avoider)
        return;
    AvoiderEntry& e = m_avoiders[static_cast<size_t>(slot)];
    std::vector<int>& cell = m_avoiderCells[static_cast<size_t>(e.cell)];
    cell.erase(std::find(cell.begin(), cell.end(), slot));
    e.avoider = nullptr;
    e.owner = nullptr;
}

void SIM_ShipGrid::Close()
{
    m_resumable = m_open;
    m_open = false;
}

void SIM_ShipGrid::Resume()
{
    if (m_resumable && m_built && m_enabled)
        m_open = true;
    m_resumable = false;
}

void SIM_ShipGrid::Refile(const SIM_Ship* ship, ShipEntry* entry, int cell)
{
    if (entry) {
        const int slot = ship->gridSlot;
        MoveIndex(ShipCell(entry->fleet, entry->cell), ShipCell(entry->fleet, cell), slot);
        entry->cell = cell;
    }
    const SIM_CollisionAvoider* avoider = ship->GetCollisionAvoider();
    const int aslot = avoider ? avoider->gridSlot : -1;
    if (aslot >= 0 && static_cast<size_t>(aslot) < m_avoiders.size()) {
        AvoiderEntry& e = m_avoiders[static_cast<size_t>(aslot)];
        if (e.avoider == avoider && e.cell != cell) {
            MoveIndex(m_avoiderCells[static_cast<size_t>(e.cell)], m_avoiderCells[static_cast<size_t>(cell)], aslot);
            e.cell = cell;
        }
    }
}
