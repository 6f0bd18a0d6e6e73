#!/usr/bin/env bash
# Installs, builds and starts the program (it starts on the demo device, no
# scope needed).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake --preset release >/dev/null
cmake --build --preset release
if [ -x build/release/src/app/zelvo ]; then
  exec build/release/src/app/zelvo
fi
echo "The Zelvo program is not built yet: the main window does not exist so far."
