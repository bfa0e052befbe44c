// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/demo/fakemasterserver.h"

#include <algorithm>

#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

namespace orv::demo {

namespace {

// A request head larger than this is refused; nothing legitimate comes close.
constexpr qsizetype kMaxRequestHead = 64 * 1024;

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 204:
        return "No Content";
    case 301:
        return "Moved Permanently";
    case 302:
        return "Found";
    case 400:
        return "Bad Request";
    case 401:
        return "Unauthorized";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 431:
        return "Request Header Fields Too Large";
    case 500:
        return "Internal Server Error";
    case 503:
        return "Service Unavailable";
    default:
        return "Status";
    }
}

// "/path?query" from a request target; a proxy passes the absolute form "http://host:port/path".
QByteArray pathOf(const QByteArray &target)
{
    QByteArray path = target;
    const qsizetype scheme = path.indexOf("://");
    if (scheme >= 0) {
        const qsizetype slash = path.indexOf('/', scheme + 3);
        path = slash >= 0 ? path.mid(slash) : QByteArray("/");
    }
    const qsizetype query = path.indexOf('?');
    if (query >= 0)
        path.truncate(query);
    return path;
}

} // namespace

struct FakeMasterServer::Connection
{
    QByteArray buffer;
    bool responded = false;
    QByteArray body;
    qsizetype sent = 0;
    int chunkSize = 0;
    int chunkDelayMs = 0;
};

QByteArray HttpRequestRecord::header(QByteArrayView name) const
{
    const QByteArray wanted = name.toByteArray().toLower();
    for (const auto &[key, value] : headers) {
        if (key == wanted)
            return value;
    }
    return {};
}

FakeMasterServer::FakeMasterServer(QObject *parent)
    : QObject(parent)
    , m_server(new QTcpServer(this))
{
    connect(m_server, &QTcpServer::newConnection, this, &FakeMasterServer::acceptConnections);
}

FakeMasterServer::~FakeMasterServer()
{
    close();
}

bool FakeMasterServer::listen(const QHostAddress &address, quint16 port)
{
    close();
    return m_server->listen(address, port);
}

void FakeMasterServer::close()
{
    m_server->close();
    // Detach first: aborting emits disconnected, which would re-enter dropConnection.
    auto connections = std::move(m_connections);
    m_connections.clear();
    for (auto &[socket, state] : connections) {
        socket->disconnect(this);
        socket->abort();
        socket->deleteLater();
    }
}

QHostAddress FakeMasterServer::address() const
{
    return m_server->serverAddress();
}

quint16 FakeMasterServer::port() const
{
    return m_server->serverPort();
}

QUrl FakeMasterServer::url(const QByteArray &path) const
{
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(address().toString());
    url.setPort(port());
    const qsizetype query = path.indexOf('?');
    url.setPath(QString::fromLatin1(query >= 0 ? path.left(query) : path));
    if (query >= 0)
        url.setQuery(QString::fromLatin1(path.mid(query + 1)));
    return url;
}

void FakeMasterServer::setRoute(const QByteArray &path, const HttpRoute &route)
{
    m_routes.insert(path, route);
}

void FakeMasterServer::setBody(const QByteArray &path, const QByteArray &body)
{
    HttpRoute route;
    route.body = body;
    setRoute(path, route);
}

void FakeMasterServer::removeRoute(const QByteArray &path)
{
    m_routes.remove(path);
}

int FakeMasterServer::openConnections() const
{
    return static_cast<int>(m_connections.size());
}

void FakeMasterServer::acceptConnections()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        m_connections.emplace(socket, std::make_unique<Connection>());
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readRequest(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] { dropConnection(socket); });
        readRequest(socket);
    }
}

void FakeMasterServer::readRequest(QTcpSocket *socket)
{
    const auto found = m_connections.find(socket);
    if (found == m_connections.end())
        return;
    Connection &connection = *found->second;
    if (connection.responded) {
        // A request body or a second request on a closing connection: not ours to read.
        socket->readAll();
        return;
    }
    connection.buffer += socket->readAll();
    const qsizetype headEnd = connection.buffer.indexOf("\r\n\r\n");
    if (headEnd < 0) {
        if (connection.buffer.size() > kMaxRequestHead) {
            connection.responded = true;
            socket->write("HTTP/1.1 431 Request Header Fields Too Large\r\nConnection: close\r\n"
                          "Content-Length: 0\r\n\r\n");
            socket->disconnectFromHost();
        }
        return;
    }

    HttpRequestRecord request;
    const QList<QByteArray> lines = connection.buffer.left(headEnd).split('\n');
    const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
    request.method = requestLine.value(0);
    request.target = requestLine.value(1);
    request.path = pathOf(request.target);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines.at(i).trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            continue;
        request.headers.append({line.left(colon).trimmed().toLower(), line.mid(colon + 1).trimmed()});
    }
    connection.responded = true;
    m_requests.append(request);
    emit requestReceived(request);
    // A slot connected to requestReceived may have closed the server.
    if (m_connections.count(socket))
        respond(socket, request);
}

void FakeMasterServer::respond(QTcpSocket *socket, const HttpRequestRecord &request)
{
    Connection &connection = *m_connections.at(socket);
    HttpRoute route;
    const auto found = m_routes.constFind(request.path);
    if (found != m_routes.constEnd()) {
        route = found.value();
    } else {
        route.status = 404;
        route.body = "Not Found\n";
    }
    if (!route.user.isEmpty() || !route.password.isEmpty()) {
        const QByteArray expected = "Basic " + (route.user + ':' + route.password).toBase64();
        if (request.header("authorization") != expected) {
            HttpRoute refusal;
            refusal.status = 401;
            refusal.headers.append("WWW-Authenticate: Basic realm=\"Master list\"");
            refusal.body = "Unauthorized\n";
            route = refusal;
        }
    }

    const bool head = request.method == "HEAD";
    QByteArray response = "HTTP/1.1 " + QByteArray::number(route.status) + ' ' +
                          (route.reason.isEmpty() ? reasonPhrase(route.status) : route.reason) + "\r\n";
    if (!route.contentType.isEmpty())
        response += "Content-Type: " + route.contentType + "\r\n";
    if (route.contentLength)
        response += "Content-Length: " + QByteArray::number(route.body.size()) + "\r\n";
    response += "Connection: close\r\n";
    for (const QByteArray &line : std::as_const(route.headers))
        response += line + "\r\n";
    response += "\r\n";
    socket->write(response);
    if (head) {
        socket->disconnectFromHost();
        return;
    }

    connection.body = route.body;
    if (route.stallAfter >= 0) {
        // Part of the body, then silence: the connection stays open until the client leaves.
        socket->write(route.body.left(route.stallAfter));
        return;
    }
    if (route.chunkSize > 0) {
        connection.chunkSize = route.chunkSize;
        connection.chunkDelayMs = std::max(0, route.chunkDelayMs);
        sendChunk(socket);
        return;
    }
    socket->write(route.body);
    socket->disconnectFromHost();
}

void FakeMasterServer::sendChunk(QTcpSocket *socket)
{
    const auto found = m_connections.find(socket);
    if (found == m_connections.end())
        return;
    Connection &connection = *found->second;
    const QByteArray piece = connection.body.mid(connection.sent, connection.chunkSize);
    socket->write(piece);
    connection.sent += piece.size();
    if (connection.sent >= connection.body.size()) {
        socket->disconnectFromHost();
        return;
    }
    QTimer::singleShot(connection.chunkDelayMs, socket, [this, socket] { sendChunk(socket); });
}

void FakeMasterServer::dropConnection(QTcpSocket *socket)
{
    if (m_connections.erase(socket) > 0)
        socket->deleteLater();
}

} // namespace orv::demo
