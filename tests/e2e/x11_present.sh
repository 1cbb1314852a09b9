#!/usr/bin/env bash
# The shared-memory present, checked pixel by pixel against a real X server.
source "$(dirname "$0")/lib.bash" "$@"
TEST_WINDOW=${3:?usage: x11_present.sh OZMIR ARTEFACTS TEST_WINDOW}

start_xvfb 320x240
"$(dirname "$TEST_WINDOW")/x11-present-test" || fail "the present showed other pixels"
echo "PASS [$TEST_NAME]"
