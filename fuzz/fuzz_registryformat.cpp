// SPDX-License-Identifier: GPL-3.0-or-later
// The settings store's file reader, and the writer's value lines for everything it read.

#include "fuzz/fuzzinput.h"
#include "platform/registryformat.h"

using namespace platform;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const regformat::ParseResult parsed = regformat::parse(fuzzinput::bytes(data, size), u"HKEY_CURRENT_USER");
    for (const regformat::ParsedValue &value : parsed.values) {
        if (!value.isKeyOnly && !value.deleteKey && !value.deleteValue)
            (void)regformat::formatValueLine(value.name, value.value);
        (void)regformat::escapeText(value.keyPath);
    }
    return 0;
}
