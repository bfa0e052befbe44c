// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>
#include <QTcpServer>

class QTcpSocket;

namespace testsupport {

// A game server's web admin on 127.0.0.1 (ephemeral port) for tests: it demands basic
// authentication and serves "/ServerAdmin/current_players" from a page the test changes
// between polls. It can also stay silent, or send a page of any size.
class FakeWebAdmin : public QObject
{
    Q_OBJECT

public:
    enum class Mode { Answer, Silent, NotFound };

    struct Request
    {
        QByteArray method;
        QByteArray path;
        QByteArray host;
        QByteArray userAgent;
        // The decoded "user:password" of the Authorization header; empty without one.
        QByteArray credentials;
    };

    FakeWebAdmin(QByteArray user, QByteArray password, QObject *parent = nullptr);

    bool start();
    void stop();
    quint16 port() const;
    QString portText() const { return QString::number(port()); }

    void setMode(Mode mode) { m_mode = mode; }
    // The page served to every authorised request from now on (8-bit text).
    void setPage(const QString &page) { m_page = page.toLatin1(); }
    void setPageBytes(const QByteArray &bytes) { m_page = bytes; }

    const QList<Request> &requests() const { return m_requests; }
    int authorisedRequests() const;

private:
    void onConnection();
    void onReadyRead(QTcpSocket *socket);

    QTcpServer m_server;
    QByteArray m_user;
    QByteArray m_password;
    QByteArray m_page;
    Mode m_mode = Mode::Answer;
    QList<Request> m_requests;
};

} // namespace testsupport
