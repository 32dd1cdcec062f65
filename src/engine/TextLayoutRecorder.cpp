#include "engine/TextLayoutRecorder.h"

void TextLayoutRecorder::Scope::Enter(TextLayoutRecorder* r, const void* owner, const std::type_info& kind, int l, int t,
                                      int rt, int b, bool topLevel, bool world)
{
    m_recorder = r;
    Box box;
    box.owner = owner;
    box.kind = &kind;
    box.left = l;
    box.top = t;
    box.right = rt;
    box.bottom = b;
    box.topLevel = topLevel;
    box.world = world;
    r->OnEnterBox(box);
}
