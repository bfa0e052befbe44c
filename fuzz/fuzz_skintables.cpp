// SPDX-License-Identifier: GPL-3.0-or-later
// The skin and voice lists next to the program (u_skins.lst, ut_skins.lst, ut_voices.lst):
// both games' skin tables, the face menu built from them and the voice list.

#include "fuzz/fuzzinput.h"
#include "orv/core/skintables.h"

using namespace orv::core;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QStringList lines = fuzzinput::latin1Lines(fuzzinput::bytes(data, size));
    for (const SkinGame game : {SkinGame::Unreal, SkinGame::UT}) {
        const auto table = parseSkinList(lines, game);
        if (!table)
            continue;
        if (table->entries.size() != SkinTable::slotCount(game))
            __builtin_trap(); // a table always has all its slots
        for (const int index : table->menuIndexes()) {
            const SkinEntry *entry = table->entry(index);
            if (entry == nullptr)
                __builtin_trap(); // the menu lists only entries that exist
            (void)properCase(entry->name);
        }
        (void)table->entry(-1);
        (void)table->entry(table->count);
        (void)table->picture(table->count);
    }
    (void)parseVoiceList(lines);
    return 0;
}
