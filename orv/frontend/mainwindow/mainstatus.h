// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QLabel;
class QMainWindow;
class QWidget;

namespace orv::frontend {

// The two panels of the status bar: refresh progress, then the latest message.
enum class StatusPanel { Progress, Message };

// The main window's state texts: the mode label of its top bar and the two panels of its
// status bar. The labels are children of the window and made where its layout places them.
class MainStatus
{
public:
    // The mode label, "Not selected" until a list is shown.
    QLabel *createModeLabel(QWidget *parent);
    // The status bar's panels: refresh progress, then the latest message.
    void createPanels(QMainWindow &window);

    QString modeText() const;
    void setModeText(const QString &text);
    QString text(StatusPanel panel) const;
    void setText(StatusPanel panel, const QString &text);
    // A hovered menu item's hint goes to the message panel alone, so the refresh progress
    // stays in sight; an empty hint brings the message back.
    void showTip(const QString &tip);

private:
    QLabel *m_mode = nullptr;
    QLabel *m_status0 = nullptr;
    QLabel *m_status1 = nullptr;
    // The latest status message; a command's hint covers it while a menu item is hovered.
    QString m_statusMessage;
    bool m_showingStatusTip = false;
};

} // namespace orv::frontend
