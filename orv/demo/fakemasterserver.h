// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <map>
#include <memory>
#include <utility>

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QUrl>

class QTcpServer;
class QTcpSocket;

namespace orv::demo {

// What the server does for one path.
struct HttpRoute
{
    int status = 200;
    // Empty: the usual phrase for the status.
    QByteArray reason;
    QByteArray contentType = "text/plain";
    QByteArray body;
    // Extra response header lines, without line ends ("Location: /elsewhere").
    QList<QByteArray> headers;
    // Announce the body's length; without it the body ends when the connection closes.
    bool contentLength = true;
    // Send the body in pieces of chunkSize bytes with chunkDelayMs between them (0: at once).
    int chunkSize = 0;
    int chunkDelayMs = 0;
    // Send the headers and stallAfter bytes of the body, then keep the connection open and
    // silent until the client gives up (negative: never stall).
    qsizetype stallAfter = -1;
    // When set, requests without "Authorization: Basic" for these credentials get 401.
    QByteArray user;
    QByteArray password;
};

// One request as the server saw it.
struct HttpRequestRecord
{
    QByteArray method;
    // The request target as sent (a proxy sends an absolute URL) and the path it names.
    QByteArray target;
    QByteArray path;
    // Header names in lower case, values trimmed, in the order received.
    QList<std::pair<QByteArray, QByteArray>> headers;

    QByteArray header(QByteArrayView name) const;
};

// A tiny HTTP/1.1 server for loopback tests and the demo: serves fixed bodies per path with
// the behaviours of HttpRoute, answers unknown paths with 404, and closes every connection
// after its response. Lives on the thread that created it.
class FakeMasterServer : public QObject
{
    Q_OBJECT

public:
    explicit FakeMasterServer(QObject *parent = nullptr);
    ~FakeMasterServer() override;

    // Port 0 lets the system choose. Returns false when the port cannot be bound.
    bool listen(const QHostAddress &address = QHostAddress::LocalHost, quint16 port = 0);
    void close();

    QHostAddress address() const;
    quint16 port() const;
    // "http://<address>:<port><path>"; the path may carry a query ("/list.txt?game=ut").
    QUrl url(const QByteArray &path) const;

    void setRoute(const QByteArray &path, const HttpRoute &route);
    void setBody(const QByteArray &path, const QByteArray &body);
    void removeRoute(const QByteArray &path);

    int requestCount() const { return static_cast<int>(m_requests.size()); }
    const QList<HttpRequestRecord> &requests() const { return m_requests; }
    // Connections that are still open (a stalled response keeps its connection).
    int openConnections() const;

signals:
    void requestReceived(const HttpRequestRecord &request);

private:
    struct Connection;

    void acceptConnections();
    void readRequest(QTcpSocket *socket);
    void respond(QTcpSocket *socket, const HttpRequestRecord &request);
    void sendChunk(QTcpSocket *socket);
    void dropConnection(QTcpSocket *socket);

    QTcpServer *m_server = nullptr;
    QHash<QByteArray, HttpRoute> m_routes;
    std::map<QTcpSocket *, std::unique_ptr<Connection>> m_connections;
    QList<HttpRequestRecord> m_requests;
};

} // namespace orv::demo
