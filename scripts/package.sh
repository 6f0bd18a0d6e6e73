#!/usr/bin/env bash
# Builds the Debian package from the release tree (only the programs it holds,
# not the tests and benchmarks), then checks it with scripts/check-package.sh.
#   scripts/package.sh             build and check
#   scripts/package.sh --no-check  build only (the test command's CTest run checks it)
set -euo pipefail
cd "$(dirname "$0")/.."
check=1
[ "${1:-}" = "--no-check" ] && check=0

# CPack installs through the "preinstall" target, which would otherwise build
# everything (tests and benchmarks too) first.
cmake --preset release -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
cmake --build --preset release --target zelvo_installed_programs
rm -f build/release/zelvo_*.deb
(cd build/release && cpack -G DEB >/dev/null)
deb=$(ls build/release/zelvo_*.deb)
echo "package: $deb"
[ "$check" -eq 1 ] && exec scripts/check-package.sh "$deb"
exit 0
