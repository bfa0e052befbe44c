// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace quillet::core {

// Scans a whole text the way the editor does after loading it (line 0 starts in the normal
// range, each later line in the range the previous one ended in; lines split at CR LF, LF
// or CR, and a break at the very end starts no further line) and appends, per token but
// the line end, "L<TAB>S<TAB>K<TAB>TEXT\n" (line from 1, start offset, kind ordinal, text
// with \\, \t, \r and \n escaped), then "L<TAB>range<TAB>R\n" with the range the line ends in.
void dumpTokens(std::string_view text, std::string &out);

// Backslash, TAB, CR and LF written as \\, \t, \r and \n; every other byte as it is.
void appendEscaped(std::string_view bytes, std::string &out);

} // namespace quillet::core
