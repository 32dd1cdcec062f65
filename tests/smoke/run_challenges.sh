#!/usr/bin/env bash
# Online challenges played through real windows (1024 x 768) on an X server
# of their own against the game's own challenge server on a free port:
#  1. Ann places a ship, posts it to all: the server gets the request, the
#     challenge file and a 256 x 256 JPEG picture, both tagged with the id.
#  2. Bob opens Challenges, ticks a filter (kept in config.txt), refreshes,
#     opens the history and the details, and Download takes him to the
#     deployment against Ann's fleet.
#  3. Bob opens the details of a slow server and quits while the history
#     is still downloading: the game ends cleanly.
set -u
game="$1"
server="$2"
. "$(dirname "$0")/game_window.sh"

start_game() { # user name, user folder, first screen, arguments...
    local name="$1" folder="$2" screen="$3"
    shift 3
    mkdir -p "$folder/web"
    printf '%s' "$name" >"$folder/web/qlmcdu"
    window_prefs "$folder" 1024 768
    launch_game "$folder" "$screen" "$@"
}

step "1. Ann posts a challenge"
start_server 0
ann="$work/ann"
start_game Ann "$ann" "deployment" --deploy scenario1
click 245 130            # the first design
click 430 250            # into the zone
click 250 742            # Post
click 670 323            # send to all
click 702 494            # SUBMIT
wait_for "postthumbnail.php"
stop_game
game_requests | grep -q "^GET /quillomar/server/addchal136.php?&sen=[0-9]*&use=Ann&rec=all&tau=.*&map=Border%20Skirmish&race=federation&parent=$" ||
    fail "no challenge request: $(game_requests)"
game_requests | grep -q "^POST /quillomar/server/postchallenge.php 1 " || fail "no challenge file posted"
game_requests | grep -q "^POST /quillomar/server/postthumbnail.php 1 " || fail "no picture posted"
[ "$(/usr/bin/identify -format '%m %wx%h' "$work/srv/thumbnails/1.jpg" 2>/dev/null)" = "JPEG 256x256" ] ||
    fail "the picture is no 256 x 256 JPEG"
[ -s "$work/srv/challenges/1.qlm" ] || fail "the challenge file was not stored"

step "2. Bob fights it"
bob="$work/bob"
start_game Bob "$bob" "main menu"
click 572 742 "challenges"
key Return               # the first visit's lesson, read: Escape is for the windows below
click 307 702            # Posted by me
click 120 691            # Refresh
wait_for "getmychaldemo.php"
wait_file "$bob/web/challenges/challengelist.txt" "^##,1,Ann,all,"
click 928 150            # HISTORY of the first row
wait_for "getchallengehistory.php"
key Escape
click 928 128            # DETAILS
shot details
click 719 411 "deployment" # Download
stop_game
game_requests | grep -q "^GET /quillomar/server/getmychaldemo.php$" || fail "the list was not refreshed"
[ "$(game_requests | grep -c "^GET /quillomar/server/getchallengehistory.php?&qlmid=1$")" -ge 2 ] ||
    fail "history and details did not both ask for the history"
game_requests | grep -q "^GET /quillomar/server/challenges/1.qlm$" || fail "the challenge was not downloaded"
fresh "$bob/web/challenges/1.qlm" && cmp -s "$work/srv/challenges/1.qlm" "$bob/web/challenges/1.qlm" ||
    fail "the downloaded challenge differs"
fresh "$bob/config.txt" && grep -q "CHALLENGES_SHOWPOSTED = 1" "$bob/config.txt" ||
    fail "the filter was not kept: $(grep CHALLENGES "$bob/config.txt")"
fresh "$bob/um.ini" && grep -q "= depscreenactivated,1," "$bob/um.ini" || fail "the deployment screen was not reached"
stop_server

step "3. Bob quits while a slow history downloads"
start_server 2000
rm -f "$bob/web/challengedata/1.jpg"
start_game Bob "$bob" "main menu"
click 572 742 "challenges"
# DETAILS: the window opens and asks for the history and the picture,
# which the server holds back two seconds; the game is told to quit meanwhile.
click 928 128
stop_game
stop_server
echo "challenge run passed"
