#!/usr/bin/env bash
# Makes the pictures of the README (docs/screenshot.png) and of the user
# manual (docs/manual/images/*.png) from the real program, under a private X
# server with Mesa's software OpenGL: the windows on the demo device, and
# connected to the in-process scope simulator for the scenes that need a
# scope. The build then copies the manual's pictures beside its page.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake --preset release >/dev/null
cmake --build --preset release --target zelvo-screenshot
mkdir -p docs/manual/images
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
shoot() { # shoot OUT.png SCENE
  rm -f "$tmp/zelvo.ini" # the defaults: a scene's choices (the spectrum) stay with it
  LIBGL_ALWAYS_SOFTWARE=1 QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x800x24" \
    build/release/tools/screenshot/zelvo-screenshot "$tmp/zelvo.ini" "$1" "$2"
  echo "$1"
}
shoot docs/screenshot.png spectrum
for scene in main connect-menu value-menu spectrum xy reference wifi-dialog usb-dialog about connected wifi-settings \
  calibration-warning calibrating capture replay; do
  shoot "docs/manual/images/$scene.png" "$scene"
done
