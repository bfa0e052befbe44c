// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include "quillet/core/highlightattributes.h"

namespace quillet::core {

// Colours and font style chosen for one class of tokens. A new style is black on black
// with no font style, as the stored settings read when nothing was written.
struct TTokenStyle
{
    TColor Foreground = 0;
    TColor Background = 0;
    std::uint8_t Style = 0; // FontStyleBit flags

    friend bool operator==(const TTokenStyle &, const TTokenStyle &) = default;
};

} // namespace quillet::core
