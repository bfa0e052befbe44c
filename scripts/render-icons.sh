#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Renders the programs' desktop icons (SVG) into the PNG sizes of the hicolor theme under
# dist/icons/png/. Run after changing an icon and commit the PNGs; needs rsvg-convert
# (librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")/.."

declare -A sources=(
    [example.orvane.Orvane]=dist/icons/example.orvane.Orvane.svg
    [example.orvane.Quillet]=dist/icons/example.orvane.Quillet.svg
    [example.orvane.Heraldex]=heraldex/app/resources/heraldex.svg
)
for size in 16 24 32 48 64 128 256; do
    mkdir -p "dist/icons/png/${size}x${size}"
    for id in "${!sources[@]}"; do
        rsvg-convert -w "$size" -h "$size" "${sources[$id]}" -o "dist/icons/png/${size}x${size}/$id.png"
    done
done
