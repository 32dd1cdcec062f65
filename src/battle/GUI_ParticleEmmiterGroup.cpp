#include "battle/GUI_ParticleEmmiterGroup.h"

#include <algorithm>
#include <vector>

#include "battle/GUI_Map.h"
#include "battle/GUI_ParticleEmmiter.h"

namespace {

struct GroupPool {
    std::vector<std::unique_ptr<GUI_ParticleEmmiterGroup>> all;
    std::vector<GUI_ParticleEmmiterGroup*> active;
    std::vector<GUI_ParticleEmmiterGroup*> spare;
    bool reuse = true;
};

GroupPool& Pool()
{
    static GroupPool pool;
    return pool;
}

void Erase(std::vector<GUI_ParticleEmmiterGroup*>& list, GUI_ParticleEmmiterGroup* group)
{
    list.erase(std::remove(list.begin(), list.end(), group), list.end());
}

} // namespace

GUI_ParticleEmmiterGroup::GUI_ParticleEmmiterGroup(const std::string& groupName)
    : name(groupName)
{
    layer = 2;
    minZoom = 0.0f;
    maxZoom = 0.0f;
    lodAlpha = 1.0f;
}

GUI_ParticleEmmiterGroup::~GUI_ParticleEmmiterGroup() = default;

bool GUI_ParticleEmmiterGroup::AddEmmiter(GUI_ParticleEmmiter* emitter)
{
    for (auto& slot : emitters) {
        if (!slot) {
            slot.reset(emitter);
            emitter->group = this;
            return true;
        }
    }
    delete emitter;
    return false;
}

bool GUI_ParticleEmmiterGroup::IsEmpty() const
{
    return std::none_of(std::begin(emitters), std::end(emitters), [](const auto& e) { return e != nullptr; });
}

void GUI_ParticleEmmiterGroup::Draw()
{
    bool visible = true;
    if (visibleCheckRadius > 0.0f && GUI_Map::GetInstance().IsOffScreen(centreX, centreY, visibleCheckRadius))
        visible = false;
    // The zoom window: a maximum of 0 means none.
    if (ZoomScale < minZoom || (maxZoom > 0.0f && ZoomScale > maxZoom))
        visible = false;
    else if (visible && (minZoom > 0.0f || maxZoom > 0.0f))
        UpdateLodAlpha();
    active = 0;
    for (auto& emitter : emitters) {
        if (!emitter)
            continue;
        if (visible) {
            emitter->alphaScale = (minZoom > 0.0f || maxZoom > 0.0f) ? lodAlpha : 1.0f;
            emitter->Draw();
        } else {
            emitter->Update();
        }
        if (emitter->IsActive())
            active = 1;
    }
}

void GUI_ParticleEmmiterGroup::Restart(float x, float y, float biasX, float biasY)
{
    centreX = x;
    centreY = y;
    for (auto& emitter : emitters)
        if (emitter)
            emitter->Restart(x, y, biasX, biasY);
    active = 1;
    GroupPool& pool = Pool();
    Erase(pool.spare, this);
    pool.active.push_back(this);
}

void GUI_ParticleEmmiterGroup::Release()
{
    GroupPool& pool = Pool();
    Erase(pool.active, this);
    if (parent)
        parent->RemoveFromParent(this);
    if (std::find(pool.spare.begin(), pool.spare.end(), this) != pool.spare.end())
        return;
    if (static_cast<int>(pool.spare.size()) < kMaxSpareGroups ||
        CountSpareEmmiterGroups(name, kSparesKeptPerConfig) < kSparesKeptPerConfig) {
        pool.spare.push_back(this);
        return;
    }
    // A climax of many deaths leaves far more finished groups than later
    // explosions take up: past the cap they are freed, not hoarded.
    auto it = std::find_if(pool.all.begin(), pool.all.end(), [this](const auto& g) { return g.get() == this; });
    if (it == pool.all.end())
        return;
    std::swap(*it, pool.all.back());
    pool.all.pop_back(); // deletes this: nothing may follow
}

GUI_ParticleEmmiterGroup* AcquireEmmiterGroup(const std::string& name, float x, float y, float biasX, float biasY)
{
    GroupPool& pool = Pool();
    if (pool.reuse) {
        for (GUI_ParticleEmmiterGroup* group : pool.spare) {
            if (group->GetName() == name) {
                group->Restart(x, y, biasX, biasY);
                return group;
            }
        }
    }
    pool.all.push_back(std::make_unique<GUI_ParticleEmmiterGroup>(name));
    GUI_ParticleEmmiterGroup* group = pool.all.back().get();
    group->centreX = x;
    group->centreY = y;
    pool.active.push_back(group);
    return group;
}

void ReleaseFinishedEmmiterGroups()
{
    GroupPool& pool = Pool();
    // Release edits the active list: walk a copy of the finished ones.
    std::vector<GUI_ParticleEmmiterGroup*> finished;
    for (GUI_ParticleEmmiterGroup* group : pool.active)
        if (!group->IsActive())
            finished.push_back(group);
    for (GUI_ParticleEmmiterGroup* group : finished)
        group->Release();
}

void DrawOrphanEmmiterGroups()
{
    for (GUI_ParticleEmmiterGroup* group : Pool().active)
        if (!group->GetParent())
            group->Draw();
}

int CountSpareEmmiterGroups(const std::string& name, int atMost)
{
    int count = 0;
    for (const GUI_ParticleEmmiterGroup* group : Pool().spare)
        if (count >= atMost || (group->GetName() == name && ++count >= atMost))
            break;
    return count;
}

int CountActiveEmmiterGroups()
{
    return static_cast<int>(Pool().active.size());
}

int CountAllEmmiterGroups()
{
    return static_cast<int>(Pool().all.size());
}

size_t EmmiterGroupMemoryBytes(size_t* emitters)
{
    size_t bytes = 0, count = 0;
    for (const auto& group : Pool().all) {
        bytes += sizeof(GUI_ParticleEmmiterGroup);
        for (int i = 0; i < GUI_ParticleEmmiterGroup::kSlots; ++i)
            if (const GUI_ParticleEmmiter* emitter = group->GetEmmiter(i)) {
                bytes += emitter->GetMemoryBytes();
                ++count;
            }
    }
    if (emitters)
        *emitters = count;
    return bytes;
}

void SetEmmiterGroupReuse(bool on)
{
    Pool().reuse = on;
}

bool IsEmmiterGroupReuseOn()
{
    return Pool().reuse;
}

void ClearEmmiterGroupLists()
{
    GroupPool& pool = Pool();
    std::vector<GUI_ParticleEmmiterGroup*> active = pool.active;
    for (GUI_ParticleEmmiterGroup* group : active)
        group->Release();
    pool.active.clear();
}

void DeleteAllEmmiterGroups()
{
    GroupPool& pool = Pool();
    pool.active.clear();
    pool.spare.clear();
    pool.all.clear();
    pool.reuse = true;
}
