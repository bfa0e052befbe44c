#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the libFuzzer harnesses: one named harness or all of them, each for a given number of
# seconds. Builds them first with the "fuzz" preset (clang) unless --no-build is given.
#
#   scripts/fuzz.sh [--no-build] [--seconds N] [harness ...]
#
# Each harness fuzzes a working corpus in build/fuzz/work/<harness>, started from the
# committed seeds in fuzz/corpus/<harness> and, when present on this machine, the shared
# sample files that may not be committed. Crashes land in build/fuzz/findings/<harness>.
# Prints the executions reached per harness; exits non-zero when any harness failed.
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build/fuzz"
seconds=60
do_build=1
harnesses=()
while [ $# -gt 0 ]; do
    case "$1" in
    --no-build) do_build=0 ;;
    --seconds) seconds="$2"; shift ;;
    --seconds=*) seconds="${1#*=}" ;;
    -h | --help) sed -n 3,12p "$0"; exit 0 ;;
    *) harnesses+=("$1") ;;
    esac
    shift
done

if [ "$do_build" = 1 ]; then
    cmake --preset fuzz >"$root/build/fuzz-configure.log" 2>&1 || { cat "$root/build/fuzz-configure.log"; exit 1; }
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

failed=0
summary=()
for name in "${harnesses[@]}"; do
    exe="$build/fuzz/$name"
    [ -x "$exe" ] || { echo "unknown harness: $name" >&2; failed=1; continue; }
    work="$build/work/$name"
    findings="$build/findings/$name"
    mkdir -p "$work" "$findings"
    [ -d "$root/fuzz/corpus/$name" ] && cp -n "$root/fuzz/corpus/$name"/* "$work"/ 2>/dev/null
    while IFS= read -r f; do [ -f "$f" ] && cp -n "$f" "$work"/; done < <(extra_seeds "$name")
    log="$build/findings/$name.log"
    "$exe" "$work" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=70000 \
        -artifact_prefix="$findings/" -print_final_stats=1 >"$log" 2>&1
    rc=$?
    execs=$(grep -m1 'stat::number_of_executed_units' "$log" | awk '{print $2}')
    if [ $rc -ne 0 ]; then
        failed=1
        summary+=("$(printf '%-22s FAILED (exit %d) after %s executions; see %s' "$name" "$rc" "${execs:-?}" "$log")")
        grep -m20 -E 'ERROR|runtime error|SUMMARY|Test unit written' "$log" >&2
    else
        summary+=("$(printf '%-22s ok  %10s executions in %ss' "$name" "${execs:-?}" "$seconds")")
    fi
done
printf '%s\n' "${summary[@]}"
exit $failed
