#!/usr/bin/env bash
# Sets up the machine, builds everything and runs every test: first a normal
# optimised build, whose Debian package is then built and checked
# (check_package.sh), and a run of the real desktop program on a virtual X
# display (smoke_desktop.sh), then the unit tests again under AddressSanitizer and
# UndefinedBehaviorSanitizer, then a short smoke run of the fuzz target on its
# seed corpus (clang, libFuzzer).
#
# Environment: JOBS (parallel jobs), HARROW_SKIP_SANITIZERS=1 and
# HARROW_SKIP_FUZZ=1 skip those stages; HARROW_BUILD_DIR,
# HARROW_SANITIZE_BUILD_DIR and HARROW_FUZZ_BUILD_DIR move the build folders
# (build, build-sanitize, fuzz-build).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

export QT_QPA_PLATFORM=offscreen
JOBS=${JOBS:-$(nproc)}
BUILD_DIR=${HARROW_BUILD_DIR:-build}
SANITIZE_BUILD_DIR=${HARROW_SANITIZE_BUILD_DIR:-build-sanitize}
FUZZ_BUILD_DIR=${HARROW_FUZZ_BUILD_DIR:-fuzz-build}

cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$BUILD_DIR" -j"$JOBS"
(cd "$BUILD_DIR" && ctest --output-on-failure -j"$JOBS")
bash scripts/check_package.sh "$BUILD_DIR"
bash scripts/smoke_desktop.sh "$BUILD_DIR"

if [ "${HARROW_SKIP_SANITIZERS:-0}" != "1" ]; then
  export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
  export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/scripts/lsan.supp:print_suppressions=0}
  export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
  # -O1 with line tables: half the compile time of -O2 -g, and the sanitizers'
  # reports still name file and line.
  cmake -S . -B "$SANITIZE_BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" \
    -DHARROW_SANITIZE=ON -DHARROW_BUILD_BENCH=OFF >/dev/null
  cmake --build "$SANITIZE_BUILD_DIR" -j"$JOBS"
  (cd "$SANITIZE_BUILD_DIR" && ctest --output-on-failure -j"$JOBS")
fi

# A few seconds of fuzzing on the seed corpus: catches a target that no longer
# builds or crashes at once. Long runs are done by hand (fuzz/build.sh).
if [ "${HARROW_SKIP_FUZZ:-0}" != "1" ] && command -v "${CXX_FUZZ:-clang++}" >/dev/null; then
  JOBS=$JOBS bash fuzz/build.sh "$FUZZ_BUILD_DIR"
  smoke_corpus=$(mktemp -d)
  trap 'rm -rf "$smoke_corpus"' EXIT
  "$FUZZ_BUILD_DIR"/worksheet_file_fuzzer -max_total_time=15 -print_final_stats=1 \
    -artifact_prefix="$FUZZ_BUILD_DIR/" "$smoke_corpus" "$FUZZ_BUILD_DIR/corpus"
  "$FUZZ_BUILD_DIR"/raw_data_fuzzer -max_total_time=15 -print_final_stats=1 \
    -artifact_prefix="$FUZZ_BUILD_DIR/" "$(mktemp -d -p "$smoke_corpus")" "$FUZZ_BUILD_DIR/raw-corpus"
  "$FUZZ_BUILD_DIR"/cases_file_fuzzer -max_total_time=15 -print_final_stats=1 \
    -artifact_prefix="$FUZZ_BUILD_DIR/" "$(mktemp -d -p "$smoke_corpus")" "$FUZZ_BUILD_DIR/cases-corpus"
fi
