# Shared by the runs of the real game in a window on an X server of their own
# (own_display.sh): start and stop the game and the challenge server, click
# and type in the game's window, and wait for what the game and the server
# say instead of sleeping. Sourced; the caller sets `game` (and `server`).
#
# The game runs with --ready-signal: after each click or key it prints a line
# once that input is handled and the screen has settled,
#     ready: main menu windows=0 input=3
# so every press here waits for the line that counts it, and a press that
# changes the screen waits for that screen by name. Each wait has the one
# deadline of deadline.sh. A failure names the step and what it waited for,
# prints the logs' ends and keeps the work folder, with a screenshot, under
# failed/ in the working folder (the test's build folder).
. "$(dirname "${BASH_SOURCE[0]}")/deadline.sh"
work=$(mktemp -d)
[ -n "${QLM_KEEP_WORK:-}" ] || trap 'rm -rf "$work"' EXIT
export ALSOFT_DRIVERS=null SDL_AUDIODRIVER=dummy
unset SDL_VIDEODRIVER
gpid=""
spid=""
wid=""
user=""
sent=0      # presses sent to the current game
seen=0      # ready lines of its log already waited past
step="start"

# Names what the run does now, for the failure message.
step() { step="$1"; }

fail() {
    local kept="${QLM_FAILED_DIR:-$PWD/failed}/$(basename "$0" .sh)-$$"
    echo "FAILED at step \"$step\": $1"
    mkdir -p "$kept"
    [ -n "${DISPLAY:-}" ] && /usr/bin/import -window root "$kept/screen.png" 2>/dev/null
    [ -n "$gpid" ] && kill "$gpid" 2>/dev/null && wait "$gpid" 2>/dev/null
    [ -n "$spid" ] && kill "$spid" 2>/dev/null && wait "$spid" 2>/dev/null
    cp -r "$work"/. "$kept"/ 2>/dev/null
    local log
    for log in "$work"/*/run.log "$work"/server.log "$work"/*/debug/errors.txt; do
        [ -s "$log" ] || continue
        echo "---- the end of ${log#"$work"/}"
        tail -n 40 "$log"
    done
    echo "---- the run's files and a screenshot (screen.png) are kept in $kept"
    exit 1
}

# Seconds since the epoch, with fractions.
now() { echo "$EPOCHREALTIME"; }
past_deadline() { # start [deadlines]
    awk -v s="$1" -v n="$(now)" -v d="$QLM_READY_DEADLINE" -v k="${2:-1}" 'BEGIN { exit !(n - s > k * d) }'
}

# True while a process runs (one that has exited but is not yet waited for
# still answers kill -0).
running() { [ -r "/proc/$1/stat" ] && [ "$(awk '{ print $3 }' "/proc/$1/stat" 2>/dev/null)" != Z ]; }

start_server() { # answer delay in ms
    rm -f "$work/port"
    "$server" --data "$work/srv" --port 0 --port-file "$work/port" --delay-ms "$1" >"$work/server.log" 2>&1 &
    spid=$!
    local start
    start=$(now)
    until [ -s "$work/port" ]; do
        running "$spid" || fail "the challenge server exited before it wrote its port"
        past_deadline "$start" && fail "waited $QLM_READY_DEADLINE s for the challenge server to write its port"
        sleep 0.1
    done
    export QLM_SERVER_URL="http://127.0.0.1:$(cat "$work/port")/"
}
stop_server() {
    kill "$spid"
    wait "$spid"
    spid=""
}

# Waits for the game's next ready line that counts every press sent so far,
# on the screen named (and with that many modal windows, when given).
wait_ready() { # screen [windows]
    local screen="$1" windows="${2:-}" start line n last=""
    local want="$screen${windows:+ with $windows modal window(s)}"
    start=$(now)
    while :; do
        n=0
        while IFS= read -r line; do
            n=$((n + 1))
            [ $n -le $seen ] && continue
            last="$line"
            [[ "$line" =~ ^ready:\ (.*)\ windows=([0-9]+)\ input=([0-9]+)$ ]] || continue
            [ "${BASH_REMATCH[3]}" -ge "$sent" ] || continue
            [ "${BASH_REMATCH[1]}" = "$screen" ] || continue
            [ -z "$windows" ] || [ "${BASH_REMATCH[2]}" = "$windows" ] || continue
            seen=$n
            return 0
        done < <(grep '^ready: ' "$user/run.log" 2>/dev/null)
        if ! running "$gpid"; then
            wait "$gpid"
            fail "the game exited with $? while the run waited for \"$want\" after press $sent"
        fi
        past_deadline "$start" &&
            fail "waited $QLM_READY_DEADLINE s for the game to report \"$want\" after press $sent; its last report: ${last:-none}"
        sleep 0.1
    done
}

launch_game() { # user folder, width, height, first screen, arguments...
    user="$1"
    local w="$2" h="$3" screen="$4"
    shift 4
    mkdir -p "$user"
    printf '[prefs]\nwidth = %s\nheight = %s\nwindowed = 1\nsound_channels = 64\n' "$w" "$h" >"$user/prefs.ini"
    "$game" --user-dir "$user" --ready-signal "$@" >"$user/run.log" 2>&1 &
    gpid=$!
    sent=0
    seen=0
    wait_ready "$screen"
    # A frame has been shown: the window is mapped.
    wid=$(xdotool search --pid "$gpid" 2>/dev/null | head -1)
    [ -n "$wid" ] || fail "the game reported its first screen, but no window of it was found"
}
# Ends the game as the window system does; it must leave cleanly (status 0,
# no sanitizer report, leaks included). Where work would be lost (a changed
# fleet, an unsaved design) the first close opens the screen's question; a
# second close quits, as a player closing twice.
stop_game() {
    local start windows again=""
    windows=$(grep '^ready: ' "$user/run.log" | tail -1 | sed 's/^.* windows=\([0-9]*\) .*$/\1/')
    kill -TERM "$gpid"
    start=$(now)
    while running "$gpid"; do
        if [ -z "$again" ] && grep '^ready: ' "$user/run.log" | tail -1 |
            awk -v w="${windows:-0}" '{ sub(/^.* windows=/, ""); exit !($1 + 0 > w) }'; then
            again=1
            kill -TERM "$gpid"
        fi
        past_deadline "$start" && fail "waited $QLM_READY_DEADLINE s for the game to quit after its window was closed"
        sleep 0.1
    done
    wait "$gpid"
    local code=$?
    gpid=""
    [ $code -eq 0 ] || fail "the game exited with $code"
    if grep -q "ERROR: \(Address\|Leak\)Sanitizer" "$user/run.log"; then fail "a sanitizer report at exit"; fi
}

# A left click at a point of the window; waits until the game has handled it
# and settled on the screen named (by default any screen).
click() { # x y [screen [windows]]
    xdotool mousemove --window "$wid" "$1" "$2" click 1
    sent=$((sent + 1))
    wait_ready_any "${3:-}" "${4:-}"
}
key() { # key name [screen [windows]]
    xdotool key "$1"
    sent=$((sent + 1))
    wait_ready_any "${2:-}" "${3:-}"
}
type_text() { # text: lower-case letters and digits, one press each
    xdotool type --delay 80 "$1"
    sent=$((sent + ${#1}))
    wait_ready_any ""
}
wait_ready_any() { # screen or "" [windows]
    if [ -n "$1" ]; then
        wait_ready "$1" "${2:-}"
    else
        wait_ready "$(current_screen)" "${2:-}"
    fi
}
# The screen of the game's last ready line.
current_screen() { grep '^ready: ' "$user/run.log" | tail -1 | sed 's/^ready: \(.*\) windows=.*$/\1/'; }

# Waits until a condition (shell, evaluated afresh each time) holds: for what
# the game shows or writes, or what the server logs, after a request's answer.
wait_until() { # what is awaited, condition
    local start
    start=$(now)
    until eval "$2"; do
        past_deadline "$start" && fail "waited $QLM_READY_DEADLINE s for $1"
        sleep 0.1
    done
}
# Waits for what the game's own long work brings about (a battle fought to
# its end), not for readiness: a busy machine stretches that work's wall time
# without limit, so its budget is counted in the CPU time the game spends (all
# its threads, the rasteriser's included): three deadlines. A game that spins
# without getting there meets it; one that hangs without working is caught at
# four deadlines of wall time, inside the test's own timeout.
wait_work() { # what is awaited, condition
    local start cpu0 tick
    start=$(now)
    tick=$(getconf CLK_TCK)
    cpu0=$(game_cpu_ticks)
    until eval "$2"; do
        [ $(($(game_cpu_ticks) - cpu0)) -gt $((3 * QLM_READY_DEADLINE * tick)) ] &&
            fail "the game spent $((3 * QLM_READY_DEADLINE)) s of CPU time without $1"
        past_deadline "$start" 4 &&
            fail "waited $((4 * QLM_READY_DEADLINE)) s for $1"
        running "$gpid" || fail "the game ended before $1"
        sleep 0.1
    done
    echo "$1: $(((($(game_cpu_ticks) - cpu0) + tick / 2) / tick)) s of the game's CPU time"
}
# The game's user and system time so far, in clock ticks.
game_cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$gpid/stat" 2>/dev/null || echo 0; }
# A pattern in the server's request log.
wait_for() { wait_until "the server to log a request matching \"$1\"" "grep -q $(printf %q "$1") \"\$work/srv/requests.log\" 2>/dev/null"; }
# A pattern in a file the game writes.
wait_file() { wait_until "${1#"$work"/} to hold \"$2\"" "grep -q $(printf %q "$2") $(printf %q "$1") 2>/dev/null"; }

# A picture of the whole display as it is now, in the work folder.
shot() { /usr/bin/import -window root "$work/$1.png" 2>/dev/null || fail "no screenshot $1 could be taken"; }
# How much of a rectangle (WxH+X+Y) of a picture is lit (text drawn there), 0..1.
lit() { /usr/bin/convert "$work/$1.png" -crop "$2" -colorspace Gray -threshold 70% -format "%[fx:mean]" info:; }
# True once a fresh picture shows more than the share of the rectangle lit;
# lit_seen holds what it measured.
lit_above() { # picture, rectangle, share
    shot "$1"
    lit_seen=$(lit "$1" "$2")
    awk -v v="$lit_seen" -v m="$3" 'BEGIN { exit !(v > m) }'
}
wait_lit() { # picture, rectangle, share, what is awaited
    wait_until "$4 (more than $3 of $2 lit)" "lit_above $1 $2 $3"
}
