#pragma once

// Gives the lessons what they need of the screens below which they live: the
// battle's pause and camera, and the screen areas that are no widget but that
// a lesson may point at ("DEPLOYMENT_MAP", "DEPLOYMENT_ZONE"). Called once at
// start-up.
void InstallTutorialScreenLinks();
