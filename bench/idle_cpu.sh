#!/usr/bin/env bash
# Idle cost of the game: starts a copy of the built game folder under Xvfb, leaves it on the main
# menu and reports the CPU time it used over a measuring window (all threads, user + system) as a
# share of one core, then the system calls of a second window when strace is installed.
#   bench/idle_cpu.sh [build folder (default build)] [seconds (default 10)]
# Sound goes to SDL's dummy device unless SDL_AUDIODRIVER says otherwise; NICE=-15 runs the game at
# a raised priority (root only), for measuring on a loaded machine; SHOT=file.png saves a screenshot
# of what is measured; SCREEN=1920x1080 gives the virtual desktop another size (1280x1024 by
# default, where the window is 640x480; larger desktops get it enlarged); STRACE=0 leaves out the
# system-call window; RUNS=5 measures five times in fresh copies and adds the median of the runs
# (the share moves by half a point between runs on a shared machine).
set -euo pipefail

measure() {
    local game=$1 seconds=$2
    cd "$game"
    # NICE=-15 (as root) lets the game take a core at once on a loaded machine, so the figures
    # show what it asks for rather than the share a busy scheduler leaves it.
    nice -n "${NICE:-0}" ./reefpop &
    local pid=$!
    sleep 4 # start-up: the loading screen shows "press any key" once everything is loaded
    if ! kill -0 "$pid" 2>/dev/null; then echo "the game ended during start-up" >&2; return 1; fi
    # A key on the loading screen opens the title, a key on the title the main menu; then the
    # menu's opening transition ends. Keys go to the window under the pointer.
    xdotool mousemove 20 20
    xdotool key space
    sleep 1
    xdotool key space
    sleep 2
    if [ -n "${SHOT:-}" ]; then import -window root "$SHOT"; fi
    local ticks_per_second
    ticks_per_second=$(getconf CLK_TCK)
    # utime and stime are fields 14 and 15 of /proc/<pid>/stat (after the command in brackets).
    cpu_ticks() { sed 's/^.*) //' "/proc/$pid/stat" | awk '{print $12 + $13}'; }
    # On a busy machine a spinning loop only gets its share of the cores, so each thread's time
    # waiting in the run queue (from schedstat) is shown too: on a core plus waiting for one is
    # what it would use of an idle machine.
    threads() { for t in /proc/"$pid"/task/*; do echo "${t##*/} $(tr ' ' '_' < "$t/comm") $(cat "$t/schedstat")"; done | sort; }
    local before after
    threads > "$game/threads.before"
    before=$(cpu_ticks)
    sleep "$seconds"
    after=$(cpu_ticks)
    threads > "$game/threads.after"
    awk -v t=$((after - before)) -v hz="$ticks_per_second" -v s="$seconds" -v load="$(cut -d' ' -f1 /proc/loadavg)" \
        'BEGIN { printf "idle on the main menu: %.1f%% of one core (%.2f s CPU in %d s; load average %s)\n", 100 * t / hz / s, t / hz, s, load }'
    join "$game/threads.before" "$game/threads.after" |
        awk -v s="$seconds" '{ printf "  thread %-16s on a core %5.1f%%  waiting for one %5.1f%%\n", $2, ($7 - $3) / 1e7 / s, ($8 - $4) / 1e7 / s }'
    if [ "${STRACE:-1}" != 0 ] && command -v strace >/dev/null; then
        strace -c -f -p "$pid" -o "$game/strace.txt" &
        local tracer=$!
        sleep "$seconds"
        kill -INT "$tracer"
        wait "$tracer" || true
        awk -v s="$seconds" '/total$/ { printf "system calls: %d in %d s (%.0f per second)\n", $4, s, $4 / s }' \
            "$game/strace.txt"
        sed -n '1,12p' "$game/strace.txt"
    fi
    kill -TERM "$pid" # closes like the window's close button
    wait "$pid" || true
}
# Under Xvfb the script runs itself again to measure.
if [ "${1:-}" = "--measure" ]; then
    measure "$2" "$3"
    exit
fi

cd "$(dirname "$0")/.."
build=${1:-build}
seconds=${2:-10}
[ -x "$build/game/reefpop" ] || { echo "no game in $build/game: build the reefpop target" >&2; exit 2; }
work=$(mktemp -d /tmp/reefpop_idle_XXXXXX)
trap 'rm -rf "$work"' EXIT
shares=()
for ((run = 1; run <= ${RUNS:-1}; run++)); do
    rm -rf "$work/game" "$work/run"
    cp -r "$build/game" "$work/game" # settings as built, whatever the last run wrote back
    mkdir -m 700 "$work/run" # a single-instance lock of its own, whatever other copies run
    XDG_RUNTIME_DIR="$work/run" SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy} xvfb-run -a -s "-screen 0 ${SCREEN:-1280x1024}x24" \
        "$PWD/bench/idle_cpu.sh" --measure "$work/game" "$seconds" | tee "$work/out"
    shares+=("$(sed -n 's/^idle on the main menu: \([0-9.]*\)%.*/\1/p' "$work/out")")
done
if [ "${RUNS:-1}" -gt 1 ]; then
    printf '%s\n' "${shares[@]}" | sort -n |
        awk '{ v[NR] = $1 } END { m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2;
              printf "median of %d runs: %.1f%% of one core (runs from %.1f%% to %.1f%%)\n", NR, m, v[1], v[NR] }'
fi
