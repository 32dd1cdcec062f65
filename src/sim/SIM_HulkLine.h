#pragma once
#include <string>
#include <vector>

// One value of a hull's [hulks] section: a wreck piece's rectangle in pixels
// of the 512 x 512 hulk picture and the emitters that burn on it, written
// "left,top,right,bottom,(emit-x-y-config),...". The hull editor writes it
// and the battle reads it.
struct SIM_HulkLine {
    struct Emitter {
        float x = 0.0f;
        float y = 0.0f;
        std::string config;
    };

    float left = 0.0f, top = 0.0f, right = 0.0f, bottom = 0.0f;
    std::vector<Emitter> emitters;

    bool Contains(float x, float y) const { return left < x && x < right && top < y && y < bottom; }

    // False for a value of fewer than four fields. Entries of another tag
    // are skipped; hull files of older builds that spell an emitter as the
    // four fields emit,x,y,config are read too.
    static bool Parse(const std::string& value, SIM_HulkLine& out);
    // The value as the hull file holds it, numbers without decimals and a
    // comma after every field.
    std::string Format() const;
};
