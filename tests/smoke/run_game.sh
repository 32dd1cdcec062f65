#!/usr/bin/env bash
# Starts the real game without a display or sound card, presses Print Screen
# once, and checks that it ran cleanly: exit code 0, no error lines, and a
# screenshot of the window's size.
set -u
game="$1"
user=$(mktemp -d)
trap 'rm -rf "$user"' EXIT
. "$(dirname "$0")/own_home.sh"
own_home "$user"
export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy
"$game" --user-dir "$user" --frames 120 --screenshot-at 60
code=$?
if [ $code -ne 0 ]; then echo "the game exited with $code"; exit 1; fi
if [ -s "$user/debug/errors.txt" ]; then echo "errors.txt is not empty:"; cat "$user/debug/errors.txt"; exit 1; fi
grep -q "END DEBUG---" "$user/debug/debug.txt" || { echo "debug.txt was not closed"; exit 1; }
shots=("$user"/screenshot_*.bmp)
[ -f "${shots[0]}" ] || { echo "no screenshot was written"; ls "$user"; exit 1; }
size=$(stat -c %s "${shots[0]}")
[ "$size" -gt 1000000 ] || { echo "the screenshot is too small ($size bytes)"; exit 1; }
echo "smoke run passed"
