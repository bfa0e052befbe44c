// SPDX-License-Identifier: GPL-3.0-or-later
#include "quillet/core/tokendump.h"

#include "quillet/core/unrealscriptsyn.h"

namespace quillet::core {

void appendEscaped(std::string_view bytes, std::string &out)
{
    for (const char c : bytes) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\n':
            out += "\\n";
            break;
        default:
            out += c;
            break;
        }
    }
}

void dumpTokens(std::string_view text, std::string &out)
{
    TUnrealScriptSyn scanner;
    scanner.ClearLineState();
    std::string line; // NUL-terminated copy of the current line, reused
    std::size_t pos = 0;
    int lineNumber = 0;
    while (pos < text.size()) {
        std::size_t end = pos;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n')
            ++end;
        line.assign(text.substr(pos, end - pos));
        std::size_t next = end;
        if (next < text.size()) {
            next += (text[next] == '\r' && next + 1 < text.size() && text[next + 1] == '\n') ? 2 : 1;
        }
        ++lineNumber;
        const std::string number = std::to_string(lineNumber);

        scanner.StartLine(line.c_str(), lineNumber - 1);
        while (!scanner.AtLineEnd()) {
            out += number;
            out += '\t';
            out += std::to_string(scanner.CurrentStart());
            out += '\t';
            out += std::to_string(scanner.CurrentKind());
            out += '\t';
            appendEscaped(scanner.CurrentText(), out);
            out += '\n';
            scanner.NextToken();
        }
        out += number;
        out += "\trange\t";
        out += std::to_string(scanner.LineState());
        out += '\n';
        pos = next;
    }
}

} // namespace quillet::core
