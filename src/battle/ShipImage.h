#pragma once

class GUI_Ship;

// Draws a ship unrotated into the shared "rt_ship" target (at most 512 x 512
// pixels), hull and damage patches, and hands back the side it used; the
// previous render target is put back. The cloak and the warp-in draw the
// ship from that image. 0 when there is no target to draw into.
float RenderShipImage(GUI_Ship& visual, float side);
