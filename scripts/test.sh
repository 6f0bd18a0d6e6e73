#!/usr/bin/env bash
# Installs, builds (sanitizer preset) and runs the whole test suite under one
# X server, started here when there is no display.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake --preset asan >/dev/null
cmake --build --preset asan
# The fuzz targets need clang's libFuzzer; the asan tree's CTest runs them.
if [ -d fuzz ]; then
  cmake --preset fuzz >/dev/null
  cmake --build --preset fuzz
fi
export LIBGL_ALWAYS_SOFTWARE=1
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1920x1080x24" ctest --preset asan "$@"
fi
exec ctest --preset asan "$@"
