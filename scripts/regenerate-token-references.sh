#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Regenerates tests/data/uc/reference/*.tokens from tests/data/uc/input/*.uc with
# quillet-tokens. Review the resulting diff by eye (git diff tests/data/uc/reference)
# before committing: every change there is a change in what the editor paints.
#
# Usage: scripts/regenerate-token-references.sh [BUILD_DIR]   (default: build/dev)
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build/dev}"
tool="$build/bin/quillet-tokens"

cmake --build "$build" --target quillet-tokens >/dev/null
[ -x "$tool" ] || { echo "quillet-tokens not found in $build/bin" >&2; exit 1; }

input="$root/tests/data/uc/input"
reference="$root/tests/data/uc/reference"
mkdir -p "$reference"
rm -f "$reference"/*.tokens
count=0
for file in "$input"/*.uc; do
    name="$(basename "$file" .uc)"
    "$tool" "$file" > "$reference/$name.tokens"
    count=$((count + 1))
done
echo "Regenerated $count references in $reference"
git -C "$root" --no-pager diff --stat -- tests/data/uc/reference || true
