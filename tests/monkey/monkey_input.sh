#!/usr/bin/env bash
# Seeded random input for the monkey run, one action per line; the same seed always gives the
# same actions (its own generator, so no shell or awk version changes them).
#   monkey_input.sh SEED COUNT
# Actions (positions in thousandths of the window's width and height, a little beyond its edges
# now and then):
#   move X Y | click BUTTON X Y | double X Y | drag BUTTON X1 Y1 X2 Y2 | wheel up|down
#   key NAME | hold NAME MS | focus-loss MS | pause MS
set -euo pipefail
[ $# -eq 2 ] || { echo "usage: $0 SEED COUNT" >&2; exit 2; }
state=$(($1 & 0x7fffffff))
count=$2

# r = the next number in 0 .. $1-1.
next() {
  state=$(((state * 1103515245 + 12345) & 0x7fffffff))
  r=$(((state >> 8) % $1))
}
# p = a position in thousandths: mostly inside the window, sometimes just outside it.
position() {
  next 100
  if [ "$r" -lt 94 ]; then next 1000; p=$r; else next 120; p=$((r < 60 ? r - 60 : 1000 + r - 60)); fi
}
point() { position; px=$p; position; py=$p; }

# The keys the game binds by default (arrows, space, Ctrl), the ones its screens read (Enter,
# Escape, P, Pause, paging keys, editing keys) and others. F10 and Alt are left to the end of
# the run, which closes the game with them.
bound=(Left Right Up Down space Control_L)
screens=(Return Escape p P Pause Home End Prior Next BackSpace Delete Tab KP_Enter)
others=(a b c x y z 0 1 9 comma period minus F1 F2 F5 F11 F12 Shift_L Insert Menu)

for ((i = 0; i < count; i++)); do
  next 100
  if [ "$r" -lt 24 ]; then
    point; echo "move $px $py"
  elif [ "$r" -lt 42 ]; then
    next 10; b=$((r < 8 ? 1 : r < 9 ? 3 : 2)); point; echo "click $b $px $py"
  elif [ "$r" -lt 45 ]; then
    point; echo "double $px $py"
  elif [ "$r" -lt 52 ]; then
    next 5; b=$((r < 4 ? 1 : 3)); point; x1=$px y1=$py; point; echo "drag $b $x1 $y1 $px $py"
  elif [ "$r" -lt 54 ]; then
    next 2; if [ "$r" -eq 0 ]; then echo "wheel up"; else echo "wheel down"; fi
  elif [ "$r" -lt 72 ]; then
    next ${#bound[@]}; echo "key ${bound[$r]}"
  elif [ "$r" -lt 88 ]; then
    next ${#screens[@]}; echo "key ${screens[$r]}"
  elif [ "$r" -lt 93 ]; then
    next ${#others[@]}; echo "key ${others[$r]}"
  elif [ "$r" -lt 96 ]; then
    next ${#bound[@]}; k=${bound[$r]}; next 800; echo "hold $k $((r + 50))"
  elif [ "$r" -lt 97 ]; then
    next 1500; echo "focus-loss $((r + 100))"
  else
    next 700; echo "pause $((r + 100))"
  fi
done
