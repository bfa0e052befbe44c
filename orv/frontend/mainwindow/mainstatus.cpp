// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/frontend/mainwindow/mainstatus.h"

#include <QLabel>
#include <QMainWindow>
#include <QStatusBar>

namespace orv::frontend {

QLabel *MainStatus::createModeLabel(QWidget *parent)
{
    m_mode = new QLabel(QStringLiteral("Not selected"), parent);
    m_mode->setObjectName(QStringLiteral("ModeLabel"));
    m_mode->setFixedSize(120, 16);
    m_mode->setToolTip(QStringLiteral("Current state"));
    m_mode->setStyleSheet(QStringLiteral("color: #32ff32; font-weight: bold; background: transparent;"));
    return m_mode;
}

void MainStatus::createPanels(QMainWindow &window)
{
    // Status bar: refresh progress, then the latest message.
    m_status0 = new QLabel(&window);
    m_status0->setObjectName(QStringLiteral("StatusPanel0"));
    m_status0->setFixedWidth(70);
    m_status0->setAlignment(Qt::AlignCenter);
    m_status1 = new QLabel(&window);
    m_status1->setObjectName(QStringLiteral("StatusPanel1"));
    window.statusBar()->addWidget(m_status0);
    window.statusBar()->addWidget(m_status1, 1);
    window.statusBar()->setSizeGripEnabled(true);
}

QString MainStatus::modeText() const
{
    return m_mode->text();
}

void MainStatus::setModeText(const QString &text)
{
    m_mode->setText(text);
}

QString MainStatus::text(StatusPanel panel) const
{
    return panel == StatusPanel::Progress ? m_status0->text() : m_statusMessage;
}

void MainStatus::setText(StatusPanel panel, const QString &text)
{
    if (panel == StatusPanel::Progress) {
        m_status0->setText(text);
        return;
    }
    m_statusMessage = text;
    if (!m_showingStatusTip)
        m_status1->setText(text);
}

void MainStatus::showTip(const QString &tip)
{
    m_showingStatusTip = !tip.isEmpty();
    m_status1->setText(m_showingStatusTip ? tip : m_statusMessage);
}

} // namespace orv::frontend
