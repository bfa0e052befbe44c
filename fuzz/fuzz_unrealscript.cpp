// SPDX-License-Identifier: GPL-3.0-or-later
// The UnrealScript scanner over arbitrary bytes: the whole-text token dump and a line by line
// scan that checks every token lies inside its line and that the scan always advances.

#include <string>

#include "fuzz/fuzzinput.h"
#include "quillet/core/tokendump.h"
#include "quillet/core/unrealscriptsyn.h"

using namespace quillet::core;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);
    std::string out;
    dumpTokens(text, out);

    static TUnrealScriptSyn syn;
    syn.ClearLineState();
    std::size_t start = 0;
    int lineIndex = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = text.substr(start, end - start);
        syn.StartLine(line.c_str(), lineIndex++);
        int lastStart = -1;
        while (!syn.AtLineEnd()) {
            const int tokenStart = syn.CurrentStart();
            if (tokenStart <= lastStart || tokenStart < 0 || static_cast<std::size_t>(tokenStart) > line.size() ||
                tokenStart + syn.CurrentText().size() > line.size())
                __builtin_trap();
            lastStart = tokenStart;
            (void)syn.CurrentAttribute();
            syn.NextToken();
        }
        start = end + 1;
    }
    return 0;
}
