#include "campaign/gui/GUI_CampaignAttackArrow.h"

#include "campaign/gui/GUI_CampaignMap.h"
#include "campaign/gui/GUI_Encounter.h"
#include "campaign/sim/SIM_CampaignBattleManager.h"
#include "campaign/sim/SIM_CampaignFleet.h"
#include "engine/GDebugLog.h"

#include <algorithm>
#include <cmath>

GUI_CampaignAttackArrow& GUI_CampaignAttackArrow::GetInstance()
{
    static GUI_CampaignAttackArrow instance;
    return instance;
}

GUI_CampaignAttackArrow::GUI_CampaignAttackArrow()
{
    m_shaft.SetUV(0.0f, 0.5f, 1.0f, 0.75f);
    m_tail.SetUV(0.0f, 0.75f, 1.0f, 1.0f);
    m_head.SetUV(0.0f, 0.0f, 1.0f, 0.5f);
}

void GUI_CampaignAttackArrow::AddArrow(const SIM_CampaignEncounter* source, const SIM_CampaignEncounter* target,
                                       int kind)
{
    m_arrows.push_back({target, source, kind});
}

void GUI_CampaignAttackArrow::AddOrderedAttacks()
{
    for (const auto& b : SIM_CampaignBattleManager::GetInstance().GetPending()) {
        if (b->kind != SIM_PendingBattle::PLAYER_ATTACK)
            continue;
        for (const SIM_CampaignFleet* f : b->fleets) {
            const bool drawn = std::any_of(m_arrows.begin(), m_arrows.end(), [&](const Arrow& a) {
                return a.source == f->origin && a.target == b->encounter;
            });
            if (f->origin && !drawn)
                AddArrow(f->origin, b->encounter, ATTACK);
        }
    }
}

void GUI_CampaignAttackArrow::SetPreview(const SIM_CampaignEncounter* source, const SIM_CampaignEncounter* target,
                                         int kind)
{
    QLM_ASSERT(source && target);
    m_preview = {target, source, kind};
}

void GUI_CampaignAttackArrow::DrawOne(const GUI_CampaignMap& map, const Arrow& arrow)
{
    if (!arrow.source || !arrow.target)
        return;
    const GUI_Encounter* s = map.FindView(arrow.source);
    const GUI_Encounter* t = map.FindView(arrow.target);
    if (!s || !t)
        return;
    const uint32_t colour = arrow.kind == ATTACK ? kAttackColour : kMoveColour;
    const float dx = t->CentreX() - s->CentreX();
    const float dy = t->CentreY() - s->CentreY();
    const float d = std::sqrt(dx * dx + dy * dy);
    if (d <= 0.0f)
        return;
    const float ux = dx / d;
    const float uy = dy / d;
    // The quads run along the texture's width, so they turn with the line.
    const float angle = std::atan2(dy, dx) * 57.29578f;
    const float w = map.zoom * kWidthPerZoom;
    const float rs = s->Size() * 0.5f;
    const float rt = t->Size() * 0.5f;
    const float length = d - 2.0f * w - (rs + rt);
    if (length <= 0.0f)
        return;
    struct Piece {
        CTexturedSprite* sprite;
        float along;
        float len;
    };
    const Piece pieces[] = {{&m_tail, rs + w * 0.5f, w}, {&m_shaft, rs + w + length * 0.5f, length},
                            {&m_head, rs + w + length + w * 0.5f, w}};
    for (const Piece& p : pieces) {
        p.sprite->SetSize(p.len, w);
        p.sprite->SetAngle(angle);
        p.sprite->SetColour(colour);
        p.sprite->PlaceCentred(s->CentreX() + ux * p.along, s->CentreY() + uy * p.along);
        if (p.sprite->IsOnScreen())
            p.sprite->Draw();
    }
}

void GUI_CampaignAttackArrow::DrawAll(const GUI_CampaignMap& map)
{
    if (m_shaft.GetTextureName().empty()) {
        for (CTexturedSprite* s : {&m_shaft, &m_tail, &m_head})
            s->SetTexture("attack_arrow.dds");
    }
    for (const Arrow& a : m_arrows)
        DrawOne(map, a);
    if (m_preview.source)
        DrawOne(map, m_preview);
    m_preview.source = nullptr;
}
