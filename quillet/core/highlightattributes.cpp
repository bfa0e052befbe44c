// SPDX-License-Identifier: GPL-3.0-or-later
#include "quillet/core/highlightattributes.h"

#include <algorithm>

namespace quillet::core {

TmwHighLightAttributes::TmwHighLightAttributes(std::string name)
    : m_name(std::move(name))
{}

void TmwHighLightAttributes::setForeground(TColor colour)
{
    if (colour == m_foreground)
        return;
    m_foreground = colour;
    changed();
}

void TmwHighLightAttributes::setBackground(TColor colour)
{
    if (colour == m_background)
        return;
    m_background = colour;
    changed();
}

void TmwHighLightAttributes::setStyle(std::uint8_t style)
{
    style &= fsBold | fsItalic | fsUnderline | fsStrikeOut;
    if (style == m_style)
        return;
    m_style = style;
    changed();
}

void TmwHighLightAttributes::changed()
{
    if (m_onChange)
        m_onChange();
}

TmwHighLightAttributes *TmwCustomHighLighter::Attribute(int index) const
{
    if (index < 0 || index >= AttrCount())
        return nullptr;
    return m_attributes[static_cast<std::size_t>(index)];
}

TmwHighLightAttributes *TmwCustomHighLighter::AttributeByName(std::string_view name) const
{
    for (TmwHighLightAttributes *attribute : m_attributes) {
        if (attribute->name() == name)
            return attribute;
    }
    return nullptr;
}

bool TmwCustomHighLighter::AddAttribute(TmwHighLightAttributes *attribute)
{
    const auto pos = std::lower_bound(
        m_attributes.begin(), m_attributes.end(), attribute,
        [](const TmwHighLightAttributes *a, const TmwHighLightAttributes *b) { return a->name() < b->name(); });
    if (pos != m_attributes.end() && (*pos)->name() == attribute->name())
        return false;
    m_attributes.insert(pos, attribute);
    attribute->setChangeHandler([this] { attributeChanged(); });
    return true;
}

void TmwCustomHighLighter::attributeChanged()
{
    if (m_onAttributeChange)
        m_onAttributeChange();
}

} // namespace quillet::core
