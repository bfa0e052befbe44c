#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Regenerates the committed seed inputs in fuzz/corpus/<harness>/ from the project's own
# test data (tests/data, whose files may be copied) and a few hand-written hostile cases.
# Files that may not be copied into the project are never placed here: scripts/fuzz.sh
# adds them to its working corpus at run time when they are present on the machine.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$root/fuzz/corpus"
data="$root/tests/data"
rm -rf "$out"
mkdir -p "$out"

seed() { # harness name, then the bytes on stdin
    mkdir -p "$out/$1"
    cat >"$out/$1/$2"
}
copy() { # harness, source file
    mkdir -p "$out/$1"
    cp "$2" "$out/$1/$(basename "$2")"
}

# Server answers: the recorded datagrams, joined into one multi-datagram input too.
for f in "$data"/status/*.bin; do copy fuzz_replydecoder "$f"; done
sep=$'\x1e'
{ cat "$data/status/ut99_gameq_unrealkillers_siege_1.bin"; printf '%s' "$sep"
  cat "$data/status/ut99_gameq_unrealkillers_siege_2.bin"; printf '%s' "$sep"
  cat "$data/status/ut99_gameq_unrealkillers_siege_3.bin"; } | seed fuzz_replydecoder siege_joined
n=0
for q in '1.' '.' '9999999999.1' '1.-5' '1.0' '-1.1' '1.99999999999999999999' '' '1.2.3' ' 1. 1'; do
    printf '\\hostname\\x\\queryid\\%s\\final\\' "$q" | seed fuzz_replydecoder "queryid_$n"
    n=$((n + 1))
done
printf '\\player_0\\a\\frags_0\\-5\\player_300\\b\\numplayers\\99999999999\\final\\\\queryid\\1.1' | seed fuzz_replydecoder players
printf '\\hostname\\a\0b\xff\\final\\\\queryid\\\xff.1' | seed fuzz_replydecoder nul_ff

# Beacon answers.
printf '127.0.0.2:ut 7778 7777' | seed fuzz_beaconwords beacon
printf 'x:unreal 99999999 \xff' | seed fuzz_beaconwords beacon_bad_port

# Master lists and address lists.
for f in "$data"/orv/net/*; do copy fuzz_masterlist "$f"; done
for f in "$data"/orv/net/ut_plain_list.converted "$data"/orv/net/ut_plain_list.merged; do copy fuzz_addresslist "$f"; done
printf '127.0.0.2 7777 7778\r\n; comment\r\n\r\nhost.example 1\r\n127.0.0.3\t7777\t7778\n' | seed fuzz_addresslist mixed

# GameSpy-protocol masters: challenges and list answers.
printf '\\basic\\\\secure\\ABCDEF\\final\\' | seed fuzz_gamespy challenge_final
printf '\\basic\\\\secure\\QWERTY' | seed fuzz_gamespy challenge_bare
printf '\\ip\\1.2.3.4:7778\\ip\\127.0.0.2:7778\\ip\\999.1.1.1:7778\\junk\\\\ip\\5.6.7.8:65536\\final\\' | seed fuzz_gamespy list_mixed
printf '\\echo\\wrong validate\\final\\' | seed fuzz_gamespy echo
printf 'gamespy://127.0.0.1:28900' | seed fuzz_gamespy source

# INI files, clans and the private-profile functions.
for f in "$data"/ini/input/* "$data"/platform/ini/*.ini; do copy fuzz_inistore "$f"; copy fuzz_profile "$f"; done
printf '[A]\nK=1\nK=2\nK=3\n[A]\nK=4\n' | seed fuzz_inistore duplicates
printf '[Engine.GameInfo]\r\nMaxPlayers=8\r\n\x1eEngine.GameInfo\x1eMaxPlayers' | seed fuzz_profile with_key
printf '[Engine.GameInfo]\r\nMaxPlayers=8\r\n\x1eEngine.GameInfo\x1eMaxPlayers\x1e12' | seed fuzz_profile with_write
copy fuzz_clanslist "$data/orv/tools/clans.lst"

# The settings store's file.
printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE\\Orvane]\n"Flags"=dword:0000002a\n"Path"="C:\\\\UT\\\\\\"a\\""\n@=hex:00,ff\n"Multi"=hex(7):41,00,00,00\n\n[-HKEY_CURRENT_USER\\SOFTWARE\\Gone]\n"Dead"=-\n' | seed fuzz_registryformat regedit4

# Checker scripts, each followed by a server answer to evaluate against.
printf -- '-,NumPlayers,>,0\r\nand\r\n-,Ping,<,300\x1e\\numplayers\\4\\hostname\\Duel\\final\\\\queryid\\1.1' | seed fuzz_checker two_rules
printf -- '{\r\n-,HostName,=,*duel*\r\nor\r\n-,MapName,<>,DM-Deck16\r\n}\r\nandnot\r\n-,IP,=,127.0.0.2\x1e\\mapname\\DM-Deck16\\final\\' | seed fuzz_checker block
printf -- '-,Ping,<,300\r\nand\r\n' | seed fuzz_checker bad_end

# UnrealScript sources and the web admin page.
for f in "$data"/uc/input/*.uc; do copy fuzz_unrealscript "$f"; done
copy fuzz_pageparser "$data/webadmin/current_players_row_markup.txt"
# Skin and voice lists shipped with the program.
for f in "$root"/orv/app/data/*.lst; do copy fuzz_skintables "$f"; done
printf 'SkinsCount=2\r\nname[0]=A\r\nskin[0]=S.s\r\nmesh[0]=M\r\npict[0]=99999\r\nname[1]=\r\nview[1]=true\r\nname[9999]=x\r\n' | seed fuzz_skintables odd_indexes
echo "seeds written to $out"
