// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace orv::frontend {

// Keeps the browser to one running instance per user: the first instance listens on a
// local socket; a later start connects to it, asks it to come to the front (or hands it
// the server link it was started with), and ends.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    // link, when not empty, goes to a running instance instead of the request to come forward.
    explicit SingleInstance(const QString &name, const QString &link = {}, QObject *parent = nullptr);
    ~SingleInstance() override;

    // True when no other instance answered and this one now listens.
    bool isPrimary() const { return m_primary; }
    // Asks the running instance to come forward; true when one is running.
    bool activatePrimary(int timeoutMs = 1000) const;
    // Hands a server link to the running instance; true when one is running.
    bool sendLink(const QString &link, int timeoutMs = 1000) const;

    // The socket name for the current user.
    static QString socketName(const QString &name);

    // True when a screen of that size is large enough for the main window (800 x 600).
    static bool displayLargeEnough(const QSize &screen);

signals:
    // A second start asked this instance to come to the front.
    void activationRequested();
    // A later start handed over a server link to follow.
    void linkReceived(const QString &link);

private:
    bool sendLine(const QByteArray &line, int timeoutMs) const;

    QString m_socketName;
    QLocalServer *m_server = nullptr;
    bool m_primary = false;
};

} // namespace orv::frontend
