#!/usr/bin/env bash
# Sets up a fresh Debian machine for Reefpop and builds it.
#   ./setup.sh play       install what is missing, build, lay out build/game/ and start the game
#   ./setup.sh test       install what is missing, build, run every test
#   ./setup.sh sanitize   the whole test suite again under AddressSanitizer + UBSan
#   ./setup.sh fuzz [s]   build the libFuzzer targets and run each for s seconds (default 60)
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev
  libsdl2-dev libjpeg-dev libpng-dev zlib1g-dev libfreetype-dev libvorbis-dev
  libfluidsynth-dev fluid-soundfont-gm libcairo2-dev librsvg2-dev
  fonts-dejavu-core fonts-liberation fonts-comfortaa
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xdotool imagemagick x11-utils libx11-dev
  desktop-file-utils libglib2.0-bin appstream clang-format
)

install_packages() {
  local missing=()
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
}

build() {
  local preset=$1
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$(nproc)"
}

run_tests() {
  local preset=$1
  SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy \
    ctest --preset "$preset" -j "$(nproc)" --timeout 600
}

case "${1:-}" in
  play)
    install_packages
    build default
    cd build/game && exec ./reefpop
    ;;
  test)
    install_packages
    build default
    run_tests default
    ;;
  sanitize)
    install_packages
    build asan
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 run_tests asan
    ;;
  fuzz)
    install_packages
    build fuzz
    seconds=${2:-60}
    for f in build-fuzz/fuzz/fuzz_*; do
      name=$(basename "$f"); name=${name#fuzz_}
      mkdir -p "fuzz/corpus/$name" "build-fuzz/found/$name"
      echo "== $name for ${seconds}s"
      # Absolute folders: a target that enters a scratch folder still finds its inputs.
      "$f" -max_total_time="$seconds" -artifact_prefix="$PWD/build-fuzz/found/$name/" \
        "$PWD/build-fuzz/found/$name" "$PWD/fuzz/corpus/$name"
    done
    ;;
  *)
    sed -n '2,7p' "$0"
    exit 2
    ;;
esac
