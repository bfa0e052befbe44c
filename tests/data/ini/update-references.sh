#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Rewrites reference/*.ini from input/*.ini with the edits the round-trip test makes.
# Usage: tests/data/ini/update-references.sh <build folder>. Review the diff by eye.
set -euo pipefail
build="${1:?build folder}"
ORV_UPDATE_INI_REFERENCES=1 "$build/bin/orv_tools_tests" --gtest_filter='IniRoundTrip.*'
git -C "$(dirname "$0")" diff --stat -- reference
