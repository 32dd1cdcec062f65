#!/usr/bin/env bash
# Starts the real game with its logs' places taken by what a hostile player
# folder may hold: a link to a file outside it and a FIFO nobody reads, then
# the whole debug folder a link to a folder outside. Each run must start,
# play its frames and stop cleanly without writing through any of them (and
# without waiting on the FIFO), saying on standard error which log it went
# without. An empty sc.dat makes sure an error line is written.
set -u
game="$1"
user=$(mktemp -d)
outside=$(mktemp -d)
trap 'rm -rf "$user" "$outside"' EXIT
. "$(dirname "$0")/own_home.sh"
own_home "$user"
export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy
printf 'the player'"'"'s own text\n' >"$outside/victim.txt"
mkdir "$outside/victimdir"

fail() { echo "$1"; cat "$user/stderr.txt"; exit 1; }
run() {
    : >"$user/sc.dat"
    "$game" --user-dir "$user" --frames 60 2>"$user/stderr.txt"
    code=$?
    [ $code -eq 0 ] || fail "the game exited with $code"
    [ "$(cat "$outside/victim.txt")" = "the player's own text" ] || fail "the file outside was written"
    [ -z "$(ls -A "$outside/victimdir")" ] || fail "the folder outside was written into"
    grep -q "is empty (damaged)" "$user/stderr.txt" || fail "the error line did not reach standard error"
}
refused() {
    [ "$(grep -c "^Log refused, $1: $user/debug/$2; the game goes on without it$" "$user/stderr.txt")" = 1 ] ||
        fail "the refusal of $2 was not said once"
}

mkdir -p "$user/debug"
ln -s "$outside/victim.txt" "$user/debug/debug.txt"
mkfifo "$user/debug/errors.txt"
run
refused "a link" debug.txt
refused "not a regular file" errors.txt
[ -p "$user/debug/errors.txt" ] || fail "the FIFO was replaced"

rm -rf "$user/debug"
ln -s "$outside/victimdir" "$user/debug"
run
refused "its folder is a link" debug.txt
refused "its folder is a link" errors.txt
echo "hostile log places passed"
