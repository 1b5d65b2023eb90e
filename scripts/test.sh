#!/usr/bin/env bash
# Installs what is needed, builds the test suite with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs it. ctest's summary ends the output.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

BUILD=${BUILD_DIR:-build-test}
WERROR=OFF
if [ "${CI:-}" = "true" ]; then WERROR=ON; fi
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DPXRUN_TESTS=ON -DPXRUN_SANITIZE=ON -DPXRUN_WERROR="$WERROR" >/dev/null
cmake --build "$BUILD"

# The leak checker's scan of dynamic TLS can crash on a stale slot left by
# libraries loaded at run time (the GL driver's), so it does not track it.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:halt_on_error=1:intercept_tls_get_addr=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# What system libraries keep until the process ends is not a leak of ours.
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp"
export SDL_AUDIODRIVER=dummy
cd "$BUILD"
ctest --output-on-failure -j "$(nproc)"
