#!/usr/bin/env bash
# Checks the Debian package: its control fields and dependencies, lintian, and
# the files it installs, unpacked into a temporary root with dpkg -x: where
# they land, that the programs run from there without a display, and that the
# desktop entry, the AppStream metainfo and the udev rule validate. Last, a
# real apt install into a fresh Debian 12 chroot (check-package-chroot.sh).
#   scripts/check-package.sh build/release/zelvo_1.3.0.0_amd64.deb
#   scripts/check-package.sh --find build/release [--version 1.3.0.0] [--programs "zelvo;zelvo-sim"]
# The programs /usr/bin must hold default to the list the build tree wrote
# beside the package (zelvo-packaged-programs.txt).
# Exits 77 (skipped) when --find finds no package.
set -uo pipefail
here=$PWD
cd "$(dirname "$0")/.." || exit 2
abs() { case "$1" in /*) echo "$1" ;; *) echo "$here/$1" ;; esac; }

deb="" find_dir="" programs=""
version=$(sed -n 's/^project(Zelvo VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
while [ $# -gt 0 ]; do
  case "$1" in
    --find) find_dir=$(abs "$2"); shift 2 ;;
    --version) version=$2; shift 2 ;;
    --programs) programs=$2; shift 2 ;;
    -*) echo "check-package.sh: unknown option $1" >&2; exit 2 ;;
    *) deb=$(abs "$1"); shift ;;
  esac
done
if [ -n "$find_dir" ]; then
  deb=$(ls -t "$find_dir"/zelvo_*.deb 2>/dev/null | head -n 1)
  if [ -z "$deb" ]; then
    echo "no zelvo_*.deb in $find_dir: scripts/package.sh builds one; skipped"
    exit 77
  fi
fi
[ -f "$deb" ] || { echo "check-package.sh: no package file '$deb'" >&2; exit 2; }
if [ -z "$programs" ]; then
  list=$(dirname "$deb")/zelvo-packaged-programs.txt
  [ -f "$list" ] && programs=$(cat "$list") || programs="zelvo;zelvo-sim"
fi
IFS=';' read -r -a programs <<<"$programs"

for tool in dpkg-deb dpkg-query apt-get readelf lintian desktop-file-validate appstreamcli; do
  command -v "$tool" >/dev/null || { echo "check-package.sh: $tool is missing (scripts/deps.sh installs it)" >&2; exit 2; }
done

failures=0
ok() { echo "ok:   $*"; }
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
check() { # check "what" command...: runs the command, shows its output on failure
  local what=$1 out
  shift
  if out=$("$@" 2>&1); then ok "$what"; else fail "$what"; printf '%s\n' "$out" | sed 's/^/      /'; fi
}

echo "package: $deb"
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT

# Control fields.
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = zelvo ] && ok "Package: zelvo" || fail "Package is '$(field Package)', not zelvo"
[ "$(field Version)" = "$version" ] && ok "Version: $version" || fail "Version is '$(field Version)', not $version"
arch=$(dpkg --print-architecture)
[ "$(field Architecture)" = "$arch" ] && ok "Architecture: $arch" || fail "Architecture is '$(field Architecture)'"
[[ "$(field Maintainer)" =~ ^[^\<]+\ \<[^@\>]+@[^\>]+\>$ ]] && ok "Maintainer: $(field Maintainer)" ||
  fail "Maintainer '$(field Maintainer)' is not 'Name <address>'"
[ "$(field Description | wc -l)" -ge 2 ] && ok "Description with an extended part" ||
  fail "Description has no extended part"
depends=$(field Depends)

# Every shared library a program needs must come from a package named in
# Depends, and Depends must be installable here (Debian 12).
dpkg-deb -x "$deb" "$root" || { fail "dpkg-deb -x"; exit 1; }
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH 2>/dev/null || gcc -print-multiarch)
failures_before=$failures
dep_names=" $(printf '%s\n' "$depends" | tr ',|' '\n\n' | sed 's/(.*)//; s/:.*//; s/ //g' | tr '\n' ' ') "
for program in "${programs[@]}"; do
  exe=$root/usr/bin/$program
  [ -f "$exe" ] || continue
  for lib in $(readelf -d "$exe" | sed -n 's/.*Shared library: \[\(.*\)\]/\1/p'); do
    owners=$(dpkg-query -S "*/$multiarch/$lib" 2>/dev/null | cut -d: -f1 | sort -u)
    covered=0
    for owner in $owners; do [[ "$dep_names" == *" $owner "* ]] && covered=1; done
    [ "$covered" -eq 1 ] || fail "$program needs $lib (from ${owners:-no installed package}), not in Depends: $depends"
  done
  readelf -d "$exe" | grep -qE 'RPATH|RUNPATH' && fail "$program keeps an RPATH into the build tree"
done
[ "$failures" -eq "$failures_before" ] && ok "Depends covers the programs' shared libraries: $depends"
# Qt loads the SVG plugins for the window icon at run time; no linker sees them.
[[ "$dep_names" == *" libqt6svg6 "* ]] && ok "Depends names libqt6svg6 (SVG icon plugins)" ||
  fail "Depends lacks libqt6svg6, which loads the SVG window icon"
# With an empty dpkg status apt sees a fresh system: the whole closure of
# Depends must come from the Debian archive this machine knows. Without
# package lists, only against what is installed here.
if compgen -G "/var/lib/apt/lists/*_Packages*" >/dev/null; then
  : >"$root.status"
  if out=$(apt-get install --simulate -o Dir::State::status="$root.status" "$deb" 2>&1); then
    ok "apt install on an empty Debian system resolves ($(grep -c '^Inst' <<<"$out") packages)"
  else
    fail "apt install on an empty Debian system does not resolve"
    grep -E '^(E:| )' <<<"$out" | sed 's/^/      /'
  fi
  rm -f "$root.status"
else
  check "apt install resolves against the installed packages (no apt lists)" \
    apt-get install --simulate "$deb"
fi

# Lintian: errors and warnings fail; notes are shown.
lintian --fail-on error,warning "$deb" >"$root.lintian" 2>&1 && ok "lintian: no errors, no warnings" ||
  fail "lintian"
grep -v 'running with root privileges' "$root.lintian" | sed 's/^/      /'
rm -f "$root.lintian"

# Files where their conventions name them, and nothing else.
app_id=com.quillon.Zelvo
expected=(
  "usr/share/applications/$app_id.desktop"
  "usr/share/icons/hicolor/scalable/apps/$app_id.svg"
  "usr/share/metainfo/$app_id.metainfo.xml"
  usr/lib/udev/rules.d/70-zelvo.rules
  usr/share/doc/zelvo/copyright
  usr/share/doc/zelvo/changelog.gz
  usr/share/doc/zelvo/manual/index.html
  usr/share/zelvo/translations/zelvo_de.qm
)
for program in "${programs[@]}"; do
  expected+=("usr/bin/$program" "usr/share/man/man1/$program.1.gz")
done
# The manual's pictures, whichever it shows.
for picture in "$root"/usr/share/doc/zelvo/manual/images/*.png; do
  [ -f "$picture" ] && expected+=("${picture#"$root"/}")
done
for f in "${expected[@]}"; do
  if [ -f "$root/$f" ]; then ok "/$f"; else fail "/$f is missing"; fi
done
for program in "${programs[@]}"; do
  [ -x "$root/usr/bin/$program" ] || fail "/usr/bin/$program is not executable"
done
unexpected=$(cd "$root" && find . -type f | sed 's|^\./||' | sort | grep -vxF -f <(printf '%s\n' "${expected[@]}"))
[ -z "$unexpected" ] && ok "no other files" || fail "files nobody asked to ship: $(tr '\n' ' ' <<<"$unexpected")"

# The programs from the installed place, with no display to fall back on.
run() { env -u DISPLAY -u WAYLAND_DISPLAY XDG_RUNTIME_DIR="$root" timeout 30 "$@" 2>/dev/null; }
if [ -x "$root/usr/bin/zelvo" ]; then
  out=$(run "$root/usr/bin/zelvo" --version)
  [ "$out" = "Zelvo $version" ] && ok "zelvo --version: $out" || fail "zelvo --version printed '$out', not 'Zelvo $version'"
  # Without a runtime folder (a root shell), nothing but the version.
  err=$(env -u DISPLAY -u WAYLAND_DISPLAY -u XDG_RUNTIME_DIR timeout 30 "$root/usr/bin/zelvo" --version 2>&1 >/dev/null)
  [ -z "$err" ] && ok "zelvo --version writes nothing to standard error" ||
    fail "zelvo --version wrote to standard error: $err"
  out=$(run "$root/usr/bin/zelvo" --help)
  rc=$?
  missing_opts=""
  for opt in --help --help-all --version; do grep -q -- "$opt" <<<"$out" || missing_opts+=" $opt"; done
  [ "$rc" -eq 0 ] && [ -z "$missing_opts" ] && ok "zelvo --help lists --help, --help-all, --version" ||
    fail "zelvo --help (exit $rc) misses$missing_opts"
  out=$(run "$root/usr/bin/zelvo" --help-all)
  grep -q -- --platform <<<"$out" && ok "zelvo --help-all lists Qt's options" || fail "zelvo --help-all misses Qt's options"
fi
if [ -x "$root/usr/bin/zelvo-sim" ]; then
  out=$(run "$root/usr/bin/zelvo-sim" --help)
  rc=$?
  [ "$rc" -eq 0 ] && grep -q 'zelvo-sim' <<<"$out" && ok "zelvo-sim --help" || fail "zelvo-sim --help (exit $rc)"
  # The translations are found from where the programs are installed.
  said() { env -u LANGUAGE -u LC_ALL -u LC_MESSAGES LANG=$1 timeout 30 "$root/usr/bin/zelvo-sim" --no-such-option 2>&1; }
  grep -q 'unbekannte Option --no-such-option' <<<"$(said de_DE.UTF-8)" &&
    grep -q 'unknown option --no-such-option' <<<"$(said C)" &&
    ok "zelvo-sim speaks German under de_DE and English under C" ||
    fail "zelvo-sim under de_DE: '$(said de_DE.UTF-8)', under C: '$(said C)'"
fi

# Desktop entry, icon and metainfo.
desktop=$root/usr/share/applications/$app_id.desktop
if [ -f "$desktop" ]; then
  check "desktop-file-validate" desktop-file-validate "$desktop"
  # Opened with a file, the program shows that capture.
  for line in "Name=Zelvo" "Exec=zelvo %f" "Icon=$app_id" "Type=Application" "MimeType=text/csv;"; do
    grep -qx "$line" "$desktop" || fail "desktop entry lacks $line"
  done
  grep -qE '^Comment=.+' "$desktop" || fail "desktop entry lacks a Comment"
  grep -qE '^Categories=.*(Electronics|Engineering)' "$desktop" || fail "desktop entry lacks an electronics/engineering category"
fi
metainfo=$root/usr/share/metainfo/$app_id.metainfo.xml
if [ -f "$metainfo" ]; then
  check "appstreamcli validate" appstreamcli validate --no-net "$metainfo"
  grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" ||
    fail "metainfo does not launch $app_id.desktop"
  grep -q "<release version=\"$version\"" "$metainfo" || fail "metainfo has no release $version"
fi

# udev rule: udevadm verify where udev has it (systemd 253+). Older udev
# parses it in "udevadm test", run in a private mount namespace whose rules
# folders hold only this rule; without namespaces (not root, or a confined
# container), a syntax check of every line as KEY[{attr}]OP"value" pairs.
rules=$root/usr/lib/udev/rules.d/70-zelvo.rules
udev_syntax() {
  local keys pair bad labels gotos
  keys='ACTION|DEVPATH|KERNELS?|NAME|SYMLINK|SUBSYSTEMS?|DRIVERS?|ATTRS?|SYSCTL|TAGS?|ENV|CONST|TEST|PROGRAM|RESULT|OWNER|GROUP|MODE|SECLABEL|RUN|LABEL|GOTO|IMPORT|OPTIONS'
  pair="($keys)(\\{[^}\"]+\\})?(==|!=|\\+=|-=|:=|=)\"[^\"]*\""
  bad=$(grep -vE '^[[:space:]]*(#|$)' "$1" | grep -vE "^[[:space:]]*$pair([[:space:]]*,[[:space:]]*$pair)*[[:space:]]*,?[[:space:]]*$")
  labels=$(grep -oE 'LABEL="[^"]*"' "$1" | sed 's/LABEL=//' | sort -u)
  gotos=$(grep -oE 'GOTO="[^"]*"' "$1" | sed 's/GOTO=//' | sort -u)
  [ -z "$bad" ] || { echo "not KEY{attr}OP\"value\" pairs: $bad"; return 1; }
  [ -z "$(comm -23 <(echo "$gotos") <(echo "$labels"))" ] || { echo "GOTO to a missing LABEL"; return 1; }
}
udev_parse() { # prints udev's complaints about the rule; fails when it cannot run
  local only empty device out
  device=$(find /sys/class/tty -mindepth 1 -maxdepth 1 2>/dev/null | head -n 1)
  [ -n "$device" ] && command -v unshare >/dev/null || return 2
  only=$(mktemp -d) empty=$(mktemp -d)
  cp "$1" "$only/"
  out=$(unshare --mount sh -c '
    mount --make-rprivate / || exit 2
    for d in /etc/udev/rules.d /run/udev/rules.d /usr/lib/udev/rules.d /lib/udev/rules.d /usr/local/lib/udev/rules.d; do
      [ -d "$d" ] && { mount --bind "$2" "$d" || exit 2; }
    done
    mkdir -p /run/udev/rules.d && mount --bind "$1" /run/udev/rules.d || exit 2
    SYSTEMD_LOG_LEVEL=debug udevadm test --action=add "$3" 2>&1' sh "$only" "$empty" "$device" 2>/dev/null)
  local rc=$?
  rm -rf "$only" "$empty"
  [ "$rc" -eq 0 ] && grep -q "Reading rules file: /run/udev/rules.d/$(basename "$1")" <<<"$out" || return 2
  ! grep -E "^/run/udev/rules.d/$(basename "$1"):" <<<"$out"
}
if [ -f "$rules" ]; then
  if udevadm verify --help >/dev/null 2>&1; then
    check "udevadm verify" udevadm verify "$rules"
  else
    complaints=$(udev_parse "$rules")
    case $? in
      0) ok "udev rule parses (udevadm $(udevadm --version) test, no complaints)" ;;
      1) fail "udev rule: udevadm test complains"; sed 's/^/      /' <<<"$complaints" ;;
      *) check "udev rule syntax (udevadm cannot parse it here)" udev_syntax "$rules" ;;
    esac
  fi
  grep -vE '^[[:space:]]*#' "$rules" |
    grep -E 'ATTRS\{idVendor\}=="6b1d"' | grep -E 'ATTRS\{idProduct\}=="e4f7"' | grep -q 'TAG+="uaccess"' &&
    ok "udev rule tags the scope's port (6b1d:e4f7) uaccess" || fail "udev rule does not tag 6b1d:e4f7 uaccess"
  # uaccess is applied by 73-seat-late.rules, so the rule must sort before it.
  [[ "$(basename "$rules")" < "73-seat-late.rules" ]] || fail "udev rule sorts after 73-seat-late.rules"
fi

# A real install: apt into a fresh Debian 12 chroot. It is skipped, with the
# reason, where it cannot be tried (not root, or no mirror within reach).
out=$(scripts/check-package-chroot.sh "$deb" "$version")
case $? in
  0) printf '%s\n' "$out" ;;
  77) sed '$d; s/^/      /' <<<"$out"; echo "skip: $(tail -n 1 <<<"$out")" ;;
  *) printf '%s\n' "$out"; failures=$((failures + 1)) ;;
esac

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "package checks passed"
