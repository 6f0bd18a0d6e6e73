#!/usr/bin/env bash
# Installs every Debian 12 package the project needs to build, run and test.
# libqt6opengl6-dev and xauth are only recommended by other packages, so they
# are named here explicitly; libqt6svg6 holds the plugins that load the SVG
# window icon, qt6-svg-dev (Debian 12's name for the SVG module's development
# files) the module that writes pictures of the view as SVG. iproute2 gives
# the tests "ip", which takes loopback down in a private network namespace.
# libc6-dbg gives the C library's and the dynamic linker's frames names, so
# that the leak check's suppressions of their own allocations can match them.
# qt6-tools-dev holds CMake's Qt translation functions (Qt6LinguistTools),
# qt6-l10n-tools lupdate and lrelease, qt6-translations-l10n Qt's own
# translations that the program loads beside its own; python3-markdown (markdown_py) makes the user manual's page, and
# man-db checks the manual pages. The last line builds and checks the Debian
# package (dpkg-shlibdeps and file for CPack; lintian, desktop-file-validate,
# appstreamcli, udevadm, debootstrap for the check). scripts/check-deps.sh
# checks that every program the tests run comes from a package named here.
set -euo pipefail
packages=(
  cmake ninja-build g++ clang clang-format libclang-rt-14-dev git
  qt6-base-dev libqt6opengl6-dev qt6-serialport-dev libqt6svg6 qt6-svg-dev
  libglu1-mesa-dev libgl1-mesa-dri
  libudev-dev pkg-config libfftw3-dev
  xvfb xauth iproute2 libx11-dev libc6-dbg
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-tools-dev qt6-l10n-tools qt6-translations-l10n python3-markdown man-db
  dpkg-dev file lintian desktop-file-utils appstream udev debootstrap
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
