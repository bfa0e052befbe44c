#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian 12 packages the tool set needs to build, test and run.
# Idempotent: does nothing (and says nothing) when everything is already there.
set -euo pipefail

packages=(
    build-essential cmake ninja-build ccache pkg-config git
    qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev qt6-svg-dev qt6-tools-dev qt6-l10n-tools
    libqt6svg6 qt6-qpa-plugins
    libqscintilla2-qt6-dev
    libgtest-dev libgmock-dev googletest libbenchmark-dev
    clang clang-format libclang-rt-14-dev
    tinyproxy xvfb xauth iproute2 python3
    desktop-file-utils appstream shared-mime-info man-db
    dpkg-dev fakeroot lintian
    libloc-dev libloc-database famfamfam-flag-png
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
    SUDO=sudo
else
    SUDO=
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
# tinyproxy's package starts a system service; the tests start their own instance.
if command -v systemctl >/dev/null 2>&1; then $SUDO systemctl disable --now tinyproxy >/dev/null 2>&1 || true; fi
$SUDO service tinyproxy stop >/dev/null 2>&1 || true
