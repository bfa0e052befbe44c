// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quillet::core {

// A Windows colour value, 0x00BBGGRR.
using TColor = std::uint32_t;
// "No colour": the editing control paints with its own colour.
constexpr TColor clNone = 0x1FFFFFFF;

// Font style bits, the same bits the settings store uses.
enum FontStyleBit : std::uint8_t {
    fsBold = 1,
    fsItalic = 2,
    fsUnderline = 4,
    fsStrikeOut = 8,
};

// The look of one class of tokens: colours and font style. Every change calls the change
// handler that its highlighter installed, so the editing controls can repaint.
class TmwHighLightAttributes
{
public:
    explicit TmwHighLightAttributes(std::string name);

    const std::string &name() const { return m_name; }
    TColor foreground() const { return m_foreground; }
    TColor background() const { return m_background; }
    std::uint8_t style() const { return m_style; }

    void setForeground(TColor colour);
    void setBackground(TColor colour);
    void setStyle(std::uint8_t style);

    void setChangeHandler(std::function<void()> handler) { m_onChange = std::move(handler); }

private:
    void changed();

    std::string m_name;
    TColor m_foreground = clNone;
    TColor m_background = clNone;
    std::uint8_t m_style = 0;
    std::function<void()> m_onChange;
};

// Base of highlighters: keeps the attributes in a list sorted by name that refuses
// duplicate names, and forwards every attribute change to one listener.
class TmwCustomHighLighter
{
public:
    TmwCustomHighLighter() = default;
    virtual ~TmwCustomHighLighter() = default;
    TmwCustomHighLighter(const TmwCustomHighLighter &) = delete;
    TmwCustomHighLighter &operator=(const TmwCustomHighLighter &) = delete;

    int AttrCount() const { return static_cast<int>(m_attributes.size()); }
    // By index in name order; nullptr out of range.
    TmwHighLightAttributes *Attribute(int index) const;
    TmwHighLightAttributes *AttributeByName(std::string_view name) const;

    // Called after any attribute changed its colours or style.
    void setAttributeChangeHandler(std::function<void()> handler) { m_onAttributeChange = std::move(handler); }

protected:
    // False (and the attribute is not listed) when the name is already taken.
    bool AddAttribute(TmwHighLightAttributes *attribute);

private:
    void attributeChanged();

    std::vector<TmwHighLightAttributes *> m_attributes;
    std::function<void()> m_onAttributeChange;
};

} // namespace quillet::core
