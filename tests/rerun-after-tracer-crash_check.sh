#!/usr/bin/env bash
# The rerun script runs a test program a second time only for LeakSanitizer's
# tracer crash after passing tests, and passes on every other failure.
set -u
rerun="$(dirname "$0")/rerun-after-tracer-crash.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fails=0

# A fake test program: prints what the case says on its first run, passes
# cleanly on later ones, and counts its runs.
fake() {
  cat >"$work/prog" <<PROG
#!/usr/bin/env bash
n=\$(( \$(cat "$work/runs" 2>/dev/null || echo 0) + 1 )); echo \$n >"$work/runs"
if [ \$n -gt 1 ] && [ "$2" = once ]; then echo '[  PASSED  ] 1 test.'; exit 0; fi
$1
PROG
  chmod +x "$work/prog"
  rm -f "$work/runs"
}

expect() { # name, wanted exit status (0 or nonzero), wanted runs
  "$rerun" "$work/prog" >/dev/null 2>&1
  rc=$?
  runs=$(cat "$work/runs")
  if { [ "$2" = 0 ] && [ $rc -ne 0 ]; } || { [ "$2" != 0 ] && [ $rc -eq 0 ]; } || [ "$runs" != "$3" ]; then
    echo "FAIL $1: exit $rc after $runs runs, wanted $2 after $3"
    fails=$((fails + 1))
  fi
}

tracer="echo '[  PASSED  ] 1 test.'; echo 'Tracer caught signal 11: addr=0x1cf0' >&2; echo '==1==LeakSanitizer has encountered a fatal error.' >&2; exit 1"
fake "$tracer" once;  expect "a tracer crash after passing is run again" 0 2
fake "$tracer" always; expect "a second tracer crash fails" 1 2
fake "echo '[  FAILED  ] T.x'; echo 'Tracer caught signal 11' >&2; echo 'LeakSanitizer has encountered a fatal error.' >&2; exit 1" once
expect "a failed test is not run again" 1 1
fake "echo '[  PASSED  ] 1 test.'; echo '==1==ERROR: LeakSanitizer: detected memory leaks' >&2; exit 1" once
expect "a leak is not run again" 1 1
fake "echo '[  PASSED  ] 1 test.'; exit 0" once; expect "a pass runs once" 0 1
fake "echo 'T.' ; echo '  x'" once; expect "the test list passes through" 0 1
rm -f "$work/runs"
[ "$("$rerun" "$work/prog")" = "$(printf 'T.\n  x')" ] || { echo "FAIL the test list is changed"; fails=$((fails + 1)); }

[ $fails -eq 0 ] && echo "all cases passed"
exit $fails
