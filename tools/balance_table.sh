#!/usr/bin/env bash
# The rows of the balance table in docs/balance.md: the sample deployment
# against every scenario's AI fleets, wins per difficulty over SEEDS seeds and
# the longest battle. A battle that does not end is named on its own line.
# Usage: balance_table.sh RUNNER DATA [SEEDS]
set -u
runner="$1"
data="$2"
seeds="${3:-20}"
for scenario in scenario1 scenario2 nebula1 supply1 tutorial1; do
    line="| $scenario"
    longest=0
    for difficulty in easy medium hard; do
        wins=0
        for s in $(seq 1 "$seeds"); do
            out=$("$runner" --data "$data" --scenario "$scenario" --difficulty "$difficulty" --seed "$s" \
                --fleet "$data/sample deployment/deployed.txt" --max-seconds 600 2>/dev/null)
            outcome=$(echo "$out" | awk '/^outcome/{print $2}')
            seconds=$(echo "$out" | awk '/^battle time/{print int($3)}')
            case "$outcome" in
                won) wins=$((wins + 1)) ;;
                lost | stalemate*) ;;
                *) echo "$scenario $difficulty seed $s did not end: $outcome" ;;
            esac
            if [ "${seconds:-0}" -gt "$longest" ]; then longest=$seconds; fi
        done
        line="$line | $wins / $seeds"
    done
    echo "$line | $longest s |"
done
