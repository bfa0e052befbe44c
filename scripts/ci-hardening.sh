#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Hardening checks for continuous integration:
#   1. builds the whole project with AddressSanitizer and UndefinedBehaviorSanitizer (the
#      "asan" preset) and runs the whole test suite under them;
#   2. builds the libFuzzer harnesses (the "fuzz" preset, clang) and runs each for
#      FUZZ_SECONDS seconds (default 20).
# Prints the time each step took. Exits non-zero when any build, test or harness fails.
#
#   scripts/ci-hardening.sh [asan|fuzz]   (default: both)
set -uo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh || exit 1
jobs="${CI_JOBS:-$(nproc)}"
steps="${1:-all}"
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

# Leaks inside the Qt libraries (loaded once, freed at exit by the system) are not ours;
# every other sanitizer report fails the test that caused it.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

if [ "$steps" = all ] || [ "$steps" = asan ]; then
    step "asan: configure" cmake --preset asan >/dev/null &&
        step "asan: build" cmake --build --preset asan -j "$jobs" &&
        step "asan: tests" ctest --preset asan -j "$jobs"
fi

if [ "$steps" = all ] || [ "$steps" = fuzz ]; then
    step "fuzz: configure" cmake --preset fuzz >/dev/null &&
        step "fuzz: build" cmake --build build/fuzz --target fuzzers -j "$jobs" &&
        step "fuzz: run each harness" env FUZZ_JOBS="$jobs" bash scripts/fuzz.sh --no-build --seconds "${FUZZ_SECONDS:-20}"
fi

printf '%s\n' "${timings[@]}"
exit $status
