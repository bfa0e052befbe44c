#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds, and runs the whole test suite. Exits non-zero on any failure.
# ORV_PRESET chooses the build (default: ci, the clang tree with AddressSanitizer and
# UndefinedBehaviorSanitizer that also holds the fuzzing harnesses; also dev, release, asan).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
preset="${ORV_PRESET:-ci}"
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
ctest --preset "$preset" -j "$(nproc)"
