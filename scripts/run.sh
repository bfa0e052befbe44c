#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds Release, starts the demo network of game servers on
# loopback and starts Orvane pointed at it.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake --preset release >/dev/null
targets=(orv)
if grep -q 'orv-demoservers' build/release/build.ninja 2>/dev/null; then
    targets+=(orv-demoservers)
fi
cmake --build --preset release --target "${targets[@]}"

bin=build/release/bin
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found: Orvane is a desktop program. Run it from a desktop session," >&2
    echo "or under a virtual X server: xvfb-run -a $0" >&2
    exit 1
fi

demo_pid=
if [ -x "$bin/orv-demoservers" ]; then
    # Simulated servers on 127.0.0.2 and up, their master lists on http://127.0.0.1:28080/,
    # and every server in saved-list form beside the programs.
    "$bin/orv-demoservers" --http-port 28080 --write-list build/release/demo-servers.lst &
    demo_pid=$!
    trap '[ -n "$demo_pid" ] && kill "$demo_pid" 2>/dev/null || true' EXIT
    sleep 1
fi
"$bin/orv"
