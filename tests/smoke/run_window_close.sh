#!/usr/bin/env bash
# The game's window closed as a window manager closes it: WM_DELETE_WINDOW
# sent through an X server of its own (1024 x 768) to the game's window,
# which SDL reports as a window close followed by a quit. One close is one
# close:
#  1. A ship placed with the mouse on the deployment screen: the close asks
#     and the game runs on; No keeps the ship; the next close asks
#     again, and a second close while asked quits, cleanly.
#  2. TERM from the desktop asks, No; the window's close then asks again
#     rather than quitting, and its Yes quits, cleanly.
#  3. Nothing placed: the close quits at once.
set -u
game="$1"
closer="$2"
. "$(dirname "$0")/game_window.sh"

# Sends the close; the game answers with the screen and its modal windows.
close_window() { # screen windows
    "$closer" "$wid" || fail "WM_DELETE_WINDOW could not be sent to window $wid"
    wait_ready "$1" "$2"
}
close_and_wait_exit() {
    "$closer" "$wid" || fail "WM_DELETE_WINDOW could not be sent to window $wid"
    wait_exit
}
# The game ends by itself; cleanly (status 0, no sanitizer report).
wait_exit() {
    local start code
    start=$(now)
    while running "$gpid"; do
        past_deadline "$start" && fail "waited $QLM_READY_DEADLINE s for the game to quit"
        sleep 0.1
    done
    wait "$gpid"
    code=$?
    gpid=""
    [ $code -eq 0 ] || fail "the game exited with $code"
    if grep -q "ERROR: \(Address\|Leak\)Sanitizer" "$log"; then fail "a sanitizer report at exit"; fi
}
placed_ships() { grep -c '^\[ship' "$1" 2>/dev/null; }

step "1. a ship placed, the window closed"
window_prefs "$work/one" 1024 768
launch_game "$work/one" "deployment" --deploy scenario1
click 245 130            # the first design
click 430 250            # into the zone
close_window deployment 1
click 417 431 deployment 0   # No
close_window deployment 1
step "1. closed again while asked"
close_and_wait_exit

step "2. TERM, No, then the window's close"
window_prefs "$work/two" 1024 768
launch_game "$work/two" "deployment" --deploy scenario1
click 245 130
click 430 250
kill -TERM "$gpid"
wait_ready deployment 1
click 417 431 deployment 0
close_window deployment 1
xdotool mousemove --window "$wid" 612 431 click 1   # Yes: the game goes
wait_exit

step "3. nothing to lose"
window_prefs "$work/three" 1024 768
launch_game "$work/three" "deployment" --deploy scenario1
close_and_wait_exit
echo "window close run passed"
