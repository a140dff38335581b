#!/usr/bin/env bash
# Sets up the machine, builds the program and runs the main job: the desktop
# program where a display exists, otherwise the command-line analysis of the
# bundled worked example. The set-up and the build show only their errors;
# what follows is the program's own output.
set -euo pipefail
cd "$(dirname "$0")/.."

# Runs a step silently; when it fails, shows what it printed and stops.
quietly() {
  local log
  log=$(mktemp)
  if ! "$@" >"$log" 2>&1; then
    cat "$log" >&2
    rm -f "$log"
    echo "run: \"$*\" failed" >&2
    exit 1
  fi
  rm -f "$log"
}

echo "run: building Harrow (this takes a few minutes the first time)..." >&2
quietly bash scripts/setup.sh
quietly cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
quietly cmake --build build -j"$(nproc)"
echo "run: built." >&2

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -x build/desktop/harrow ]; then
  exec build/desktop/harrow
else
  exec build/cli/harrow-cli examples/worked-example.txt
fi
