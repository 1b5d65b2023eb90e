#!/usr/bin/env bash
# Installs every Debian package that building, testing, benchmarking and
# running pxrun need. Quiet and quick when everything is already there.
set -euo pipefail

PACKAGES=(
  # toolchain
  g++ cmake ninja-build ccache pkg-config git
  # runner libraries
  libsdl2-dev libsdl2-image-dev zlib1g-dev nlohmann-json3-dev libsqlite3-dev
  # sound: sample decoding, MP3, MIDI synthesis and its General MIDI SoundFont
  libsndfile1-dev libmpg123-dev libfluidsynth-dev fluid-soundfont-gm
  # multiplayer sessions over UDP
  libenet-dev
  # system fonts: rendering, lookup, and faces for the common families
  libfreetype-dev libfontconfig-dev fonts-dejavu-core fonts-liberation2
  # calls into native libraries named by games
  libffi-dev
  # OpenGL through GLVND (libOpenGL for CMake's OpenGL::OpenGL, the GL
  # headers), EGL without a display, Mesa's software rasteriser
  libopengl-dev libgl-dev libegl-dev libgl1-mesa-dri
  # tests, benchmarks and fuzzing
  libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev
  # the reference interpreter of the interpreter benchmark
  liblua5.4-dev
  # independent PNG checkers for the image tests: pngcheck, and a decoder
  # written in Python
  pngcheck python3
  # an X server of its own for the desktop window tests, and the tools
  # that ask it about a window
  xvfb x11-utils
  # the Debian package: dpkg-shlibdeps finds the libraries it depends on
  dpkg-dev
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
