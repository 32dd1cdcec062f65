#!/usr/bin/env bash
# Starts the real game on an X display 1280x720 (shorter than the 768 pixels
# the game asks for) and checks that its window lies wholly on the screen,
# title and bottom edge included.
set -u
game="$1"
if [ -z "${QLM_IN_XVFB:-}" ]; then
    command -v xvfb-run >/dev/null || { echo "xvfb-run is needed"; exit 1; }
    QLM_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 1280x720x24" "$0" "$@"
fi
user=$(mktemp -d)
trap 'rm -rf "$user"' EXIT
unset SDL_VIDEODRIVER
export SDL_AUDIODRIVER=dummy
"$game" --user-dir "$user" --frames 600 &
pid=$!
# The window first appears at its creation size; the start-up then sizes it.
geometry=""
for _ in $(seq 1 80); do
    win=$(xdotool search --onlyvisible --name "Quillomar" 2>/dev/null | head -1)
    if [ -n "$win" ]; then
        geometry=$(xdotool getwindowgeometry --shell "$win" 2>/dev/null |
            awk -F= '/^X=/{x=$2} /^Y=/{y=$2} /^WIDTH=/{w=$2} /^HEIGHT=/{h=$2} END {print x, y, w, h}')
        read -r x y w h <<<"$geometry"
        if [ -n "$h" ] && [ "$x" -ge 0 ] && [ "$y" -ge 0 ] && [ $((x + w)) -le 1280 ] && [ $((y + h)) -le 720 ]; then
            break
        fi
    fi
    sleep 0.25
done
wait $pid
code=$?
[ $code -eq 0 ] || { echo "the game exited with $code"; exit 1; }
echo "window x y width height: $geometry"
read -r x y w h <<<"$geometry"
[ -n "$h" ] || { echo "no game window was found"; exit 1; }
[ "$x" -ge 0 ] && [ "$y" -ge 0 ] && [ $((x + w)) -le 1280 ] && [ $((y + h)) -le 720 ] ||
    { echo "the window does not fit the 1280x720 screen"; exit 1; }
[ "$w" -eq 1280 ] && [ "$h" -eq 720 ] || { echo "the window does not fill the screen"; exit 1; }
echo "short desktop smoke run passed"
