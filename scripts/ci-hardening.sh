#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Hardening checks for continuous integration, after scripts/test.sh has built the "ci" tree
# (clang, AddressSanitizer and UndefinedBehaviorSanitizer, the tests run under them there):
# runs every libFuzzer harness of that same tree for FUZZ_SECONDS seconds (default 20), two
# at a time (FUZZ_PARALLEL). Builds the harnesses first when the tree lacks them.
# Prints the time each step took. Exits non-zero when any build or harness fails.
#
#   scripts/ci-hardening.sh
set -uo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh || exit 1
jobs="${CI_JOBS:-$(nproc)}"
status=0
timings=()

step() { # name, command...
    local name="$1"
    shift
    local start=$SECONDS
    echo "== $name"
    if "$@"; then
        timings+=("$(printf '%-28s %5ds  ok' "$name" $((SECONDS - start)))")
    else
        timings+=("$(printf '%-28s %5ds  FAILED' "$name" $((SECONDS - start)))")
        status=1
        return 1
    fi
}

[ -f build/ci/CMakeCache.txt ] || step "ci: configure" cmake --preset ci >/dev/null
step "fuzz: build harnesses" cmake --build build/ci --target fuzzers -j "$jobs" &&
    step "fuzz: run each harness" bash scripts/fuzz.sh --no-build --preset ci --seconds "${FUZZ_SECONDS:-20}" \
        --parallel "${FUZZ_PARALLEL:-2}"

printf '%s\n' "${timings[@]}"
exit $status
