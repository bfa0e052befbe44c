// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/engine/engineoptions.h"

#include "orv/engine/textutil.h"

namespace orv::engine {

std::optional<int> parseOption(QStringView text, OptionRange range)
{
    const auto n = parseWholeNumber(text.trimmed());
    if (!n || *n < range.least || *n > range.most)
        return std::nullopt;
    return static_cast<int>(*n);
}

} // namespace orv::engine
