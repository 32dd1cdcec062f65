#pragma once
#include <algorithm>
#include <cmath>
#include <vector>

#include "sim/SIM_Fleet.h"
#include "sim/SIM_Ship.h"

class SIM_CollisionAvoider;
class SIM_Ship;

// The battle's ships filed by map cell, for the searches that would otherwise
// walk a whole fleet (movement targets, weapon targets, collision avoidance,
// overlap tests). It is open only during the world step: at its start it is
// built from the fleets' live lists and the collision avoiders (or, while
// those lists only lost members, every ship is refiled where it stands), and
// it is kept current as each ship moves. Closed, or after a list gained a
// member, searches walk the lists as before. Every entry keeps its place in the list it came from,
// so a search chooses between equals exactly as the walk would.
// Whatever moves a ship during the world step, other than the ship's own
// frame step, calls NoteMoved.
class SIM_ShipGrid {
public:
    // Cells are never smaller than this (map units), nor more than kMaxSide a side.
    static constexpr float kMinCellSize = 32.0f;
    static constexpr int kMaxSide = 128;

    static SIM_ShipGrid& GetInstance();

    // Where a search starts: through the grid while it covers the fleet, else
    // a walk of the fleet's live list. Either way Visit gets (SIM_Ship*, its
    // place in that list), so a search that breaks ties by that place
    // chooses the same ship both ways.
    template <class Visit>
    static void VisitNear(const SIM_Fleet* fleet, float x, float y, float radius, Visit&& visit);
    // Nearest cells first; done(d2) as for ForEachByRing (a walk ignores it).
    template <class Visit, class Done>
    static void VisitNearestFirst(const SIM_Fleet* fleet, float x, float y, Visit&& visit, Done&& done);

    // The start of a world step: refile or build, then open.
    void Open();
    void Build();
    void Close();
    // Opens again what Close shut, as it was: for a caller that knows no
    // ship has moved and no list has changed since. Anything that made the
    // grid stale in between leaves it closed.
    void Resume();
    // Off, Open and Build leave the grid closed and every search walks its list
    // (the reference the grid must match; tests and benchmarks).
    void SetEnabled(bool on) { m_enabled = on; }
    // A list the grid was built from changed: walk the lists until the next Build.
    void Invalidate() { m_open = m_built = m_resumable = false; }
    // A ship left its fleet's live list, an avoider its list: the order of
    // the others stands, so only the entry goes.
    void Forget(const SIM_Ship* ship);
    void Forget(const SIM_CollisionAvoider* avoider);
    bool IsOpen() const { return m_open; }
    // Open, and the fleet's live ships are filed.
    bool Covers(const SIM_Fleet* fleet) const { return m_open && FleetSlot(fleet) >= 0; }
    // Every ship is noted each world step, and most stay in their cell: that
    // part is inline.
    void NoteMoved(const SIM_Ship* ship);

    // Every filed ship of the fleet (of every fleet when null) whose cell
    // lies within radius of (x, y): a superset the caller measures. Visit
    // takes (SIM_Ship*, order in its fleet's live list).
    template <class Visit>
    void ForEachNear(const SIM_Fleet* fleet, float x, float y, float radius, Visit&& visit) const;
    // The fleet's ships in rings of cells of growing distance from (x, y).
    // After each ring, done(d2) is asked with the least squared distance any
    // ship not yet visited can have; true ends the search.
    template <class Visit, class Done>
    void ForEachByRing(const SIM_Fleet* fleet, float x, float y, Visit&& visit, Done&& done) const;
    // Every avoider whose ship's cell lies within radius of (x, y); Visit
    // takes (SIM_CollisionAvoider*, order in the avoider list).
    template <class Visit>
    void ForEachAvoiderNear(float x, float y, float radius, Visit&& visit) const;

    float GetCellSize() const { return m_cellSize; }
    float GetMaxAvoiderRadius() const { return m_maxAvoiderRadius; }
    float GetMaxShipWidth() const { return m_maxShipWidth; }
    size_t CountShips() const { return m_ships.size(); }
    // Searches served from the grid since the count was last reset (tests).
    long GetSearchCount() const { return m_searches; }
    void ResetSearchCount() { m_searches = 0; }

private:
    struct ShipEntry {
        SIM_Ship* ship = nullptr;
        int order = 0;
        int fleet = 0;
        int cell = 0;
        // Where the ship was when `cell` was worked out (not a number until
        // then): a ship that has not moved keeps its cell without the
        // divisions. Every write of `cell` writes these.
        float cellX = NAN;
        float cellY = NAN;
    };
    struct AvoiderEntry {
        SIM_CollisionAvoider* avoider = nullptr;
        const SIM_Ship* owner = nullptr;
        int order = 0;
        int cell = 0;
    };

    int FleetSlot(const SIM_Fleet* fleet) const;
    // The whole cells in `cells` (a positive number of cells, or not a
    // number), clamped to 0..last. Below one cell the floor is 0; from one
    // cell on it is the truncation, and as the last index is whole, the floor
    // reaches it just when the number does: no floor needs working out.
    static int CellIndex(float cells, int last)
    {
        // Beyond the edges (and for positions that are not numbers) the edge cells.
        if (!(cells >= 1.0f))
            return 0;
        return cells >= static_cast<float>(last) ? last : static_cast<int>(cells);
    }
    int Column(float x) const { return CellIndex((x - m_minX) / m_cellSize, m_cols - 1); }
    int Row(float y) const { return CellIndex((y - m_minY) / m_cellSize, m_rows - 1); }
    int CellOf(float x, float y) const { return Row(y) * m_cols + Column(x); }
    std::vector<int>& ShipCell(int fleet, int cell) { return m_shipCells[static_cast<size_t>(fleet * m_cellCount + cell)]; }
    const std::vector<int>& ShipCell(int fleet, int cell) const
    {
        return m_shipCells[static_cast<size_t>(fleet * m_cellCount + cell)];
    }
    static void MoveIndex(std::vector<int>& from, std::vector<int>& to, int index);
    // The cell rectangle of a circle, clamped to the grid.
    void CellRect(float x, float y, float radius, int& c0, int& r0, int& c1, int& r1) const;

    // Whole builds also happen now and then, so the cells follow the fleets.
    static constexpr int kStepsBetweenBuilds = 30;

    bool IsFiled(const SIM_Ship* ship) const;
    void Refile(AvoiderEntry& entry, int index);
    // NoteMoved's rare part: the ship (entry null: not filed) has left its
    // cell for `cell`; its avoider follows.
    void Refile(const SIM_Ship* ship, ShipEntry* entry, int cell);

    bool m_open = false;
    bool m_built = false;
    bool m_resumable = false; // closed by Close from open, nothing built or dropped since
    int m_stepsSinceBuild = 0;
    bool m_enabled = true;
    mutable long m_searches = 0;
    float m_minX = 0.0f, m_minY = 0.0f;
    float m_cellSize = kMinCellSize;
    int m_cols = 1, m_rows = 1, m_cellCount = 1;
    float m_maxAvoiderRadius = 0.0f;
    float m_maxShipWidth = 0.0f;
    std::vector<const SIM_Fleet*> m_fleets;
    std::vector<ShipEntry> m_ships;
    std::vector<AvoiderEntry> m_avoiders;
    std::vector<std::vector<int>> m_shipCells;    // per fleet, per cell: indices into m_ships
    std::vector<std::vector<int>> m_avoiderCells; // per cell: indices into m_avoiders
};

inline void SIM_ShipGrid::NoteMoved(const SIM_Ship* ship)
{
    if (!m_open || !ship)
        return;
    const int slot = ship->gridSlot;
    ShipEntry* entry = nullptr;
    if (slot >= 0 && static_cast<size_t>(slot) < m_ships.size() && m_ships[static_cast<size_t>(slot)].ship == ship)
        entry = &m_ships[static_cast<size_t>(slot)];
    // Most ships are noted again where they were last noted; their avoider
    // was filed in the same cell then.
    if (entry && entry->cellX == ship->x && entry->cellY == ship->y)
        return;
    const int cell = CellOf(ship->x, ship->y);
    if (entry) {
        entry->cellX = ship->x;
        entry->cellY = ship->y;
        // The avoider is filed in its ship's cell: while that holds, so does
        // the avoider's.
        if (entry->cell == cell)
            return;
    }
    Refile(ship, entry, cell);
}

template <class Visit>
void SIM_ShipGrid::VisitNear(const SIM_Fleet* fleet, float x, float y, float radius, Visit&& visit)
{
    const SIM_ShipGrid& grid = GetInstance();
    if (grid.Covers(fleet)) {
        grid.ForEachNear(fleet, x, y, radius, visit);
        return;
    }
    int order = 0;
    for (SIM_Ship* ship : fleet->GetLiveShips())
        visit(ship, order++);
}

template <class Visit, class Done>
void SIM_ShipGrid::VisitNearestFirst(const SIM_Fleet* fleet, float x, float y, Visit&& visit, Done&& done)
{
    const SIM_ShipGrid& grid = GetInstance();
    if (grid.Covers(fleet)) {
        grid.ForEachByRing(fleet, x, y, visit, done);
        return;
    }
    int order = 0;
    for (SIM_Ship* ship : fleet->GetLiveShips())
        visit(ship, order++);
}

template <class Visit>
void SIM_ShipGrid::ForEachNear(const SIM_Fleet* fleet, float x, float y, float radius, Visit&& visit) const
{
    const int only = fleet ? FleetSlot(fleet) : -1;
    if (fleet && only < 0)
        return;
    ++m_searches;
    int c0, r0, c1, r1;
    CellRect(x, y, radius, c0, r0, c1, r1);
    const int first = fleet ? only : 0;
    const int last = fleet ? only : static_cast<int>(m_fleets.size()) - 1;
    for (int f = first; f <= last; ++f)
        for (int r = r0; r <= r1; ++r)
            for (int c = c0; c <= c1; ++c)
                for (int index : ShipCell(f, r * m_cols + c)) {
                    const ShipEntry& e = m_ships[static_cast<size_t>(index)];
                    visit(e.ship, e.order);
                }
}

template <class Visit, class Done>
void SIM_ShipGrid::ForEachByRing(const SIM_Fleet* fleet, float x, float y, Visit&& visit, Done&& done) const
{
    const int f = FleetSlot(fleet);
    if (f < 0)
        return;
    ++m_searches;
    const int cc = Column(x), cr = Row(y);
    const int rings = std::max(std::max(cc, m_cols - 1 - cc), std::max(cr, m_rows - 1 - cr));
    for (int ring = 0; ring <= rings; ++ring) {
        const int r0 = std::max(cr - ring, 0), r1 = std::min(cr + ring, m_rows - 1);
        const int c0 = std::max(cc - ring, 0), c1 = std::min(cc + ring, m_cols - 1);
        auto visitCell = [&](int r, int c) {
            for (int index : ShipCell(f, r * m_cols + c)) {
                const ShipEntry& e = m_ships[static_cast<size_t>(index)];
                visit(e.ship, e.order);
            }
        };
        for (int r = r0; r <= r1; ++r) {
            if (r == cr - ring || r == cr + ring) {
                for (int c = c0; c <= c1; ++c)
                    visitCell(r, c);
                continue;
            }
            if (cc - ring >= 0)
                visitCell(r, cc - ring);
            if (ring > 0 && cc + ring < m_cols)
                visitCell(r, cc + ring);
        }
        // Ships in later rings are at least this far away; a unit of slack
        // covers rounding at the cell edges.
        const float reach = std::max(static_cast<float>(ring) * m_cellSize - 1.0f, 0.0f);
        if (done(reach * reach))
            return;
    }
}

template <class Visit>
void SIM_ShipGrid::ForEachAvoiderNear(float x, float y, float radius, Visit&& visit) const
{
    ++m_searches;
    int c0, r0, c1, r1;
    CellRect(x, y, radius, c0, r0, c1, r1);
    for (int r = r0; r <= r1; ++r)
        for (int c = c0; c <= c1; ++c)
            for (int index : m_avoiderCells[static_cast<size_t>(r * m_cols + c)]) {
                const AvoiderEntry& e = m_avoiders[static_cast<size_t>(index)];
                visit(e.avoider, e.order);
            }
}
