#!/bin/bash
# Two battle benchmark binaries, run by turns on one core, so that the
# machine's drift falls on both alike. Prints each binary's values of
# battle_cpu_us (the battle's own CPU per frame, in us), its minimum and
# its median.
#   bench/interleave.sh OLD_BINARY NEW_BINARY [ROUNDS] [SHIPS_PER_SIDE]
# Run it from a build folder (the benchmark finds its data there). CORE
# picks the core (default 5); EXTRA_ENV_B adds environment to the second
# binary only (e.g. EXTRA_ENV_B=QLM_LARGE_PAGES=0 with one binary twice).
# Only the runs' own lines count: the aggregate lines (a name ending in
# _mean, _median, _stddev or _cv) are left out by their name, as every line
# carries counters such as draws_median.
# SAME=1 measures the same 60 frames of a fresh battle REPS times (default
# 5) a round instead of 0.7 s of a running one: each value is then the
# same work, so the minimum is the quietest the host allowed.
set -u
A=$1; B=$2; ROUNDS=${3:-10}; N=${4:-500}; CORE=${CORE:-5}; SAME=${SAME:-0}; REPS=${REPS:-5}
if [ "$SAME" = 1 ]; then
    args=(--benchmark_filter="BM_BattleFrame60/$N/1/" --benchmark_repetitions="$REPS")
else
    args=(--benchmark_filter="BM_BattleFrame/$N/1\$" --benchmark_min_time=0.7)
fi
for round in $(seq "$ROUNDS"); do
    for which in A B; do
        extra=""
        [ "$which" = B ] && extra=${EXTRA_ENV_B:-}
        bin=${!which}
        env $extra ALSOFT_DRIVERS=null SDL_AUDIODRIVER=dummy taskset -c "$CORE" "$bin" "${args[@]}" 2>/dev/null |
            awk '$1 !~ /_(mean|median|stddev|cv)$/' | grep -o 'battle_cpu_us=[0-9.k]*' |
            sed 's/battle_cpu_us=//; s/k$/e3/' | sed "s/^/$which /"
    done
done | sort -k1,1 -k2,2g | awk '{ v[$1, ++n[$1]] = int($2 + 0) }
    END { for (k in n) { line = ""; for (i = 1; i <= n[k]; i++) line = line " " v[k, i]
          print k, "min", v[k, 1], "median", v[k, int((n[k] + 1) / 2)], "values", line } }' | sort
