// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/frontend/netforms/radiogroup.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QRadioButton>

namespace orv::frontend {

TRadioGroup::TRadioGroup(const QString &caption, const QStringList &items, int columns, QWidget *parent)
    : QGroupBox(caption, parent)
    , m_group(new QButtonGroup(this))
{
    auto *grid = new QGridLayout(this);
    const int perColumn = columns > 1 ? (static_cast<int>(items.size()) + columns - 1) / columns : 1;
    for (int i = 0; i < items.size(); ++i) {
        auto *button = new QRadioButton(items.at(i), this);
        m_group->addButton(button, i);
        m_buttons.append(button);
        if (columns > 1)
            grid->addWidget(button, i % perColumn, i / perColumn);
        else
            grid->addWidget(button, i, 0);
    }
    connect(m_group, &QButtonGroup::idClicked, this, &TRadioGroup::clicked);
}

int TRadioGroup::itemIndex() const
{
    return m_group->checkedId();
}

void TRadioGroup::setItemIndex(int index)
{
    if (index >= 0 && index < m_buttons.size()) {
        m_buttons.at(index)->setChecked(true);
        return;
    }
    // A stored index outside the items clears the choice, as an out-of-range index does.
    m_group->setExclusive(false);
    for (QRadioButton *button : m_buttons)
        button->setChecked(false);
    m_group->setExclusive(true);
}

} // namespace orv::frontend
