#!/usr/bin/env bash
# Starts the real game on the deployment screen and checks it runs cleanly;
# then asks for a battle with a fleet over the scenario's limits and checks
# that it is refused with the reason instead of fought.
set -u
game="$1"
user=$(mktemp -d)
trap 'rm -rf "$user"' EXIT
. "$(dirname "$0")/own_home.sh"
own_home "$user"
export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy
"$game" --user-dir "$user" --frames 60 --deploy scenario1
code=$?
if [ $code -ne 0 ]; then echo "the deployment run exited with $code"; exit 1; fi
if [ -s "$user/debug/errors.txt" ]; then echo "errors.txt is not empty:"; cat "$user/debug/errors.txt"; exit 1; fi

"$game" --user-dir "$user" --frames 5 --deploy nosuchscenario 2>/dev/null && { echo "an unknown scenario was accepted"; exit 1; }
"$game" --user-dir "$user" --frames 5 --edit-ai-fleet scenario1 2>/dev/null && { echo "AI fleets were edited without -editor"; exit 1; }
"$game" --user-dir "$user" --frames 30 -editor --edit-ai-fleet scenario1 || { echo "the AI-fleet editor did not run"; exit 1; }

fleet="$user/big.txt"
for i in $(seq 0 24); do
    printf '[ship%d]\nshipid = %d\nname = S%d\ndesign = fed_sample_cruiser\npos = 300,%d\nquantity = 1\nangle = 90\n\n' \
        "$i" "$((i + 1))" "$i" "$((300 + i * 40))" >> "$fleet"
done
out=$("$game" --user-dir "$user" --frames 5 --battle scenario1 --fleet "$fleet" 2>&1)
code=$?
if [ $code -eq 0 ]; then echo "a fleet over the limits was fought"; exit 1; fi
echo "$out" | grep -q "over the limit" || { echo "no reason given: $out"; exit 1; }
# Relative paths name places seen from where the game was started, not from
# the install folder it moves to.
# The folder's name is this run's own, so that no earlier run's leftovers count.
start="$user/start"
mine="myfiles.$$"
mkdir -p "$start"
cp "$fleet" "$start/mine.txt"
out=$(cd "$start" && "$game" --user-dir "$mine" --frames 5 --battle scenario1 --fleet mine.txt 2>&1)
echo "$out" | grep -q "over the limit" || { echo "a relative --fleet was not read from the start folder: $out"; exit 1; }
[ -d "$start/$mine/debug" ] || { echo "a relative --user-dir was not made in the start folder"; ls "$start"; exit 1; }
if [ -e "$(dirname "$game")/$mine" ]; then
    rm -rf "${game%/*}/$mine"
    echo "a relative --user-dir was made in the install folder"
    exit 1
fi
echo "deployment smoke run passed"
