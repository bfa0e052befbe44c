// SPDX-License-Identifier: GPL-3.0-or-later
// A master server's bytes: the challenge message and the list answer, read with and
// without loopback entries allowed, and the answer computed for whatever challenge came.

#include "fuzz/fuzzinput.h"
#include "orv/net/gamespy.h"

using namespace orv::net;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView input = fuzzinput::bytes(data, size);
    const GameSpyChallenge challenge = parseGameSpyChallenge(input);
    if (challenge.state == GameSpyChallenge::State::Ready) {
        if (gameSpyValidate(challenge.challenge, gameSpyGameKey(MasterGame::UnrealTournament)).size() != 8)
            __builtin_trap();
    }
    (void)gameSpyValidate(input, input);
    for (const bool loopback : {false, true}) {
        const GameSpyList list = parseGameSpyList(input, loopback);
        for (const QByteArray &line : list.lines) {
            if (line.count(' ') != 2)
                __builtin_trap();
        }
    }
    (void)gameSpyAnswerComplete(input);
    (void)parseMasterSource(fuzzinput::latin1(input));
    return 0;
}
