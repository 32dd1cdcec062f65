#pragma once
#include "engine/BaseSprite.h"

#include <string>

// A sprite that binds its own texture, kept by name so that it comes back
// by itself after the engine drops every texture.
class CTexturedSprite : public BaseSprite {
public:
    static constexpr size_t kMaxNameLength = 255;

    CTexturedSprite();
    CTexturedSprite(const CTexturedSprite& other);
    CTexturedSprite& operator=(const CTexturedSprite& other);
    ~CTexturedSprite() override;

    void Draw() override;
    void DrawClipped(const GRect& clip) override;

    void SetTexture(const std::string& name);
    void SetTextureFromString(const std::string& name) { SetTexture(name); }
    const std::string& GetTextureName() const { return m_name; }
    TextureHandle GetResolvedTexture() const { return m_texture; }
    // The handle to draw with: looked up again only after the engine dropped
    // it, never for a name that was simply not found.
    TextureHandle GetTextureForDraw()
    {
        if (m_forgotten)
            Refresh();
        return m_texture;
    }

    void Forget()
    {
        m_texture = 0;
        m_forgotten = !m_name.empty();
    }
    void Refresh();

    static void ForgetAll();
    static void RefreshAll();
    static void ForgetHandleEverywhere(TextureHandle handle);

private:
    void BindTexture();
    // Every live sprite, in the order made, linked through the sprites
    // themselves: one going away leaves in a step (a search of the list
    // cost tens of thousands of instructions in a large battle).
    void JoinLive();
    void LeaveLive();
    template <typename Visit>
    static void ForEachLive(Visit visit);

    std::string m_name;
    TextureHandle m_texture = 0;
    bool m_forgotten = false;
    CTexturedSprite* m_previousLive = nullptr;
    CTexturedSprite* m_nextLive = nullptr;
    static inline CTexturedSprite* s_firstLive = nullptr;
    static inline CTexturedSprite* s_lastLive = nullptr;
};
