// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/heraldex/core/fakewebadmin.h"

#include <QTcpSocket>

namespace testsupport {

FakeWebAdmin::FakeWebAdmin(QByteArray user, QByteArray password, QObject *parent)
    : QObject(parent)
    , m_user(std::move(user))
    , m_password(std::move(password))
{
    connect(&m_server, &QTcpServer::newConnection, this, &FakeWebAdmin::onConnection);
}

bool FakeWebAdmin::start()
{
    return m_server.listen(QHostAddress(QStringLiteral("127.0.0.1")), 0);
}

void FakeWebAdmin::stop()
{
    m_server.close();
}

quint16 FakeWebAdmin::port() const
{
    return m_server.serverPort();
}

int FakeWebAdmin::authorisedRequests() const
{
    const QByteArray expected = m_user + ':' + m_password;
    return static_cast<int>(std::count_if(m_requests.begin(), m_requests.end(),
                                          [&](const Request &r) { return r.credentials == expected; }));
}

void FakeWebAdmin::onConnection()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        socket->setParent(this);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}

void FakeWebAdmin::onReadyRead(QTcpSocket *socket)
{
    QByteArray buffer = socket->property("buffer").toByteArray() + socket->readAll();
    socket->setProperty("buffer", buffer);
    const qsizetype headEnd = buffer.indexOf("\r\n\r\n");
    if (headEnd < 0)
        return;
    socket->setProperty("buffer", buffer.mid(headEnd + 4));

    const QList<QByteArray> lines = buffer.left(headEnd).split('\n');
    Request request;
    const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
    request.method = first.value(0);
    request.path = first.value(1);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon < 0)
            continue;
        const QByteArray name = line.left(colon).trimmed().toLower();
        const QByteArray value = line.mid(colon + 1).trimmed();
        if (name == "host")
            request.host = value;
        else if (name == "user-agent")
            request.userAgent = value;
        else if (name == "authorization" && value.startsWith("Basic "))
            request.credentials = QByteArray::fromBase64(value.mid(6));
    }
    m_requests.append(request);

    if (m_mode == Mode::Silent)
        return;

    QByteArray response;
    if (request.credentials != m_user + ':' + m_password) {
        const QByteArray body = "<html><body>Unauthorized</body></html>";
        response = "HTTP/1.0 401 Unauthorized\r\nWWW-Authenticate: Basic realm=\"UT Server Admin Server\"\r\n"
                   "Content-Type: text/html\r\nContent-Length: " +
                   QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
    } else if (m_mode == Mode::NotFound || request.path != "/ServerAdmin/current_players") {
        const QByteArray body = "<html><body>Not found</body></html>";
        response =
            "HTTP/1.0 404 Not Found\r\nContent-Type: text/html\r\nContent-Length: " + QByteArray::number(body.size()) +
            "\r\nConnection: close\r\n\r\n" + body;
    } else {
        response =
            "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\nContent-Length: " + QByteArray::number(m_page.size()) +
            "\r\nConnection: close\r\n\r\n" + m_page;
    }
    socket->write(response);
    socket->disconnectFromHost();
}

} // namespace testsupport
