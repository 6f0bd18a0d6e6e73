#!/usr/bin/env bash
# Installs the Debian package with apt into a fresh Debian 12 root (a chroot,
# without recommended packages, so Depends alone must be enough) and runs the
# programs there. Called by check-package.sh:
#   scripts/check-package-chroot.sh DEB VERSION
# Exits 0 when it passed, 1 when the package failed, 77 when it could not be
# tried (not root, no debootstrap, no namespaces, ZELVO_PACKAGE_CHROOT=0, or
# the Debian mirror could not be reached), with the reason on the last line.
# Network waits are bounded: about ten minutes at worst, two when uncached.
#
# The root debootstrap makes is kept in build/package-root/base and the
# downloaded packages in build/package-root/archives, so a repeated run needs
# the network only for what changed; every run installs into a new copy.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 2
deb=$1 version=$2
cache=$PWD/build/package-root
suite=bookworm

skip() { echo "$*"; exit 77; }
[ "${ZELVO_PACKAGE_CHROOT:-1}" != 0 ] || skip "ZELVO_PACKAGE_CHROOT=0: no chroot install"
[ "$(id -u)" -eq 0 ] || skip "not root: no chroot install"
command -v debootstrap >/dev/null || skip "no debootstrap: no chroot install"
unshare --mount --fork true 2>/dev/null || skip "no mount namespaces here: no chroot install"
# The mirror this machine's apt uses for Debian 12.
mirror=$(apt-get indextargets --format '$(REPO_URI) $(CODENAME)' 2>/dev/null |
  awk -v s="$suite" '$2 == s { print $1; exit }')
[ -n "$mirror" ] || skip "apt knows no $suite mirror: no chroot install"

# Runs a command in ROOT, for at most SECONDS, inside a private mount
# namespace, so that /proc and the shared package cache are unmounted when it
# ends, whatever happens.
in_root() { # in_root SECONDS ROOT command...
  local seconds=$1 root=$2
  shift 2
  timeout "$seconds" unshare --mount --fork sh -c '
    root=$1 archives=$2; shift 2
    mount -t proc proc "$root/proc" || exit 2
    [ -c "$root/dev/null" ] || mount --rbind /dev "$root/dev" || exit 2
    mkdir -p "$root/dev/pts" && mount -t devpts devpts "$root/dev/pts" 2>/dev/null
    mount --bind "$archives" "$root/var/cache/apt/archives" || exit 2
    exec chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin DEBIAN_FRONTEND=noninteractive "$@"
  ' sh "$root" "$cache/archives" "$@"
}

mkdir -p "$cache/archives/partial"
if [ ! -f "$cache/base.done" ]; then
  rm -rf "$cache/base"
  echo "building a $suite root with debootstrap (once; kept in $cache)"
  if ! timeout 240 debootstrap --variant=minbase "$suite" "$cache/base" "$mirror" >"$cache/debootstrap.log" 2>&1; then
    tail -n 5 "$cache/debootstrap.log"
    rm -rf "$cache/base"
    skip "debootstrap from $mirror failed (network?), log: $cache/debootstrap.log: no chroot install"
  fi
  # The same suites as this machine (updates and security too).
  rm -f "$cache/base/etc/apt/sources.list"
  cp -a /etc/apt/sources.list /etc/apt/sources.list.d "$cache/base/etc/apt/" 2>/dev/null
  touch "$cache/base.done"
fi

root=$cache/run
rm -rf "$root"
cp -a "$cache/base" "$root"
trap 'rm -rf "$root"' EXIT
cp "$deb" "$root/tmp/"
pkg=/tmp/$(basename "$deb")

# Downloads first: a failure there is the network's, not the package's
# (check-package.sh has already resolved Depends against the archive offline).
download() { in_root 240 "$root" apt-get install --download-only --no-install-recommends -y -qq "$pkg"; }
if ! download >"$root.log" 2>&1; then
  if ! { in_root 180 "$root" apt-get update -qq && download; } >"$root.log" 2>&1; then
    tail -n 5 "$root.log"
    skip "could not download the dependencies from the Debian mirror (network?): no chroot install"
  fi
fi

failures=0
ok() { echo "ok:   $*"; }
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
if out=$(in_root 240 "$root" apt-get install --no-install-recommends -y -qq "$pkg" 2>&1); then
  ok "apt install ./$(basename "$deb") in a fresh $suite root ($(grep -c '^Setting up' <<<"$out") packages)"
else
  fail "apt install ./$(basename "$deb") in a fresh $suite root"
  tail -n 15 <<<"$out" | sed 's/^/      /'
fi
out=$(in_root 30 "$root" zelvo --version 2>/dev/null)
[ "$out" = "Zelvo $version" ] && ok "chroot: zelvo --version: $out" || fail "chroot: zelvo --version printed '$out'"
in_root 30 "$root" zelvo --help >/dev/null 2>&1 && ok "chroot: zelvo --help" || fail "chroot: zelvo --help"
in_root 30 "$root" zelvo-sim --help >/dev/null 2>&1 && ok "chroot: zelvo-sim --help" || fail "chroot: zelvo-sim --help"
rm -f "$root.log"
[ "$failures" -eq 0 ]
