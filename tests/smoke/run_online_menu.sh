#!/usr/bin/env bash
# The online menu and the inbox through a real 1280 x 1024 window on an X
# server of its own against the game's own server on a free port, as a
# player uses them:
#  1. Online from the main menu; the day's news shows; a name typed into the
#     name field and Submit: the server takes it and the game keeps it.
#  2. Messages: the inbox shows the two messages the server holds; Delete on
#     the first removes it here (the seen file) and on the server.
#  3. At the next start a new message raises the popup; a click opens the inbox.
#  4. Without a server, the online menu shows the offline state at once.
set -u
game="$1"
server="$2"
. "$(dirname "$0")/game_window.sh"

mkdir -p "$work/srv"
printf 'Welcome back to the front, pilots\n' >"$work/srv/news.txt"
printf '##,1,2026-12-01,ann,Bob,"first, with a comma"\n##,2,2026-12-02,ann,Cid,"second"\n' >"$work/srv/messages.txt"
window_prefs "$work/user" 1280 1024
start_game() { launch_game "$work/user" "main menu"; }
# The inbox's rows this game has kept (none until it writes the file).
seen_rows() { fresh "$user/web/oldmessages.txt" && grep -c '^##,' "$user/web/oldmessages.txt"; }
# How many requests of this game match.
requests() { game_requests | grep -c "$1"; }

step "1. the online menu: news and a name"
start_server 0
start_game
click 485 996 "online"
wait_for "GET /quillomar/server/news.txt"
wait_lit menu 660x30+300+470 0.01 "the news text on screen"
news=$lit_seen
click 550 314            # the name field
# Lower case: a shifted key typed under load can lose its shift.
type_text "ann"
click 885 313            # Submit
wait_for "setusername.php?&id=[^&]*&username=ann$"
wait_until "the accepted name to be kept in web/qlmcdu" 'fresh "$user/web/qlmcdu" && [ "$(cat "$user/web/qlmcdu")" = ann ]'
wait_file "$work/srv/users.txt" ",ann$"

step "2. the inbox: two messages, one deleted"
click 1148 1002 "messages"
wait_for "getmymessages.php?&username=ann&id=[^&]*&lastmessageid=0$"
wait_until "the inbox to keep both messages in web/oldmessages.txt" '[ "$(seen_rows)" = 2 ]'
shot inbox
click 268 375            # Delete on the first row
wait_for "deletemessage.php?&user=ann&id=[^&]*&msgid=1$"
wait_until "the deleted message to leave web/oldmessages.txt" '[ "$(seen_rows)" = 1 ]'
grep -q '^##,2,' "$user/web/oldmessages.txt" || fail "the message kept is not the second: $(cat "$user/web/oldmessages.txt")"
wait_until "the server to drop the deleted message" '! grep -q "^##,1," "$work/srv/messages.txt"'
shot inbox2
first=$(lit inbox 560x40+520+331)
after=$(lit inbox2 560x40+520+331)
stop_game

step "3. a new message at the next start: the popup, and a click on it"
printf '##,3,2026-12-03,ann,Dan,"third"\n' >>"$work/srv/messages.txt"
start_game
wait_for "lastmessageid=2$"
# The popup rises in the bottom right corner with its number.
wait_lit popup 64x32+1200+944 0.02 "the new-message popup in the corner"
popup=$lit_seen
click 1232 960 "messages"
# Once at the start (the popup's question), once by the inbox.
wait_until "the popup's inbox to ask for the messages" '[ "$(requests getmymessages.php)" -ge 2 ]'
[ "$(requests getmymessages.php)" = 2 ] || fail "the messages were asked for $(requests getmymessages.php) times, not 2"
wait_file "$user/web/oldmessages.txt" '^##,3,'
stop_game
stop_server

step "4. no server: the offline state at once"
unset QLM_SERVER_URL
start_game
click 485 996 "online"
wait_lit offline 660x30+300+470 0.01 "the news window to say it is offline"
offline=$lit_seen
stop_game
echo "online menu run passed (news $news, first row $first then $after, popup $popup, offline $offline)"
