#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package with CPack from an already built folder and checks it with
# lintian: no errors allowed (warnings are printed). The package lands in BUILD_DIR.
#
#   scripts/package-check.sh [BUILD_DIR]   (default: build/ci, the folder scripts/test.sh builds)
#
# The ci folder is RelWithDebInfo built with the sanitizers: the check is of the package's
# contents, metadata and dependencies, not a release build. CPack strips the programs, so
# the package carries no debugging information. Exits 77 when dpkg-shlibdeps or lintian is
# not installed.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/ci}"

for tool in cpack dpkg-shlibdeps lintian fakeroot; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "package-check: $tool is missing (scripts/install-deps.sh installs it); not checked"
        exit 77
    fi
done
[ -f "$build/CPackConfig.cmake" ] || { echo "package-check: $build is not a configured build folder" >&2; exit 1; }

rm -f "$build"/orvane-tools_*.deb
# cpack builds what is out of date first (nothing, after a full build).
(cd "$build" && cpack -G DEB >cpack.log 2>&1) || { cat "$build/cpack.log" >&2; exit 1; }
shopt -s nullglob
packages=("$build"/orvane-tools_*.deb)
[ ${#packages[@]} -eq 1 ] || { echo "package-check: expected one package, found ${#packages[@]}" >&2; exit 1; }
deb="${packages[0]}"
echo "package: $deb"
dpkg-deb --field "$deb" Package Version Architecture Depends Recommends

# lintian exits non-zero on errors only (its default --fail-on=error).
lintian --tag-display-limit 0 --display-info "$deb"
echo "lintian: no errors"
