# Shared by the window runs against the game's own server: start and stop the
# server and the game, click in the game's window, wait for a request.
# Sourced with the caller's arguments (the game, the server); a work folder
# of its own goes at exit unless QLM_KEEP_WORK is set. The functions set
# spid, gpid and wid.
game="$1"
server="$2"
work=$(mktemp -d)
[ -n "${QLM_KEEP_WORK:-}" ] || trap 'rm -rf "$work"' EXIT
export ALSOFT_DRIVERS=null SDL_AUDIODRIVER=dummy

fail() { echo "$1"; [ -n "${gpid:-}" ] && kill "$gpid" 2>/dev/null; [ -n "${spid:-}" ] && kill "$spid" 2>/dev/null; exit 1; }

start_server() { # delay in ms
    rm -f "$work/port"
    "$server" --data "$work/srv" --port 0 --port-file "$work/port" --delay-ms "$1" > "$work/server.log" 2>&1 &
    spid=$!
    for i in $(seq 1 100); do [ -s "$work/port" ] && break; sleep 0.1; done
    [ -s "$work/port" ] || fail "the challenge server did not start"
    export QLM_SERVER_URL="http://127.0.0.1:$(cat "$work/port")/"
}
stop_server() { kill "$spid"; wait "$spid"; spid=""; }

launch_game() { # user folder, width, height, arguments...
    local user="$1" w="$2" h="$3"
    shift 3
    mkdir -p "$user"
    printf '[prefs]\nwidth = %s\nheight = %s\nwindowed = 1\nsound_channels = 64\n' "$w" "$h" > "$user/prefs.ini"
    "$game" --user-dir "$user" "$@" > "$user/run.log" 2>&1 &
    gpid=$!
    wid=""
    for i in $(seq 1 100); do
        wid=$(xdotool search --pid $gpid 2>/dev/null | head -1)
        [ -n "$wid" ] && break
        sleep 0.2
    done
    [ -n "$wid" ] || fail "no game window"
    # The first frames (shader compilation, content) come well after the window.
    sleep 4
}
stop_game() {
    kill -TERM "$gpid"; wait "$gpid"
    local code=$?
    gpid=""
    [ $code -eq 0 ] || fail "the game exited with $code"
}
wait_for() { # pattern in the server's request log, seconds
    for i in $(seq 1 $(($2 * 5))); do grep -q "$1" "$work/srv/requests.log" 2>/dev/null && return 0; sleep 0.2; done
    return 1
}
click() { xdotool mousemove --window "$wid" "$1" "$2"; sleep 0.3; xdotool click 1; sleep "${3:-0.5}"; }
