#!/usr/bin/env bash
# Starts the game with OpenAL's wave-file output in place of a sound card and
# checks that the main menu's title music was heard.
set -u
game="$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
. "$(dirname "$0")/own_home.sh"
own_home "$work"
printf '[general]\ndrivers=wave\n[wave]\nfile=%s/out.wav\n' "$work" > "$work/alsoft.conf"
env -u ALSOFT_DRIVERS ALSOFT_CONF="$work/alsoft.conf" SDL_VIDEODRIVER=offscreen \
    "$game" --user-dir "$work/user" --frames 1500
code=$?
[ $code -eq 0 ] || { echo "the game exited with $code"; exit 1; }
[ -s "$work/out.wav" ] || { echo "no sound was written"; exit 1; }
rms=$(sox "$work/out.wav" -n stat 2>&1 | awk '/RMS +amplitude/ {print $3}')
echo "music RMS amplitude: $rms"
awk -v r="$rms" 'BEGIN { exit !(r > 0.005) }' || { echo "the written sound is silent"; exit 1; }
echo "music smoke run passed"
