#!/usr/bin/env bash
# Instructions per main-menu draw, counted by callgrind in the menu benchmark: unlike times, the
# count does not change with the load on the machine, so it compares drawing changes exactly.
#   bench/menu_frame_ir.sh [build folder (default build)]
# Prints the instructions of one root draw (the whole frame, without the present) and the
# functions that cost the most of them by their own instructions.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
bench="$PWD/$build/bench/bench_menu_bench"
[ -x "$bench" ] || { echo "no $bench: build the bench_menu_bench target" >&2; exit 2; }
command -v valgrind >/dev/null || { echo "valgrind is not installed" >&2; exit 2; }
work=$(mktemp -d /tmp/reefpop_menu_ir_XXXXXX)
trap 'rm -rf "$work"' EXIT
(cd "$work" && valgrind --tool=callgrind --compress-strings=no --compress-pos=no \
    --callgrind-out-file="$work/callgrind.out" --toggle-collect='*BM_MainMenuDraw*' \
    "$bench" --benchmark_filter=BM_MainMenuDraw --benchmark_min_time=0.05 >/dev/null 2>"$work/log") ||
    { cat "$work/log" >&2; exit 1; }
# The calls from the benchmark loop to the root's draw, with their inclusive instructions.
awk '/^fn=/ { fn = substr($0, 4) }
     /^cfn=/ { cfn = substr($0, 5) }
     /^calls=/ { split($0, c, /[= ]/); want = (fn ~ /BM_MainMenuDraw/ && cfn == "Widget::Draw()"); n = c[2]; next }
     want { draws += n; ir += $2; want = 0 }
     END { if (draws == 0) { print "no draw was counted" > "/dev/stderr"; exit 1 }
           printf "main menu draw: %.2f M instructions per draw (%d draws counted)\n", ir / draws / 1e6, draws }' \
    "$work/callgrind.out"
callgrind_annotate "$work/callgrind.out" 2>/dev/null | sed -n '/file:function/,$p' | sed -n '2,11p'
