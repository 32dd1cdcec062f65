#!/usr/bin/env bash
# Online challenges played through real windows under Xvfb (1024 x 768)
# against the game's own challenge server on a free port:
#  1. Ann places a ship, posts it to all: the server gets the request, the
#     challenge file and a 256 x 256 JPEG picture, both tagged with the id.
#  2. Bob opens Challenges, ticks a filter (kept in config.txt), refreshes,
#     opens the history and the details, and Download takes him to the
#     deployment against Ann's fleet.
#  3. Bob opens the details of a slow server and quits while the history
#     is still downloading: the game ends cleanly.
set -u
# Arguments: the game, the server.
. "$(dirname "$0")/game_window.sh"

start_game() { # user name, user folder, arguments...
    local name="$1" user="$2"
    shift 2
    mkdir -p "$user/web"
    printf '%s' "$name" > "$user/web/qlmcdu"
    launch_game "$user" 1024 768 "$@"
}

# 1. Posting.
start_server 0
ann="$work/ann"
start_game Ann "$ann" --deploy scenario1
click 245 130 1     # the first design
click 430 250 1     # into the zone
click 250 742 1.5   # Post
click 670 323 1     # send to all
click 702 494 1     # SUBMIT
wait_for "postthumbnail.php" 30
stop_game
grep -q "^GET /quillomar/server/addchal136.php?&sen=[0-9]*&use=Ann&rec=all&tau=.*&map=Border%20Skirmish&race=federation&parent=$" \
    "$work/srv/requests.log" || fail "no challenge request: $(cat "$work/srv/requests.log")"
grep -q "^POST /quillomar/server/postchallenge.php 1 " "$work/srv/requests.log" || fail "no challenge file posted"
grep -q "^POST /quillomar/server/postthumbnail.php 1 " "$work/srv/requests.log" || fail "no picture posted"
[ "$(/usr/bin/identify -format '%m %wx%h' "$work/srv/thumbnails/1.jpg" 2>/dev/null)" = "JPEG 256x256" ] \
    || fail "the picture is no 256 x 256 JPEG"
[ -s "$work/srv/challenges/1.qlm" ] || fail "the challenge file was not stored"

# 2. Fighting it.
bob="$work/bob"
start_game Bob "$bob"
click 572 742 2     # Challenges
xdotool key Return; sleep 0.5   # the first visit's lesson, read: Escape is for the windows below
click 307 702 1     # Posted by me
click 120 691 1     # Refresh
wait_for "getmychaldemo.php" 20 || fail "Refresh asked nothing"
sleep 2
click 928 150 1     # HISTORY of the first row
wait_for "getchallengehistory.php" 20 || fail "HISTORY asked nothing"
sleep 2
xdotool key Escape; sleep 1
click 928 128 2     # DETAILS
import -window root "$work/details.png" 2>/dev/null
click 719 411 1     # Download
wait_for "challenges/1.qlm" 20
sleep 3
import -window root "$work/deployment.png" 2>/dev/null
stop_game
grep -q "^GET /quillomar/server/getmychaldemo.php$" "$work/srv/requests.log" || fail "the list was not refreshed"
[ "$(grep -c "^GET /quillomar/server/getchallengehistory.php?&qlmid=1$" "$work/srv/requests.log")" -ge 2 ] \
    || fail "history and details did not both ask for the history"
grep -q "^GET /quillomar/server/challenges/1.qlm$" "$work/srv/requests.log" || fail "the challenge was not downloaded"
cmp -s "$work/srv/challenges/1.qlm" "$bob/web/challenges/1.qlm" || fail "the downloaded challenge differs"
grep -q "CHALLENGES_SHOWPOSTED = 1" "$bob/config.txt" || fail "the filter was not kept: $(grep CHALLENGES "$bob/config.txt")"
grep -q "= depscreenactivated,1," "$bob/um.ini" || fail "the deployment screen was not reached"
grep -q "^##,1,Ann,all," "$bob/web/challenges/challengelist.txt" \
    || fail "the refreshed list was not saved"
stop_server

# 3. Quitting while a slow history downloads.
start_server 2000
rm -f "$bob/web/challengedata/1.jpg"
start_game Bob "$bob"
click 572 742 2     # Challenges
click 928 128 0.3   # DETAILS: the history and picture are on their way
stop_game
stop_server
if grep -q "ERROR: AddressSanitizer" "$bob/run.log"; then fail "$(cat "$bob/run.log")"; fi
echo "challenge run passed"
