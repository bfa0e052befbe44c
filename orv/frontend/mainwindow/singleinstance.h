// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace orv::frontend {

// Keeps the browser to one running instance per user: the first instance listens on a
// local socket; a later start connects to it, asks it to come to the front, and ends.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    explicit SingleInstance(const QString &name, QObject *parent = nullptr);
    ~SingleInstance() override;

    // True when no other instance answered and this one now listens.
    bool isPrimary() const { return m_primary; }
    // Asks the running instance to come forward; true when one is running.
    bool activatePrimary(int timeoutMs = 1000) const;

    // The socket name for the current user.
    static QString socketName(const QString &name);

    // True when a screen of that size is large enough for the main window (800 x 600).
    static bool displayLargeEnough(const QSize &screen);

signals:
    // A second start asked this instance to come to the front.
    void activationRequested();

private:
    QString m_socketName;
    QLocalServer *m_server = nullptr;
    bool m_primary = false;
};

} // namespace orv::frontend
