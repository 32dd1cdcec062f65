#pragma once
#include <string>

// Frames of four corners and four edges cut from a 4 x 4 cell frame texture
// (texture coordinates 0, 0.25, 0.75, 1). The inside is not filled. The
// vertex colour is the interface frame colour with the given alpha.

// Draws with whatever texture is bound.
void DrawTexturedFrame(float cornerSize, float alpha, float left, float top, float right, float bottom);
// One of the preloaded interface textures (GUI_PreloadedTextures).
void DrawPreloadedFrame(int index, float cornerSize, float alpha, float left, float top, float right, float bottom);
void DrawNamedFrame(const std::string& textureName, float cornerSize, float alpha, float left, float top, float right,
                    float bottom);

// The interface colour frames are tinted with (red, green, blue); white by default.
void SetFrameColour(unsigned char red, unsigned char green, unsigned char blue);
unsigned int GetFrameColourRGB();
