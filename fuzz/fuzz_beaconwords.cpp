// SPDX-License-Identifier: GPL-3.0-or-later
// The local beacon answer is read inside the discovery's socket handler, which needs the
// engine and the network; what it does with the answer's bytes is this chain of text
// helpers ("<sender>:<sign> <query port> ..."), fuzzed here on their own, together with the
// other word helpers the readers use.

#include "fuzz/fuzzinput.h"
#include "orv/engine/textutil.h"

using namespace orv::engine;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView input = fuzzinput::bytes(data, size);
    QString rest = decodeServerText(input);
    for (const QChar c : rest) {
        if (c.unicode() < 0x20 || (c.unicode() >= 0x7F && c.unicode() < 0xA0))
            __builtin_trap(); // the text of servers reaches the windows without control characters
    }
    (void)encodeServerText(rest);
    (void)SplitHead(rest, QLatin1Char(':'));
    (void)SplitHead(rest, QLatin1Char(' '));
    const QString port = SplitHead(rest, QLatin1Char(' '));
    (void)parsePortNumber(port);
    (void)parseWholeNumber(port);
    for (int n = 0; n < 4; ++n)
        (void)NthWord(n, rest, u" \t");
    (void)RemoveChar(rest, QLatin1Char('\\'));
    (void)ReplaceAll(rest, u"\\", u"/");
    return 0;
}
