#pragma once

// The music the screens themselves name, as file names below
// "data/sounds/music/" (races name theirs in their files). The content check
// walks this list, so a track named here and not shipped fails the build.
namespace MusicTracks {
inline constexpr const char* kMainTitle = "main_title.ogg";
inline constexpr const char* kSettingUpShips = "setting_up_ships.ogg";
inline constexpr const char* kVictory = "victory.ogg";
inline constexpr const char* kDefeat = "defeat.ogg";

inline constexpr const char* kScreenTracks[] = {kMainTitle, kSettingUpShips, kVictory, kDefeat};
} // namespace MusicTracks
