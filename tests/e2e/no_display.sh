#!/usr/bin/env bash
# Without any display the program says so on one line and exits non-zero, no core dump.
source "$(dirname "$0")/lib.bash" "$@"

cd "$(mktemp -d)"
ulimit -c unlimited 2>/dev/null || true
set +e
env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER timeout 10 "$OZMIR" >out.txt 2>err.txt
status=$?
set -e
[[ $status -ne 0 && $status -lt 128 && $status -ne 124 ]] || fail "exit status $status"
lines=$(wc -l <err.txt)
[[ $lines -eq 1 ]] || fail "expected one line on stderr, got $lines: $(cat err.txt)"
grep -qi "display" err.txt || fail "message does not mention the display: $(cat err.txt)"
[[ ! -s out.txt ]] || fail "unexpected output on stdout"
ls core* >/dev/null 2>&1 && fail "core dump left behind"
echo "PASS [$TEST_NAME]"
