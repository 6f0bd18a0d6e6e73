#!/usr/bin/env bash
# Checks that scripts/deps.sh installs every program the build and the tests
# run: each one's Debian package must be named there, or be one that every
# Debian system has (Essential). A fresh Debian 12 (debootstrap minbase) has
# nothing else, so a program missing here fails a test there and nowhere else.
set -euo pipefail
cd "$(dirname "$0")/.."

# The programs the tests start themselves (NetnsChild::Run("ip", ...),
# QProcess::start("unshare", ...)), found in their sources, and the ones the
# test command and the package check run.
mapfile -t from_tests < <(grep -rhoE '(Run|start)\("[a-z][a-z0-9_.+-]*"' tests |
  sed -E 's/.*\("([^"]*)"/\1/' | sort -u)
tools=("${from_tests[@]}" cmake ninja g++ clang++ clang-format git xvfb-run xauth
  dpkg-shlibdeps file lintian desktop-file-validate appstreamcli udevadm debootstrap)

listed=$(sed -n '/^packages=(/,/^)/p' scripts/deps.sh | tr -s ' \n' '\n')
missing=0
for tool in "${tools[@]}"; do
  path=$(command -v "$tool" || true)
  if [ -z "$path" ]; then
    echo "not installed here: $tool"
    missing=1
    continue
  fi
  # dpkg knows the path the package put the file at, which may be the one
  # before a symlink or the one without /usr (merged /usr).
  package=$(dpkg -S "$path" 2>/dev/null || dpkg -S "${path#/usr}" 2>/dev/null ||
    dpkg -S "$(readlink -f "$path")" 2>/dev/null || true)
  package=${package%%:*}
  if [ -z "$package" ]; then
    echo "no Debian package owns $path ($tool)"
    missing=1
    continue
  fi
  essential=$(dpkg-query -W -f='${Essential}' "$package" 2>/dev/null || true)
  if [ "$essential" != "yes" ] && ! grep -qx "$package" <<<"$listed"; then
    echo "scripts/deps.sh does not install $package, which has $tool"
    missing=1
  fi
done
exit $missing
