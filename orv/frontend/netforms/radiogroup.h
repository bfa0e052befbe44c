// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QGroupBox>
#include <QList>
#include <QStringList>

class QButtonGroup;
class QRadioButton;

namespace orv::frontend {

// A captioned group of radio buttons whose state is one item index (-1 for none), as the
// option windows store it ("Reloadlist.ItemIndex"). clicked() follows user clicks only.
class TRadioGroup : public QGroupBox
{
    Q_OBJECT
    Q_PROPERTY(int ItemIndex READ itemIndex WRITE setItemIndex)

public:
    TRadioGroup(const QString &caption, const QStringList &items, int columns, QWidget *parent = nullptr);

    int itemIndex() const;
    void setItemIndex(int index);
    int count() const { return static_cast<int>(m_buttons.size()); }
    QRadioButton *button(int index) const { return m_buttons.value(index); }

signals:
    void clicked(int index);

private:
    QButtonGroup *m_group = nullptr;
    QList<QRadioButton *> m_buttons;
};

} // namespace orv::frontend
