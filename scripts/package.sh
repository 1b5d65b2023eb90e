#!/usr/bin/env bash
# Builds pxrun and pxpack for release and makes the Debian package
# build-package/pxrun_VERSION_amd64.deb, then checks what it holds.
#   scripts/package.sh            build and check the package
#   scripts/package.sh --install  also install it with apt-get, play a game
#                                 headless from /usr/bin and remove it again
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

BUILD=${BUILD_DIR:-build-package}
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$BUILD" --target pxrun pxpack
(cd "$BUILD" && cpack -G DEB >/dev/null)
DEB=$(ls "$BUILD"/pxrun_*_amd64.deb)
echo "Package: $DEB"

dpkg-deb --info "$DEB" | sed -n '/Package:/,$p'
CONTENTS=$(dpkg-deb --contents "$DEB")
for f in ./usr/bin/pxrun ./usr/bin/pxpack ./usr/share/applications/pxrun.desktop \
  ./usr/share/mime/packages/pxrun.xml ./usr/share/icons/hicolor/256x256/apps/pxrun.png \
  ./usr/share/man/man1/pxrun.1 ./usr/share/man/man1/pxpack.1 \
  ./usr/share/bash-completion/completions/pxrun; do
  grep -q " $f\$" <<<"$CONTENTS" || { echo "missing from the package: $f" >&2; exit 1; }
done
echo "Contents: every expected file is there."

if [ "${1:-}" = "--install" ]; then
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  $SUDO apt-get install -y -qq "./$DEB" >/dev/null
  WORK=$(mktemp -d)
  trap 'rm -rf "$WORK"' EXIT
  /usr/bin/pxpack games/demo -o "$WORK/demo.pxg"
  (cd "$WORK" && SDL_AUDIODRIVER=dummy /usr/bin/pxrun --headless --max-steps 60 demo.pxg >/dev/null)
  /usr/bin/pxrun --version
  $SUDO apt-get remove -y -qq pxrun >/dev/null
  echo "Installed, played the demo headless from /usr/bin, removed."
fi
