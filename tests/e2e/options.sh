#!/usr/bin/env bash
# The command line as a user meets it, with no display needed: --help and --version answer
# and exit 0; a bad option or value gets one line naming it and exit status 2.
source "$(dirname "$0")/lib.bash" "$@"

cd "$(mktemp -d)"
run() {
    set +e
    env -u DISPLAY -u WAYLAND_DISPLAY "$OZMIR" "$@" >out.txt 2>err.txt
    status=$?
    set -e
}

run --help
[[ $status == 0 && ! -s err.txt ]] || fail "--help: status $status, $(cat err.txt)"
for option in --speed --stars --brightness --fps --autopilot --display --root --window-id \
    --help --version XSCREENSAVER_WINDOW OZMIR_SCALE; do
    grep -q -- "$option" out.txt || fail "--help does not mention $option"
done

run --version
[[ $status == 0 ]] || fail "--version: status $status"
grep -Eq '^ozmir [0-9]+\.[0-9]+\.[0-9]+$' out.txt || fail "--version printed: $(cat out.txt)"

for bad in "--bogus" "--speed 50.5" "--stars 2001" "--brightness 0.1" "--window-id nope" \
    "--display -1" "--speed"; do
    # shellcheck disable=SC2086
    run $bad
    [[ $status == 2 ]] || fail "$bad: exit status $status"
    [[ $(wc -l <err.txt) == 1 && ! -s out.txt ]] || fail "$bad: said $(cat out.txt err.txt)"
    grep -q -- "${bad%% *}" err.txt || fail "$bad: the message does not name it: $(cat err.txt)"
done
echo "PASS [$TEST_NAME]"
