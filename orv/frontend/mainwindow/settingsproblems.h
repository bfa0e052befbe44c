// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

#include <QPointer>
#include <QSet>
#include <QString>
#include <QStringList>

class QWidget;

namespace orv::frontend {

// Tells the user when the browser cannot read or write its settings. The first problem of
// a run is shown in a message box, every distinct one is written to the log, and the
// program goes on with the settings it has; the settings store itself never replaces a
// file it could not read.
class SettingsProblems
{
public:
    // The window the message box belongs to, and the log operation.
    void setWindow(QWidget *window) { m_window = window; }
    void setLog(std::function<void(const QString &)> log) { m_log = std::move(log); }

    void report(const QString &message);

    // The windows are about to go: problems from now on are kept, not shown.
    void programEnding();
    // After the last save of the program's end: if it failed and the user has not been
    // told of any problem yet, says so in a message box that waits for OK.
    void programEnded();

    bool boxShown() const { return m_boxShown; }
    // Every distinct problem reported so far, in order.
    const QStringList &problems() const { return m_problems; }

    static QString boxText(const QString &message);

private:
    QPointer<QWidget> m_window;
    std::function<void(const QString &)> m_log;
    QStringList m_problems;
    QSet<QString> m_known;
    QStringList m_atEnd;
    bool m_boxShown = false;
    bool m_ending = false;
};

} // namespace orv::frontend
