#!/usr/bin/env bash
# Monkey run: the sanitizer build of the real game, in a copy of its game folder under Xvfb, gets
# seeded random input (keys, clicks, drags, mouse moves, focus loss) for a while and is then
# closed with F10, Alt+F4 or the window manager's close request. It fails on a crash, on any
# sanitizer report (stderr or gerr.log), and on a hang: a window-manager ping the game leaves
# unanswered, or a game that does not end after being closed. A game that ends by itself (its
# exit screen) is checked the same way and started again in the same folder.
#
#   tests/monkey/monkey.sh [--seed N] [--seconds S] [--build DIR]
#
# The seed and the input log are printed on failure; --seed N replays the same input.
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
source_root=$(cd "$here/../.." && pwd)
seed=$(( $(date +%s) % 1000000 ))
seconds=150
build=$source_root/build-asan
while [ $# -gt 0 ]; do
  case "$1" in
    --seed) seed=$2; shift 2 ;;
    --seconds) seconds=$2; shift 2 ;;
    --build) build=$(cd "$2" && pwd); shift 2 ;;
    *) sed -n '2,12p' "$0"; exit 2 ;;
  esac
done
helper=$build/tests/monkey/monkey_window
for needed in "$build/game/reefpop" "$helper"; do
  [ -x "$needed" ] || { echo "monkey: $needed is missing (build the asan preset first)" >&2; exit 2; }
done
for tool in Xvfb xdotool xwininfo; do
  command -v "$tool" >/dev/null || { echo "monkey: $tool is missing (./setup.sh installs it)" >&2; exit 2; }
done

work=$(mktemp -d /tmp/reefpop-monkey.XXXXXX)
cp -r "$build/game" "$work/game"
inputs=$work/input.log
: >"$inputs"
start_time=$SECONDS
runs=0
game_pid=""
xvfb_pid=""
wid=""

# Only what this run started, by its process id; the input generator ends with its pipe.
stop_started() {
  [ -n "$game_pid" ] && kill -KILL "$game_pid" 2>/dev/null && wait "$game_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
}
trap stop_started EXIT

note() { echo "$((SECONDS - start_time))s $*" >>"$inputs"; }

fail() {
  echo "monkey: FAILED (seed $seed): $*"
  echo "monkey: replay with: tests/monkey/monkey.sh --seed $seed --seconds $seconds"
  echo "---- last input (full log: $inputs) ----"
  tail -n 60 "$inputs"
  echo "---- game stderr ($work/game.err) ----"
  grep -v '^$' "$work/game.err" | head -n 80
  [ -f "$work/game/gerr.log" ] && { echo "---- gerr.log ----"; tail -n 20 "$work/game/gerr.log"; }
  exit 1
}

sanitizer_report() {
  grep -lE 'ERROR: (Address|Leak)Sanitizer|runtime error:|SUMMARY: [A-Za-z]+Sanitizer' \
    "$work/game.err" "$work/game/gerr.log" 2>/dev/null
}

# The game's exit status and its logs, once it has ended.
check_ended() {
  wait "$game_pid"
  local status=$?
  game_pid=""
  [ -n "$(sanitizer_report)" ] && fail "sanitizer report after $1"
  [ "$status" -eq 0 ] || fail "the game ended with status $status after $1"
  note "ended ($1)"
}

start_game() {
  (cd "$work/game" &&
    ASAN_OPTIONS=detect_leaks=1:halt_on_error=1 LSAN_OPTIONS=suppressions=$here/lsan.supp \
      UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy exec ./reefpop) >>"$work/game.out" 2>>"$work/game.err" &
  game_pid=$!
  runs=$((runs + 1))
  note "started game $game_pid"
  wid=""
  for _ in $(seq 1 1500); do
    kill -0 "$game_pid" 2>/dev/null || check_ended "start-up"
    [ -z "$game_pid" ] && fail "the game ended during start-up"
    wid=$(xdotool search --onlyvisible --pid "$game_pid" 2>/dev/null | head -n 1)
    [ -n "$wid" ] && break
    sleep 0.2
  done
  [ -n "$wid" ] || fail "no game window after 300 s"
  xdotool windowfocus "$wid" 2>/dev/null
  read_geometry
}

read_geometry() {
  local WIDTH=640 HEIGHT=480
  eval "$(xdotool getwindowgeometry --shell "$wid" 2>/dev/null | grep -E '^(WIDTH|HEIGHT)=')"
  width=$WIDTH
  height=$HEIGHT
}

# Thousandths of the window to pixels in it: ax, ay (no subshell: every action costs processes).
at() {
  ax=$(($1 * width / 1000))
  ay=$(($2 * height / 1000))
}

# A game that leaves the ping unanswered hangs; one whose window is gone is on its way out (its
# exit screen closed it) and must end within a minute.
watch_game() {
  "$helper" ping "$wid" 20000
  local answer=$?
  [ "$answer" -eq 0 ] && return 0
  [ "$answer" -eq 3 ] || fail "the game stopped answering (hang)"
  for _ in $(seq 1 600); do
    kill -0 "$game_pid" 2>/dev/null || return 0
    sleep 0.1
  done
  fail "the game closed its window but did not end within 60 s (hang)"
}

# Milliseconds as sleep's seconds.
seconds_of() { printf -v secs '%d.%03d' $(($1 / 1000)) $(($1 % 1000)); }

# One xdotool call per action, which ends with a short breath so the game sees separate events.
act() {
  local action=$1
  shift
  local -a cmd
  case "$action" in
    move) at "$1" "$2"; cmd=(mousemove --window "$wid" -- "$ax" "$ay") ;;
    click) at "$2" "$3"; cmd=(mousemove --window "$wid" -- "$ax" "$ay" click "$1") ;;
    double) at "$1" "$2"; cmd=(mousemove --window "$wid" -- "$ax" "$ay" click --repeat 2 --delay 80 1) ;;
    drag)
      at "$2" "$3"; cmd=(mousemove --window "$wid" -- "$ax" "$ay" mousedown "$1" sleep 0.05)
      at $((($2 + $4) / 2)) $((($3 + $5) / 2)); cmd+=(mousemove --window "$wid" -- "$ax" "$ay" sleep 0.05)
      at "$4" "$5"; cmd+=(mousemove --window "$wid" -- "$ax" "$ay" mouseup "$1") ;;
    wheel) cmd=(click 5); [ "$1" = up ] && cmd=(click 4) ;;
    key) cmd=(key "$1") ;;
    hold) seconds_of "$2"; cmd=(keydown "$1" sleep "$secs" keyup "$1") ;;
    focus-loss) seconds_of "$1"; cmd=(windowfocus "$root_window" sleep "$secs" windowfocus "$wid") ;;
    pause) seconds_of "$1"; cmd=(sleep "$secs") ;;
    *) return ;;
  esac
  xdotool "${cmd[@]}" sleep 0.02
}

display_file=$work/display
Xvfb -displayfd 3 -noreset -screen 0 1024x768x24 -nolisten tcp 3>"$display_file" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 1 100); do [ -s "$display_file" ] && break; sleep 0.1; done
[ -s "$display_file" ] || fail "Xvfb did not start"
export DISPLAY=:$(head -n 1 "$display_file")
root_window=$(xwininfo -root | awk '/Window id:/ {print $4}')

echo "monkey: seed $seed, ${seconds}s of input, game folder $work/game"
start_game
count=0
while read -r action args; do
  [ $((SECONDS - start_time)) -ge "$seconds" ] && break
  if ! kill -0 "$game_pid" 2>/dev/null; then
    check_ended "its own exit"
    start_game
  fi
  note "$action $args"
  # shellcheck disable=SC2086
  act "$action" $args 2>>"$work/xdotool.err"
  count=$((count + 1))
  if [ $((count % 25)) -eq 0 ] && kill -0 "$game_pid" 2>/dev/null; then
    watch_game
    read_geometry
  fi
done < <("$here/monkey_input.sh" "$seed" 1000000)

# Close it: the ending is part of the seeded run.
kill -0 "$game_pid" 2>/dev/null && watch_game
if kill -0 "$game_pid" 2>/dev/null; then
  ending=$(( seed % 3 ))
  case $ending in
    0) note "close with F10"; xdotool windowfocus "$wid"; xdotool key F10 ;;
    1) note "close with Alt+F4"; xdotool windowfocus "$wid"; xdotool key alt+F4 ;;
    2) note "close by the window manager's request"; "$helper" close "$wid" ;;
  esac
  for _ in $(seq 1 600); do kill -0 "$game_pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$game_pid" 2>/dev/null && fail "the game did not end within 60 s of being closed (hang)"
  check_ended "being closed"
elif [ -n "$game_pid" ]; then
  check_ended "its own exit"
fi
[ -n "$(sanitizer_report)" ] && fail "sanitizer report"
echo "monkey: passed (seed $seed, $count actions, the game started $runs times)"
rm -rf "$work"
