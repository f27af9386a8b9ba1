#!/usr/bin/env bash
# Balance of the rule files as the greedy bot plays them: every mode at every difficulty over a
# few seeds, each run going on through the level-up screen until a defeat or the last level.
#   bench/balance.sh [game folder (default build/game)] [levels (default 15)] [seeds (default 5)]
# Prints one row per mode and difficulty: levels won per seed, their mean, the mean seconds of
# level time per won level, and the mean final score. JOBS (default 2) runs that many at once;
# MODES (default "0 1 2") picks the modes.
set -euo pipefail

game=$(cd "${1:-build/game}" && pwd)
levels=${2:-15}
seeds=${3:-5}
jobs=${JOBS:-2}
modes=${MODES:-0 1 2}
results=$(mktemp -d)
trap 'rm -rf "$results"' EXIT

for mode in $modes; do
    for difficulty in -1 0 1; do
        for seed in $(seq 1 "$seeds"); do echo "$mode $difficulty $seed"; done
    done
done | xargs -P "$jobs" -L 1 sh -c '
    cd "$0" && ./reefpop-sim --mode "$3" --difficulty "$4" --seed "$5" --bot greedy --levels "$1" 2>/dev/null |
        grep -v "^settle" > "$2/$3_$4_$5"' "$game" "$levels" "$results"

names=(arcade puzzle panic)
printf '| mode | difficulty | levels won per seed | mean | s per won level | mean score |\n'
printf '|---|---|---|---|---|---|\n'
for mode in $modes; do
    for difficulty in -1 0 1; do
        for seed in $(seq 1 "$seeds"); do cat "$results/${mode}_${difficulty}_$seed"; done > "$results/row"
        awk -v name="${names[$mode]}" -v difficulty="$difficulty" -v seeds="$seeds" '
            /^won / { split($3, t, "="); wonTime += t[2]; wonLevels++ }
            /^summary / { split($4, l, "="); split($5, s, "="); perSeed = perSeed " " l[2]; levels += l[2]; score += s[2] }
            END {
                printf "| %s | %d |%s | %.1f | %s | %.0f |\n", name, difficulty, perSeed, levels / seeds,
                    wonLevels ? sprintf("%.0f", wonTime / wonLevels / 1000) : "-", score / seeds
            }' "$results/row"
    done
done
