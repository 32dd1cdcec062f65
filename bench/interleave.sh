#!/bin/bash
# Two battle benchmark binaries, run by turns on one core, so that the
# machine's drift falls on both alike. Prints each round's battle_cpu_us
# (the battle's own CPU per frame, in us) and each binary's minimum.
#   bench/interleave.sh OLD_BINARY NEW_BINARY [ROUNDS] [SHIPS_PER_SIDE]
# Run it from a build folder (the benchmark finds its data there). CORE
# picks the core (default 5); EXTRA_ENV_B adds environment to the second
# binary only (e.g. EXTRA_ENV_B=QLM_LARGE_PAGES=0 with one binary twice).
set -u
A=$1; B=$2; ROUNDS=${3:-10}; N=${4:-500}; CORE=${CORE:-5}
for round in $(seq "$ROUNDS"); do
    for which in A B; do
        extra=""
        [ "$which" = B ] && extra=${EXTRA_ENV_B:-}
        bin=${!which}
        value=$(env $extra ALSOFT_DRIVERS=null SDL_AUDIODRIVER=dummy taskset -c "$CORE" "$bin" \
            --benchmark_filter="BM_BattleFrame/$N/1\$" --benchmark_min_time=0.7 2>/dev/null |
            grep -o 'battle_cpu_us=[0-9.k]*' | sed 's/battle_cpu_us=//; s/k$/e3/')
        echo "$which ${value:-0}"
    done
done | awk '{ v = $2 + 0; rounds[$1] = rounds[$1] " " int(v); n[$1]++
              if (!($1 in low) || v < low[$1]) low[$1] = v }
            END { for (k in n) print k, "min", int(low[k]), "rounds", rounds[k] }' | sort
