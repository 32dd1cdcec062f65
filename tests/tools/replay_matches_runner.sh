#!/usr/bin/env bash
# The game's headless battle and qlm_battlerun fight the same battle from the
# same seed and frame time: over four scenarios, three difficulties and a
# seed of its own for each, the two print the same outcome, battle time and
# totals, line for line; and one battle at a 16 ms frame, on a seed where the
# two once fought apart. Each game starts in a home of its own, a fresh
# process, so nothing an earlier battle made can hide a difference.
set -u
game="$1"
runner="$2"
here="$(cd "$(dirname "$0")" && pwd)"
gamedir="$(dirname "$game")"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
. "$here/../smoke/own_home.sh"
pair() { # scenario difficulty seed [frame-ms]
    local ms="${4:-36}"
    local name="$1-$2-$3-$ms" home="$out/$1-$2-$3-$ms"
    # A fresh player folder: no lesson may hold the battle (the hard fleets'
    # ECM shock has one).
    mkdir -p "$home/user"
    "$runner" --data "$gamedir/data" --scenario "$1" --difficulty "$2" --seed "$3" --frame-ms "$ms" \
        --fleet "$gamedir/data/sample deployment/deployed.txt" --max-seconds 600 \
        >"$out/$name.runner" 2>"$out/$name.runner.err"
    (own_home "$home"
     ALSOFT_DRIVERS=null SDL_AUDIODRIVER=dummy "$game" --headless --user-dir "$home/user" \
         --battle "$1:$2" --seed "$3" --frame-ms "$ms" --frames 60000 \
         --fleet "$gamedir/data/sample deployment/deployed.txt" \
         >"$out/$name.game.all" 2>"$out/$name.game.err")
    sed -n '/^outcome:/,$p' "$out/$name.game.all" >"$out/$name.game"
    if ! grep -q '^outcome: \(won\|lost\|retreated\)' "$out/$name.runner"; then
        echo "$name: the runner's battle did not end"; cat "$out/$name.runner"; tail -20 "$out/$name.runner.err"
        return 1
    fi
    if ! diff "$out/$name.runner" "$out/$name.game" >"$out/$name.diff"; then
        echo "$name: the game fought another battle than the runner (< runner, > game):"
        cat "$out/$name.diff"; tail -20 "$out/$name.game.err"
        return 1
    fi
    echo "$name: $(head -1 "$out/$name.game") in both"
}
n=0 seed=201
for scenario in scenario1 scenario2 nebula1 supply1; do
    for difficulty in easy medium hard; do
        pair "$scenario" "$difficulty" "$seed" >"$out/$n.txt" 2>&1 &
        n=$((n + 1)) seed=$((seed + 1))
        # Two battles at a time: each game is a whole process under the sanitizers.
        [ $((n % 2)) -eq 0 ] && wait
    done
done
pair scenario2 medium 201 16 >"$out/$n.txt" 2>&1
n=$((n + 1))
wait
status=0
for i in $(seq 0 $((n - 1))); do
    cat "$out/$i.txt"
    grep -q "in both$" "$out/$i.txt" || status=1
done
exit $status
