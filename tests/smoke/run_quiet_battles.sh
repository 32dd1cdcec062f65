#!/usr/bin/env bash
# Battles of the real program with the screen transitions off
# (TRANSITIONS = 0), as a player may set them: survival1 starts, and the error
# log does not grow with the frames: a short and a long run log the same lines,
# none twice.
set -u
game="$1"
export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy
folders=("$(mktemp -d)")
trap 'rm -rf "${folders[@]}"' EXIT
. "$(dirname "$0")/own_home.sh"
own_home "${folders[0]}"

# Runs a battle; prints its error lines without their time stamps.
battle() {
    local user
    user=$(mktemp -d)
    folders+=("$user")
    printf '[config]\nTRANSITIONS = 0\n\n[race]\nrace = federation\n' >"$user/config.txt"
    "$game" --user-dir "$user" --battle "$1" --frames "$2" --frame-ms 30 >"$user/out.txt" 2>&1
    local code=$?
    if [ $code -ne 0 ]; then
        echo "the battle $1 of $2 frames exited with $code" >&2
        tail -20 "$user/out.txt" >&2
        return 1
    fi
    [ -f "$user/debug/errors.txt" ] && sed 's/^[^-]*- [^-]* - //' "$user/debug/errors.txt"
    return 0
}

for scenario in scenario1 survival1; do
    short=$(battle "$scenario" 20) || exit 1
    long=$(battle "$scenario" 150) || exit 1
    if [ "$short" != "$long" ]; then
        echo "$scenario: the error log grows with the frames"
        diff <(echo "$short") <(echo "$long")
        exit 1
    fi
    if [ -n "$(echo "$long" | sort | uniq -d)" ]; then
        echo "$scenario: an error line repeats:"
        echo "$long" | sort | uniq -c | sort -rn | head -5
        exit 1
    fi
    if echo "$long" | grep -q "TextNotInitialised\|survival\|wave\|enemy fleet"; then
        echo "$scenario: errors in a battle with transitions off:"
        echo "$long"
        exit 1
    fi
done
echo "quiet battles passed"
