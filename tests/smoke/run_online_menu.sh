#!/usr/bin/env bash
# The online menu and the inbox through a real 1280 x 1024 window under Xvfb
# against the game's own server on a free port, as a player uses them:
#  1. Online from the main menu; the day's news shows; a name typed into the
#     name field and Submit: the server takes it and the game keeps it.
#  2. Messages: the inbox shows the two messages the server holds; Delete on
#     the first removes it here (the seen file) and on the server.
#  3. At the next start a new message raises the popup; a click opens the inbox.
#  4. Without a server, the online menu shows the offline state at once.
set -u
# Arguments: the game, the server.
. "$(dirname "$0")/game_window.sh"

mkdir -p "$work/srv"
printf 'Welcome back to the front, pilots\n' > "$work/srv/news.txt"
printf '##,1,2026-12-01,ann,Bob,"first, with a comma"\n##,2,2026-12-02,ann,Cid,"second"\n' > "$work/srv/messages.txt"
user="$work/user"
start_game() { launch_game "$user" 1280 1024; }
# How much of a screen rectangle is lit (text drawn there), 0..1.
lit() { /usr/bin/convert "$1" -crop "$2" -colorspace Gray -threshold 70% -format "%[fx:mean]" info:; }

# 1. The online menu: news and a name.
start_server 0
start_game
click 536 996 2          # Online
wait_for "GET /quillomar/server/news.txt" 10 || fail "the news was not asked for"
sleep 1
import -window root "$work/menu.png" 2>/dev/null
news=$(lit "$work/menu.png" 660x30+300+470)
awk -v v="$news" 'BEGIN { exit !(v > 0.01) }' || fail "no news text on screen ($news)"
click 550 314 0.5        # the name field
# Lower case: a shifted key typed under load can lose its shift.
xdotool type --delay 80 "ann"; sleep 0.5
click 885 313 1          # Submit
wait_for "setusername.php?&id=[^&]*&username=ann$" 10 || fail "the name was not sent: $(cat "$work/srv/requests.log")"
sleep 1
[ "$(cat "$user/web/qlmcdu" 2>/dev/null)" = "ann" ] || fail "the accepted name was not kept"
grep -q ",ann$" "$work/srv/users.txt" || fail "the server did not keep the name"

# 2. The inbox: two messages, one deleted.
click 1148 1002 2        # Messages
wait_for "getmymessages.php?&username=ann&id=[^&]*&lastmessageid=0$" 10 || fail "the inbox asked for nothing"
sleep 1.5
import -window root "$work/inbox.png" 2>/dev/null
[ "$(grep -c '^##,' "$user/web/oldmessages.txt")" = "2" ] || fail "the inbox did not take both messages"
click 268 375 1.5        # Delete on the first row
wait_for "deletemessage.php?&user=ann&id=[^&]*&msgid=1$" 10 || fail "the delete did not reach the server"
sleep 0.5
[ "$(grep -c '^##,' "$user/web/oldmessages.txt")" = "1" ] && grep -q '^##,2,' "$user/web/oldmessages.txt" \
    || fail "the deleted message is still kept: $(cat "$user/web/oldmessages.txt")"
sleep 0.5
grep -q '^##,1,' "$work/srv/messages.txt" && fail "the server still holds the deleted message"
import -window root "$work/inbox2.png" 2>/dev/null
first=$(lit "$work/inbox.png" 560x40+520+331)
after=$(lit "$work/inbox2.png" 560x40+520+331)
stop_game

# 3. A new message waiting at the next start: the popup rises in the bottom
#    right corner with its number, and a click on it opens the inbox.
printf '##,3,2026-12-03,ann,Dan,"third"\n' >> "$work/srv/messages.txt"
start_game
wait_for "lastmessageid=2$" 10 || fail "the main menu did not look for new messages"
sleep 1.5
import -window root "$work/popup.png" 2>/dev/null
popup=$(lit "$work/popup.png" 64x32+1200+944)
awk -v v="$popup" 'BEGIN { exit !(v > 0.02) }' || fail "no popup in the corner ($popup)"
click 1232 960 2         # the popup
[ "$(grep -c "getmymessages.php" "$work/srv/requests.log")" = "3" ] || fail "the popup did not open the inbox"
grep -q '^##,3,' "$user/web/oldmessages.txt" || fail "the new message was not kept"
stop_game
stop_server

# 4. No server: the offline state at once.
unset QLM_SERVER_URL
start_game
click 536 996 1.5        # Online
import -window root "$work/offline.png" 2>/dev/null
offline=$(lit "$work/offline.png" 660x30+300+470)
awk -v v="$offline" 'BEGIN { exit !(v > 0.01) }' || fail "the news window does not say it is offline ($offline)"
stop_game
if grep -q "ERROR: AddressSanitizer" "$user/run.log"; then fail "$(cat "$user/run.log")"; fi
echo "online menu run passed (news $news, first row $first then $after, popup $popup, offline $offline)"
