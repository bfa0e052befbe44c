#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the libFuzzer harnesses: one named harness or all of them, each for a given number of
# seconds, a given number at a time. Builds them first with the configure preset (default
# "fuzz": the harnesses alone; "ci" builds them in the tree of the tests) unless --no-build.
#
#   scripts/fuzz.sh [--no-build] [--preset NAME] [--seconds N] [--parallel N] [harness ...]
#
# Each harness fuzzes a working corpus in build/<preset>/work/<harness>, started from the
# committed seeds in fuzz/corpus/<harness> and, when present on this machine, the shared
# sample files that may not be committed. Crashes land in build/<preset>/findings/<harness>.
# Prints the executions reached per harness; exits non-zero when any harness failed.
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
preset=fuzz
seconds=60
parallel="${FUZZ_PARALLEL:-1}"
do_build=1
harnesses=()
while [ $# -gt 0 ]; do
    case "$1" in
    --no-build) do_build=0 ;;
    --preset) preset="$2"; shift ;;
    --preset=*) preset="${1#*=}" ;;
    --seconds) seconds="$2"; shift ;;
    --seconds=*) seconds="${1#*=}" ;;
    --parallel) parallel="$2"; shift ;;
    --parallel=*) parallel="${1#*=}" ;;
    -h | --help) sed -n 3,13p "$0"; exit 0 ;;
    *) harnesses+=("$1") ;;
    esac
    shift
done
build="$root/build/$preset"
case "$parallel" in '' | *[!0-9]* | 0) echo "--parallel needs a positive number" >&2; exit 2 ;; esac

if [ "$do_build" = 1 ]; then
    mkdir -p "$root/build"
    cmake --preset "$preset" >"$root/build/$preset-configure.log" 2>&1 || { cat "$root/build/$preset-configure.log"; exit 1; }
    cmake --build "$build" --target fuzzers -j"${FUZZ_JOBS:-2}" || exit 1
fi
if [ ${#harnesses[@]} -eq 0 ]; then
    for exe in "$build"/fuzz/fuzz_*; do [ -f "$exe" ] && [ -x "$exe" ] && harnesses+=("$(basename "$exe")"); done
fi
[ ${#harnesses[@]} -gt 0 ] || { echo "no harnesses built in $build/fuzz" >&2; exit 1; }

# Sample files whose licence keeps them out of the repository, read from where they lie.
shared="${ORV_SHARED_CORPUS:-$root/../shared/corpus}"
extra_seeds() {
    case "$1" in
    fuzz_replydecoder) ls "$shared"/status/*.bin ;;
    fuzz_masterlist) ls "$shared"/masterlists/* ;;
    fuzz_inistore | fuzz_profile) ls "$shared"/ini/*.ini ;;
    fuzz_unrealscript) ls "$shared"/uc/*.uc ;;
    fuzz_pageparser) ls "$shared"/webadmin/* ;;
    esac 2>/dev/null
}

# Qt looks for plugins and a platform only when asked; keep it from touching the desktop.
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

# One harness; its summary line goes to build/<preset>/findings/<harness>.summary.
run_one() {
    local name="$1"
    local exe="$build/fuzz/$name"
    local work="$build/work/$name"
    local findings="$build/findings/$name"
    local log="$build/findings/$name.log"
    local summary="$build/findings/$name.summary"
    mkdir -p "$work" "$findings"
    [ -d "$root/fuzz/corpus/$name" ] && cp -n "$root/fuzz/corpus/$name"/* "$work"/ 2>/dev/null
    while IFS= read -r f; do [ -f "$f" ] && cp -n "$f" "$work"/; done < <(extra_seeds "$name")
    "$exe" "$work" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=70000 \
        -artifact_prefix="$findings/" -print_final_stats=1 >"$log" 2>&1
    local rc=$?
    local execs
    execs=$(grep -m1 'stat::number_of_executed_units' "$log" | awk '{print $2}')
    if [ $rc -ne 0 ]; then
        printf '%-22s FAILED (exit %d) after %s executions; see %s\n' "$name" "$rc" "${execs:-?}" "$log" >"$summary"
        grep -m20 -E 'ERROR|runtime error|SUMMARY|Test unit written' "$log" >&2
        return 1
    fi
    printf '%-22s ok  %10s executions in %ss\n' "$name" "${execs:-?}" "$seconds" >"$summary"
}

failed=0
valid=()
for name in "${harnesses[@]}"; do
    if [ -x "$build/fuzz/$name" ]; then
        valid+=("$name")
        mkdir -p "$build/findings"
        rm -f "$build/findings/$name.summary"
    else
        echo "unknown harness: $name" >&2
        failed=1
    fi
done
# At most $parallel harnesses at a time.
running=0
for name in "${valid[@]}"; do
    if [ "$running" -ge "$parallel" ]; then
        wait -n || failed=1
        running=$((running - 1))
    fi
    run_one "$name" &
    running=$((running + 1))
done
while [ "$running" -gt 0 ]; do
    wait -n || failed=1
    running=$((running - 1))
done
for name in "${valid[@]}"; do
    cat "$build/findings/$name.summary" 2>/dev/null || { echo "$name: no result"; failed=1; }
done
exit $failed
