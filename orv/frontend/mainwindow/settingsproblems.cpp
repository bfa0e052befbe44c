// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/frontend/mainwindow/settingsproblems.h"

#include <QLoggingCategory>
#include <QMessageBox>
#include <QWidget>

Q_LOGGING_CATEGORY(lcSettingsProblems, "orv.frontend.settings")

namespace orv::frontend {

QString SettingsProblems::boxText(const QString &message)
{
    return QStringLiteral("Orvane cannot keep its settings:\n\n") + message +
           QStringLiteral("\n\nThe settings file is left as it is. Orvane goes on with the settings it has.");
}

void SettingsProblems::report(const QString &message)
{
    if (message.isEmpty() || m_known.contains(message))
        return;
    m_known.insert(message);
    m_problems.append(message);
    qCWarning(lcSettingsProblems).noquote() << message;
    if (m_ending) {
        m_atEnd.append(message);
        return;
    }
    if (m_log)
        m_log(QStringLiteral("Settings: ") + message);
    if (m_boxShown)
        return;
    m_boxShown = true;
    // Not modal: a load that fails inside a running refresh or download must not stop it.
    auto *box =
        new QMessageBox(QMessageBox::Warning, QStringLiteral("Orvane"), boxText(message), QMessageBox::Ok, m_window);
    box->setObjectName(QStringLiteral("SettingsProblemBox"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
}

void SettingsProblems::programEnding()
{
    m_ending = true;
    m_log = nullptr;
    m_window = nullptr;
}

void SettingsProblems::programEnded()
{
    if (m_atEnd.isEmpty() || m_boxShown)
        return;
    m_boxShown = true;
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Orvane"), boxText(m_atEnd.constFirst()), QMessageBox::Ok);
    box.setObjectName(QStringLiteral("SettingsProblemBox"));
    box.exec();
}

} // namespace orv::frontend
