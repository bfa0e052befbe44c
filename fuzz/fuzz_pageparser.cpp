// SPDX-License-Identifier: GPL-3.0-or-later
// The web administration page of a game server, as the announcer reads its player table.

#include "fuzz/fuzzinput.h"
#include "heraldex/core/pageparser.h"

using namespace heraldex::core;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString page = fuzzinput::latin1(fuzzinput::bytes(data, size));
    (void)hasPlayerTable(page);
    const QList<PlayerRow> rows = parsePlayerRows(page);
    for (const PlayerRow &row : rows) {
        if (row.name.size() > page.size() || row.ip.size() > page.size())
            __builtin_trap();
    }
    return 0;
}
