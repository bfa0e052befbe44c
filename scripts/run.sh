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

# The demo runs with a profile of its own beside the build, so it never touches the
# user's real settings: its master lists are the demo network's (Unreal over HTTP, UT from
# the GameSpy-protocol master), and the Internet page opens by itself.
profile="$PWD/build/release/demo-profile"
port=28080
gamespy_port=28900
settings="$profile/config/orvane-tools/HKEY_CURRENT_USER.reg"
if [ ! -f "$settings" ]; then
    mkdir -p "$(dirname "$settings")" "$profile/data/orvane"
    cat > "$settings" <<REG
REGEDIT4

[HKEY_CURRENT_USER\SOFTWARE\Orvane\Main form state]
"NewOptions"="false"

[HKEY_CURRENT_USER\SOFTWARE\Orvane\Main options]
"AutoOpen_ItemIndex"="1"
"Reloadlist_ItemIndex"="0"
"Merge_ItemIndex"="0"

[HKEY_CURRENT_USER\SOFTWARE\Orvane\Servers list\.UServersList_Items]
"Count"="1"
"Item0"="http://127.0.0.1:$port/unreal-servers.txt"

[HKEY_CURRENT_USER\SOFTWARE\Orvane\Servers list\.UTServersList_Items]
"Count"="1"
"Item0"="gamespy://127.0.0.1:$gamespy_port"

[HKEY_CURRENT_USER\SOFTWARE\Orvane\Servers list\TServersFormUServersList]
"Count"="1"
"Item0"="1"

[HKEY_CURRENT_USER\SOFTWARE\Orvane\Servers list\TServersFormUTServersList]
"Count"="1"
"Item0"="1"
REG
fi

demo_pid=
if [ -x "$bin/orv-demoservers" ]; then
    # Simulated servers on 127.0.0.2 and up, the Unreal list on http://127.0.0.1:$port/ and
    # a GameSpy-protocol master of the UT servers on 127.0.0.1:$gamespy_port.
    "$bin/orv-demoservers" --http-port "$port" --gamespy-port "$gamespy_port" &
    demo_pid=$!
    trap '[ -n "$demo_pid" ] && kill "$demo_pid" 2>/dev/null || true' EXIT
    # Orvane opens the Internet page a second after it starts: wait until the lists are served.
    for _ in $(seq 50); do
        (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && break
        sleep 0.2
    done
fi
XDG_CONFIG_HOME="$profile/config" XDG_DATA_HOME="$profile/data" "$bin/orv"
