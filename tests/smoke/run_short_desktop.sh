#!/usr/bin/env bash
# Starts the real game on an X display 1280x720 (shorter than the 768 pixels
# the game asks for) and checks that its window lies wholly on the screen,
# title and bottom edge included, and that it wears the game's icon.
set -u
if [ -z "${QLM_IN_OWN_DISPLAY:-}" ]; then
    QLM_IN_OWN_DISPLAY=1 exec "$(dirname "$0")/own_display.sh" 1280x720 "$0" "$@"
fi
game="$1"
. "$(dirname "$0")/game_window.sh"
step "the main menu on a short desktop"
# No prefs.ini of ours: the game picks its window size from the desktop.
launch_game "$work/user" "main menu"
# The first frame is shown: the start-up has sized the window.
geometry=$(xdotool getwindowgeometry --shell "$wid" 2>/dev/null |
    awk -F= '/^X=/{x=$2} /^Y=/{y=$2} /^WIDTH=/{w=$2} /^HEIGHT=/{h=$2} END {print x, y, w, h}')
echo "window x y width height: $geometry"
read -r x y w h <<<"$geometry"
[ -n "$h" ] || fail "the window's geometry could not be read"
[ "$x" -ge 0 ] && [ "$y" -ge 0 ] && [ $((x + w)) -le 1280 ] && [ $((y + h)) -le 720 ] ||
    fail "the window does not fit the 1280x720 screen"
[ "$w" -eq 1280 ] && [ "$h" -eq 720 ] || fail "the window does not fill the screen"
step "the window's icon"
# The window manager's copy: width, height, then ARGB pixels row by row. The
# game's icon is a 64 x 64 rounded tile: clear in the corner, solid inside.
icon=$(xprop -id "$wid" -notype 32c _NET_WM_ICON 2>/dev/null | sed 's/^[^=]*= //')
read -r iw ih corner middle <<<"$(awk -F', ' '{ print $1, $2, int($3 / 16777216), int($(3 + 32 * 64 + 32) / 16777216) }' <<<"$icon")"
echo "icon width height, corner and middle alpha: $iw $ih $corner $middle"
[ "$iw" = 64 ] && [ "$ih" = 64 ] || fail "the window has no 64 x 64 icon of the game's"
[ "$corner" = 0 ] && [ "$middle" = 255 ] || fail "the window's icon is not the game's rounded tile"
stop_game
echo "short desktop smoke run passed"
