#!/usr/bin/env bash
# A battle in a real window on an X server of its own, played with the mouse
# as a player would: top speed from the mini-map's faster button, then, once
# the battle is over, "View statistics" on the report, the time graph's tab,
# a key entry, and the main menu. Checks the usage record the game writes on
# the way out: the battle's result and the statistics browser.
set -u
game="$1"
. "$(dirname "$0")/game_window.sh"

step "the battle at top speed"
window_prefs "$work/user" 1024 768
launch_game "$work/user" "battle" --battle scenario1 --frame-ms 100
for i in $(seq 1 10); do click 155 629; done   # faster, up to 4x
step "the battle's end"
wait_work "user/debug/debug.txt to hold \"Battle over: report open\"" \
    'fresh "$user/debug/debug.txt" && grep -q "Battle over: report open" "$user/debug/debug.txt"'
wait_ready "battle" 1
step "the report's statistics"
click 630 450            # View statistics
click 195 90             # Damage over time
click 860 664            # the delivered hull series off
click 90 710 "main menu"
stop_game
fresh "$user/um.ini" && grep -Eq "scenario1_(won|lost),1" "$user/um.ini" ||
    fail "no battle result recorded: $(cat "$user/um.ini")"
grep -q "statsbrowser,1" "$user/um.ini" || fail "the statistics browser was not opened: $(cat "$user/um.ini")"
echo "battle report run passed"
