#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Refresh of 300 fake servers across two network namespaces made here (answers after
# 80 ms, 30 silent, 1,000 ms time-out, one try): orv-query one at a time, 64 and 256 in
# flight, and quakestat with -maxsim 256 -retry 1 -interval 1 on the same servers.
# Needs root (namespaces) and a Release build: scripts/bench.sh builds one.
#   bench/refresh_vs_qstat.sh [BUILD_DIR]
set -eu
build=${1:-build/release}
query=$build/bin/orv-query
fleet=$build/bin/bench-fakefleet
for program in "$query" "$fleet"; do
    [ -x "$program" ] || { echo "missing $program" >&2; exit 2; }
done
if ! command -v quakestat >/dev/null 2>&1; then
    # A benchmark-only tool, never a dependency of the programs.
    apt-get install -y qstat >/dev/null
fi

servers=300 silent=30 delay=80 timeout=1000
srv=orvbench-srv-$$ cli=orvbench-cli-$$
work=$(mktemp -d)
cleanup() {
    [ -n "${fleet_pid:-}" ] && kill "$fleet_pid" 2>/dev/null || true
    ip netns del "$srv" 2>/dev/null || true
    ip netns del "$cli" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT INT TERM

# Two namespaces joined by a veth pair on a private link; nothing leaves them.
ip netns add "$srv"
ip netns add "$cli"
ip link add "v$$a" netns "$srv" type veth peer name "v$$b" netns "$cli"
ip -n "$srv" addr add 10.231.0.1/30 dev "v$$a"
ip -n "$cli" addr add 10.231.0.2/30 dev "v$$b"
for ns in "$srv" "$cli"; do ip -n "$ns" link set lo up; done
ip -n "$srv" link set "v$$a" up
ip -n "$cli" link set "v$$b" up

start_fleet() { # count silent list
    [ -n "${fleet_pid:-}" ] && kill "$fleet_pid" 2>/dev/null && wait "$fleet_pid" 2>/dev/null || true
    ip netns exec "$srv" sh -c 'ulimit -n 8192; exec "$@"' fleet "$fleet" --address 10.231.0.1 --first-port 20001 \
        --count "$1" --silent "$2" --delay-ms $delay --list "$3" &
    fleet_pid=$!
    while [ ! -s "$3" ]; do sleep 0.1; done
}
start_fleet $servers $silent "$work/servers.lst"
# quakestat takes the game port of an Unreal server and asks the port above it.
awk '{ print $1 ":" $2 }' "$work/servers.lst" >"$work/qstat.lst"

now() { date +%s.%N; }
measure() { # label command...
    label=$1
    shift
    start=$(now)
    ip netns exec "$cli" "$@" >"$work/out" 2>&1 || true
    end=$(now)
    printf '%-46s %6.2f s  %s\n' "$label" "$(echo "$end - $start" | bc)" "$(summary <"$work/out")"
}
# Servers that answered: orv-query's "complete" rows, quakestat's rows with a server name.
summary() { echo "$(grep -c -E ' complete |^UNS,[^,]*,[^,]*,' || true) answered"; }

echo "$servers servers, $silent silent, answers after $delay ms, time-out $timeout ms, one try"
for n in 256 64 1; do
    measure "orv-query --parallel $n" env QT_QPA_PLATFORM=offscreen "$query" --parallel $n --timeout $timeout \
        --tries 1 --list "$work/servers.lst"
done
measure "quakestat -maxsim 256 -retry 1 -interval 1" quakestat -maxsim 256 -retry 1 -interval 1 \
    -default uns -raw , -f "$work/qstat.lst"

# Many more servers than sockets a process may open by default: one socket serves them all.
start_fleet 4096 0 "$work/many.lst"
measure "orv-query --parallel 256, 4096 servers" env QT_QPA_PLATFORM=offscreen "$query" --parallel 256 \
    --timeout $timeout --tries 1 --list "$work/many.lst"
