#!/usr/bin/env bash
# Runs a command on an X server of its own: WIDTHxHEIGHT COMMAND [ARGUMENT...].
# Xvfb picks a display number no other server holds and reports it
# (-displayfd), so runs started at the same moment never share a display, as
# they could when each guessed a free number itself. The server goes when
# the command ends; the command's exit status is this script's.
set -u
. "$(dirname "$0")/deadline.sh"
size="$1"
shift
command -v Xvfb >/dev/null || { echo "own_display: Xvfb is needed"; exit 1; }
dir=$(mktemp -d)
. "$(dirname "$0")/own_home.sh"
own_home "$dir"
xpid=""
cleanup() {
    if [ -n "$xpid" ]; then
        kill "$xpid" 2>/dev/null
        wait "$xpid" 2>/dev/null
    fi
    rm -rf "$dir"
}
trap cleanup EXIT
mkfifo "$dir/display"
Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$dir/display" 2>"$dir/xvfb.log" &
xpid=$!
# The number arrives once the server takes connections; a server that fails
# closes the pipe and the read ends empty at once.
number=""
read -r -t "$QLM_READY_DEADLINE" number <"$dir/display"
if [ -z "$number" ]; then
    echo "own_display: waited up to $QLM_READY_DEADLINE s for Xvfb to report its display; it did not. Its log:"
    cat "$dir/xvfb.log"
    exit 1
fi
export DISPLAY=":$number"
unset XAUTHORITY
# In the background so that a stop asked of this script (a test's time-out)
# ends the command and the server too.
"$@" &
cpid=$!
trap 'kill "$cpid" 2>/dev/null; exit 143' TERM INT HUP
wait "$cpid"
