#!/usr/bin/env bash
# Installs the build into a staging folder as a distribution package would (a prefix plus
# DESTDIR), then checks the tree and validates its desktop entry and AppStream metainfo.
set -euo pipefail
build=$1
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT

DESTDIR="$stage" cmake --install "$build" --prefix /usr >/dev/null
root="$stage/usr"
id=io.github.reefpop.Reefpop

fail() { echo "install tree: $*" >&2; exit 1; }
expect_file() { [ -f "$root/$1" ] || fail "missing $1"; }

for f in bin/reefpop share/reefpop/reefpop share/reefpop/game.ini share/reefpop/controls.ini \
         share/reefpop/DATA/english.ini share/applications/$id.desktop \
         share/metainfo/$id.metainfo.xml share/icons/hicolor/scalable/apps/$id.svg; do
  expect_file "$f"
done
for size in 16 32 48 64 128 256; do
  icon=share/icons/hicolor/${size}x${size}/apps/$id.png
  expect_file "$icon"
  identify -format '%wx%h' "$root/$icon" | grep -qx "${size}x${size}" || fail "$icon is not ${size}x${size}"
done
[ -x "$root/bin/reefpop" ] && [ -x "$root/share/reefpop/reefpop" ] || fail "programs are not executable"
# The launcher finds the game folder relative to itself, so it works wherever the tree lands.
grep -q '../share/reefpop' "$root/bin/reefpop" || fail "bin/reefpop does not point at share/reefpop"
if grep -rlq "$stage" "$root/bin" "$root/share/applications"; then fail "the staging folder leaked into the tree"; fi
for f in gerr.log highscore.ini; do
  [ ! -e "$root/share/reefpop/$f" ] || fail "a developer's $f was installed"
done

desktop-file-validate "$root/share/applications/$id.desktop"
appstreamcli validate --no-net "$root/share/metainfo/$id.metainfo.xml" >/dev/null
echo "install tree: ok"
