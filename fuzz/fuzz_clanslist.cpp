// SPDX-License-Identifier: GPL-3.0-or-later
// The downloaded clans directory: clans, their members and each member's details.

#include "fuzz/fuzzinput.h"
#include "orv/tools/clanslist.h"

using namespace orv::tools;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    ClansList clans;
    clans.loadFromBytes(fuzzinput::bytes(data, size));
    int budget = 64;
    for (const ClanEntry &clan : clans.clans()) {
        for (const QByteArray &member : clans.members(clan.shortName)) {
            (void)clans.memberInfo(member);
            if (--budget == 0)
                return 0;
        }
    }
    return 0;
}
