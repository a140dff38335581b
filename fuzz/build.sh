#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into fuzz-build/ (or $1) and
# prepares the seed corpus from the example worksheets. Run a target with
#   fuzz-build/worksheet_file_fuzzer -max_total_time=300 fuzz-build/corpus
#   fuzz-build/raw_data_fuzzer -max_total_time=300 fuzz-build/raw-corpus
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../fuzz-build}
JOBS=${JOBS:-2}

cmake -S "$here" -B "$build" -DCMAKE_CXX_COMPILER="${CXX_FUZZ:-clang++}" >/dev/null
cmake --build "$build" --target worksheet_file_fuzzer raw_data_fuzzer cases_file_fuzzer -j"$JOBS"

mkdir -p "$build/corpus"
cp "$here"/../examples/*.txt "$build/corpus/"
cp "$here"/seeds/* "$build/corpus/" 2>/dev/null || true

# Raw control data: the example CSV, SPSS and Stata files and the cases files.
mkdir -p "$build/raw-corpus"
cp "$here"/../examples/*.csv "$here"/../examples/*.sav "$here"/../examples/*.dta "$build/raw-corpus/"

# Cases-file inputs: variable names, a file name, then the file's text.
mkdir -p "$build/cases-corpus"
cp "$here"/seeds/cases/* "$build/cases-corpus/"
