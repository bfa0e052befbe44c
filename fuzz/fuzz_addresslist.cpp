// SPDX-License-Identifier: GPL-3.0-or-later
// Address list files (favorites.lst, internet.lst, local.lst): loading, the line parser,
// the search by address and by value, the sort, and a save and reload of what was read.

#include "fuzz/fuzzinput.h"
#include "orv/engine/addresslist.h"

using namespace orv::engine;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString path = fuzzinput::scratchFile(QStringLiteral("favorites.lst"));
    if (!fuzzinput::writeScratch(path, fuzzinput::bytes(data, size)))
        return 0;
    auto loaded = AddressList::load(path);
    if (!loaded)
        return 0;
    AddressList list = std::move(*loaded);
    int searches = 64; // each search walks the list: a few are enough
    for (const QString &line : list.lines()) {
        const AddressWords words = AddressList::parseLine(line);
        if (!AddressList::isServerLine(line) || --searches < 0)
            continue;
        if (words.toLine() == line && !list.FindAddress(words))
            __builtin_trap(); // a line that is in the list must be found again
        if (const auto server = words.toServer()) {
            // The numbers a line names read back from their own text, and find the line.
            if (ServerAddress::fromText(server->addressText(), server->gamePortText(), server->queryPortText()) !=
                    server ||
                !list.contains(*server))
                __builtin_trap();
        }
    }
    list.sortIgnoringCase();
    const QString copy = fuzzinput::scratchFile(QStringLiteral("favorites-copy.lst"));
    if (list.save(copy)) {
        const auto again = AddressList::load(copy);
        if (!again || again->lines() != list.lines())
            __builtin_trap(); // what was saved must read back the same
    }
    return 0;
}
