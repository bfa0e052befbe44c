#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when a C++ source of the project is not formatted as .clang-format says.
# With --changed, checks only the files changed against origin/main (or main); otherwise all.
# --fix formats the files in place instead of checking them.
set -euo pipefail
cd "$(dirname "$0")/.."

mode=check
scope=all
for arg in "$@"; do
    case "$arg" in
        --fix) mode=fix ;;
        --changed) scope=changed ;;
        *) echo "usage: $0 [--changed] [--fix]" >&2; exit 2 ;;
    esac
done

if [ "$scope" = changed ]; then
    base=$(git merge-base HEAD origin/main 2>/dev/null || git merge-base HEAD main)
    mapfile -t files < <(git diff --name-only --diff-filter=ACMR "$base" -- '*.cpp' '*.h')
else
    mapfile -t files < <(git ls-files '*.cpp' '*.h')
fi
[ ${#files[@]} -eq 0 ] && exit 0

if [ "$mode" = fix ]; then
    printf '%s\0' "${files[@]}" | xargs -0 -P "$(nproc)" -n 40 clang-format -i
    exit 0
fi
if ! printf '%s\0' "${files[@]}" | xargs -0 -P "$(nproc)" -n 40 clang-format --dry-run -Werror; then
    echo "Some sources are not formatted; run scripts/check-format.sh --fix" >&2
    exit 1
fi
