#!/usr/bin/env bash
# Starts the real game on the deployment screen and checks it runs cleanly;
# then asks for a battle with a fleet over the scenario's limits and checks
# that it is refused with the reason instead of fought.
set -u
game="$1"
user=$(mktemp -d)
trap 'rm -rf "$user"' EXIT
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
echo "deployment smoke run passed"
