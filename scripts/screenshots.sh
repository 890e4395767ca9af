#!/usr/bin/env bash
# Builds the setup form's preview program and photographs both pages of the form under Wine on a
# virtual display: build/screenshots/setup_form_licence.png and setup_form_settings.png.
#   VELMORA_SCREENSHOT_BUILD  cross build folder to use (default build/screenshots-win)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VELMORA_SCREENSHOT_BUILD:-$root/build/screenshots-win}
out=$root/build/screenshots
mkdir -p "$out"

if [[ ! -f $build/CMakeCache.txt ]]; then
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null
fi
cmake --build "$build" --target setup_form_preview -j2 >/dev/null
preview=$build/setupform/setup_form_preview.exe

source "$root/scripts/wine-env.sh"
wine_env_start "${VELMORA_WINE_DIR}/prefix-screenshots"
trap wine_env_stop EXIT

shoot() {  # page-name [argument]
  local name=$1 argument=${2:-} pid geometry
  LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8 wine "$preview" $argument </dev/null >/dev/null 2>&1 &
  pid=$!
  for _ in $(seq 120); do
    xwininfo -name Velmora >/dev/null 2>&1 && break
    sleep 0.5
  done
  sleep 4
  geometry=$(xwininfo -name Velmora | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF}
    /Width:/{w=$NF} /Height:/{h=$NF} END{printf "%dx%d+%d+%d", w, h, x, y}')
  import -window root -crop "$geometry" +repage "$out/setup_form_$name.png"
  kill "$pid" 2>/dev/null || true
  for _ in $(seq 40); do
    xwininfo -name Velmora >/dev/null 2>&1 || break
    sleep 0.5
  done
}

shoot licence
shoot settings settings
echo "screenshots in $out"
