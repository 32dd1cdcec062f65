#!/usr/bin/env bash
# A battle in a real window under Xvfb, played with the mouse as a player
# would: top speed from the mini-map's faster button, then, once the battle
# is over, "View statistics" on the report, the time graph's tab, a key
# entry, and the main menu. Checks the usage record the game writes on the
# way out: the battle's result and the statistics browser.
set -u
game="$1"
user=$(mktemp -d)
trap 'rm -rf "$user"' EXIT
export ALSOFT_DRIVERS=null SDL_AUDIODRIVER=dummy
printf '[prefs]\nwidth = 1024\nheight = 768\nwindowed = 1\nsound_channels = 64\n' > "$user/prefs.ini"
"$game" --user-dir "$user" --battle scenario1 --frame-ms 100 > "$user/run.log" 2>&1 &
pid=$!
wid=""
for i in $(seq 1 100); do
    wid=$(xdotool search --pid $pid 2>/dev/null | head -1)
    [ -n "$wid" ] && break
    sleep 0.2
done
[ -n "$wid" ] || { echo "no game window"; kill $pid; exit 1; }
sleep 1
click() { xdotool mousemove --window "$wid" "$1" "$2"; sleep 0.3; xdotool click 1; sleep "${3:-0.5}"; }
for i in $(seq 1 10); do click 155 629 0.2; done   # faster, up to 4x
for i in $(seq 1 600); do
    grep -q "Battle over: report open" "$user/debug/debug.txt" 2>/dev/null && break
    sleep 0.5
done
grep -q "Battle over: report open" "$user/debug/debug.txt" || { echo "the battle never ended in its report"; kill $pid; exit 1; }
sleep 1
click 630 450 2      # View statistics
click 195 90 1       # Damage over time
click 860 664 1      # the delivered hull series off
click 90 710 3       # Main menu
kill -TERM $pid; wait $pid
code=$?
[ $code -eq 0 ] || { echo "the game exited with $code"; exit 1; }
grep -Eq "scenario1_(won|lost),1" "$user/um.ini" || { echo "no battle result recorded"; cat "$user/um.ini"; exit 1; }
grep -q "statsbrowser,1" "$user/um.ini" || { echo "the statistics browser was not opened"; cat "$user/um.ini"; exit 1; }
echo "battle report run passed"
