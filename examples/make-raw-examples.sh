#!/usr/bin/env bash
# Remakes examples/raw-controls.sav and examples/raw-controls.dta from
# examples/raw-controls.csv with libreadstat's writer (see
# make_raw_examples.cpp). Uses the build folder build/ (or $1).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cmake -S . -B "$build" >/dev/null
cmake --build "$build" --target make_raw_examples
"$build"/tests/analysis/make_raw_examples examples
