#!/usr/bin/env bash
# Makes docs/screenshot.png from the real program on the demo device, under a
# private X server with Mesa's software OpenGL.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake --preset release >/dev/null
cmake --build --preset release --target zelvo-screenshot
mkdir -p docs
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
LIBGL_ALWAYS_SOFTWARE=1 QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x800x24" \
  build/release/tools/screenshot/zelvo-screenshot "$tmp/zelvo.ini" docs/screenshot.png
echo "docs/screenshot.png"
