#!/usr/bin/env bash
# Sets up the machine, builds everything and runs every test: first a normal
# optimised build, then the unit tests again under AddressSanitizer and
# UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

export QT_QPA_PLATFORM=offscreen
JOBS=${JOBS:-$(nproc)}

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$JOBS"
(cd build && ctest --output-on-failure -j"$JOBS")

if [ "${HARROW_SKIP_SANITIZERS:-0}" != "1" ]; then
  export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
  export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/scripts/lsan.supp:print_suppressions=0}
  export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
  cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHARROW_SANITIZE=ON -DHARROW_BUILD_BENCH=OFF >/dev/null
  cmake --build build-sanitize -j"$JOBS"
  (cd build-sanitize && ctest --output-on-failure -j"$JOBS")
fi
