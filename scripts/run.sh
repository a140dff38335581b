#!/usr/bin/env bash
# Sets up the machine, builds the program and runs the main job: the desktop
# program where a display exists, otherwise the command-line analysis of the
# bundled worked example.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -x build/desktop/harrow ]; then
  exec build/desktop/harrow
else
  exec build/cli/harrow-cli examples/worked-example.txt
fi
