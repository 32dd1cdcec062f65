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
#
# A wait reads only what the process it waits for has said: every launch of
# the game or the server writes to files named for that launch (run-N.log,
# port-N, server-N.log), created before it starts, so a line or a port left
# by the one before in the same folder is never taken for the new one's. A
# file the game keeps in its folder counts once it is written after the
# game's launch (`fresh`), and a request counts once the server logs it after
# the last press or launch (`wait_for`).
. "$(dirname "${BASH_SOURCE[0]}")/deadline.sh"
work=$(mktemp -d)
[ -n "${QLM_KEEP_WORK:-}" ] || trap 'rm -rf "$work"' EXIT
. "$(dirname "${BASH_SOURCE[0]}")/own_home.sh"
own_home "$work"
export ALSOFT_DRIVERS=null SDL_AUDIODRIVER=dummy
unset SDL_VIDEODRIVER
gpid=""
spid=""
wid=""
user=""
log=""      # the current game's output, a file of its launch alone
mark=""     # touched just before the current game started
launch=0    # games and servers started so far: each one's files are named for it
sent=0      # presses sent to the current game
seen=0      # ready lines of its log already waited past
requests_at_launch=0 # lines of the server's request log when the game started
requests_at_press=0  # ... when the last press was sent
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
    local file
    for file in "$work"/*/run-*.log "$work"/server-*.log "$work"/*/debug/errors.txt; do
        [ -s "$file" ] || continue
        echo "---- the end of ${file#"$work"/}"
        tail -n 40 "$file"
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

# The server writes its port file whole (a rename) once it listens; the file
# is named for this launch, so no earlier server's port can be read.
start_server() { # answer delay in ms
    launch=$((launch + 1))
    local port="$work/port-$launch" start
    "$server" --data "$work/srv" --port 0 --port-file "$port" --delay-ms "$1" >"$work/server-$launch.log" 2>&1 &
    spid=$!
    start=$(now)
    until [ -s "$port" ]; do
        running "$spid" || fail "the challenge server exited before it wrote its port"
        past_deadline "$start" && fail "waited $QLM_READY_DEADLINE s for the challenge server to write its port"
        sleep 0.1
    done
    export QLM_SERVER_URL="http://127.0.0.1:$(cat "$port")/"
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
        done < <(grep '^ready: ' "$log")
        if ! running "$gpid"; then
            wait "$gpid"
            fail "the game exited with $? while the run waited for \"$want\" after press $sent"
        fi
        past_deadline "$start" &&
            fail "waited $QLM_READY_DEADLINE s for the game to report \"$want\" after press $sent; its last report: ${last:-none}"
        sleep 0.1
    done
}

# A window of that size in the player folder's prefs.ini.
window_prefs() { # user folder, width, height
    mkdir -p "$1"
    printf '[prefs]\nwidth = %s\nheight = %s\nwindowed = 1\nsound_channels = 64\n' "$2" "$3" >"$1/prefs.ini"
}
# Starts the game in a player folder and waits for its first screen. Its log
# is a new file made here before the game starts: only this game writes it.
launch_game() { # user folder, first screen, arguments...
    user="$1"
    local screen="$2"
    shift 2
    mkdir -p "$user"
    launch=$((launch + 1))
    log="$user/run-$launch.log"
    mark="$work/launch-$launch"
    : >"$log"
    : >"$mark"
    requests_at_launch=$(request_lines)
    requests_at_press=$requests_at_launch
    sent=0
    seen=0
    "$game" --user-dir "$user" --ready-signal "$@" >>"$log" 2>&1 &
    gpid=$!
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
    windows=$(grep '^ready: ' "$log" | tail -1 | sed 's/^.* windows=\([0-9]*\) .*$/\1/')
    kill -TERM "$gpid"
    start=$(now)
    while running "$gpid"; do
        if [ -z "$again" ] && grep '^ready: ' "$log" | tail -1 |
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
    if grep -q "ERROR: \(Address\|Leak\)Sanitizer" "$log"; then fail "a sanitizer report at exit"; fi
}

# A left click at a point of the window; waits until the game has handled it
# and settled on the screen named (by default any screen).
click() { # x y [screen [windows]]
    requests_at_press=$(request_lines)
    xdotool mousemove --window "$wid" "$1" "$2" click 1
    sent=$((sent + 1))
    wait_ready_any "${3:-}" "${4:-}"
}
key() { # key name [screen [windows]]
    requests_at_press=$(request_lines)
    xdotool key "$1"
    sent=$((sent + 1))
    wait_ready_any "${2:-}" "${3:-}"
}
type_text() { # text: lower-case letters and digits, one press each
    requests_at_press=$(request_lines)
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
current_screen() { grep '^ready: ' "$log" | tail -1 | sed 's/^ready: \(.*\) windows=.*$/\1/'; }

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
# Lines in the server's request log (which every server run appends to).
request_lines() { cat "$work/srv/requests.log" 2>/dev/null | wc -l; }
# The requests logged since the current game was started.
game_requests() { tail -n +$((requests_at_launch + 1)) "$work/srv/requests.log" 2>/dev/null; }
# A request matching the pattern, logged after the last press (or launch).
wait_for() {
    wait_until "the server to log a request matching \"$1\" after press $sent" \
        "tail -n +\$((requests_at_press + 1)) \"\$work/srv/requests.log\" 2>/dev/null | grep -q $(printf %q "$1")"
}
# True when a file was written after the current game was started: what a
# game before it left in the same folder does not count. (Strictly newer: a
# file of the last game shares at most the launch's clock tick.)
fresh() { [ "$1" -nt "$mark" ]; }
# A pattern in a file the game (or the server, for this game) writes.
wait_file() {
    wait_until "${1#"$work"/} to hold \"$2\"" "fresh $(printf %q "$1") && grep -q -- $(printf %q "$2") $(printf %q "$1")"
}

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
