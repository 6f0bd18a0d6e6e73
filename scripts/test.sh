#!/usr/bin/env bash
# Installs, builds (sanitizer preset) and runs the whole test suite under one
# X server, started here when there is no display.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
# Formatting is part of the checks: every tracked source as .clang-format says.
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
fi
# The fuzz targets need clang's libFuzzer; the asan tree's CTest runs them.
# Built first, so that the asan tree finds them when it is configured.
if [ -d fuzz ]; then
  cmake --preset fuzz >/dev/null
  cmake --build --preset fuzz
fi
cmake --preset asan >/dev/null
cmake --build --preset asan
# The Debian package, from a release build of just the programs it holds; the
# CTest test packaging.deb checks it.
scripts/package.sh --no-check
export LIBGL_ALWAYS_SOFTWARE=1
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1920x1080x24" ctest --preset asan "$@"
fi
exec ctest --preset asan "$@"
