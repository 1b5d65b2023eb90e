#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs one for a given time:
#   fuzz/run.sh [SECONDS] [TARGET]     (defaults: 60 seconds, loader)
# Inputs that crash are written to fuzz/crashes/; keep each one, once fixed,
# in fuzz/regressions/TARGET/ so the test suite replays it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

SECONDS_TO_RUN=${1:-60}
TARGET=${2:-loader}
BUILD=${BUILD_DIR:-build-fuzz}
CC=clang CXX=clang++ cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPXRUN_FUZZ=ON >/dev/null
cmake --build "$BUILD" --target "fuzz_$TARGET" make_seeds

# Seeds: what make_seeds writes for the target (game files made by the
# writer), the hand-written seeds in fuzz/seeds/TARGET/, and every kept
# regression input.
WORK=fuzz/corpus-work/$TARGET
SEEDS=$BUILD/seeds/$TARGET
rm -rf "$SEEDS"
mkdir -p "$WORK" "$SEEDS" fuzz/crashes
"$BUILD/make_seeds" "$TARGET" "$SEEDS"
for d in "fuzz/seeds/$TARGET" "fuzz/regressions/$TARGET"; do
  if [ -d "$d" ]; then cp "$d"/* "$SEEDS"/ 2>/dev/null || true; fi
done

export ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
"$BUILD/fuzz_$TARGET" "$WORK" "$SEEDS" -max_total_time="$SECONDS_TO_RUN" \
  -max_len=65536 -rss_limit_mb=2048 -artifact_prefix=fuzz/crashes/ -print_final_stats=1
