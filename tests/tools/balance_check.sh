#!/usr/bin/env bash
# The sample deployment against our AI fleets over a few fixed seeds: easy is
# mostly won, medium is a fair fight, hard mostly lost, and every battle ends
# by itself. A data change that breaks the balance fails here. The rows run
# side by side; each prints its line when all are done.
set -u
runner="$1"
data="$2"
seeds=10
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
row() { # scenario difficulty min-wins max-wins
    local wins=0 s result code status=0
    for s in $(seq 1 $seeds); do
        result=$("$runner" --data "$data" --scenario "$1" --difficulty "$2" --seed "$s" \
            --fleet "$data/sample deployment/deployed.txt" --max-seconds 600 2>"$out/$1-$2-$s.err")
        # A run that does not end cleanly (a sanitizer report, leaks included) fails too.
        code=$?
        if [ $code -ne 0 ]; then
            echo "$1 $2 seed $s exited with $code:"
            tail -n 40 "$out/$1-$2-$s.err"
            status=1
        fi
        case "$(echo "$result" | awk '/^outcome/{print $2}')" in
            won) wins=$((wins + 1)) ;;
            lost | stalemate*) ;;
            *) echo "$1 $2 seed $s did not end: $result"; status=1 ;;
        esac
    done
    echo "$1 $2: won $wins of $seeds (expected $3 to $4)"
    if [ "$wins" -lt "$3" ] || [ "$wins" -gt "$4" ]; then status=1; fi
    return $status
}
n=0
for scenario in scenario1 scenario2 nebula1 supply1; do
    row "$scenario" easy 7 "$seeds" > "$out/$n.txt" & n=$((n + 1))
    row "$scenario" medium 3 7 > "$out/$n.txt" & n=$((n + 1))
    row "$scenario" hard 0 3 > "$out/$n.txt" & n=$((n + 1))
done
row tutorial1 easy "$seeds" "$seeds" > "$out/$n.txt" & n=$((n + 1))
status=0
for pid in $(jobs -p); do
    wait "$pid" || status=1
done
for i in $(seq 0 $((n - 1))); do cat "$out/$i.txt"; done
exit $status
