#!/usr/bin/env bash
# Installs what is needed, builds pxrun and pxpack, packs the demo game and
# plays it: in a window when a display is there, otherwise headless.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

BUILD=${BUILD_DIR:-build}
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUILD" --target pxrun pxpack
"$BUILD/pxpack" games/demo -o "$BUILD/demo.pxg"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec "$BUILD/pxrun" "$BUILD/demo.pxg" "$@"
else
  echo "No display found: playing headless."
  exec "$BUILD/pxrun" --headless "$BUILD/demo.pxg" "$@"
fi
