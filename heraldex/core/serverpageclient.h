// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>

#include <QObject>
#include <QPointer>
#include <QString>

class QNetworkAccessManager;
class QNetworkReply;
class QTimer;

namespace heraldex::core {

// Where the game server's web admin listens and whom it lets in.
struct ServerLogin
{
    QString adminName;
    QString password;
    QString address;
    QString port;
};

// Why a download gave no page; the page text alone is what the announcer acts on.
enum class PageError { None, BadAddress, Unreachable, Refused, TimedOut, TooLarge, HttpStatus };

// Downloads "/ServerAdmin/current_players" from a game server's web admin, answering its
// basic-authentication challenge with the admin name and password. The credentials never
// become part of the address, so any character in them is safe. Every download has an
// overall time-out and a size limit, so a silent or endless server cannot hold a poll.
class ServerPageClient : public QObject
{
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds kDefaultTimeout{15000};
    static constexpr qint64 kDefaultMaxPageSize = 4 * 1024 * 1024;

    explicit ServerPageClient(QObject *parent = nullptr);
    ~ServerPageClient() override;

    void setTimeout(std::chrono::milliseconds timeout);
    std::chrono::milliseconds timeout() const { return m_timeout; }
    // The HTTP status of the last finished download, 0 when none arrived.
    int lastHttpStatus() const { return m_lastHttpStatus; }
    void setMaxPageSize(qint64 bytes);
    bool isBusy() const;

    // Starts the download; pageOpened follows exactly once, also when the address is
    // unusable. A download still running is abandoned and reports nothing.
    void OpenServerPage(const ServerLogin &login);
    void abort();

    // The page as 8-bit text (empty when it could not be downloaded).
    static QString decodePage(const QByteArray &bytes);

signals:
    void pageOpened(const QString &page, heraldex::core::PageError error);

private:
    void finish(QString page, PageError error);
    void onReadyRead();
    void onFinished();

    std::chrono::milliseconds m_timeout = kDefaultTimeout;
    qint64 m_maxPageSize = kDefaultMaxPageSize;
    QPointer<QNetworkAccessManager> m_manager;
    QPointer<QNetworkReply> m_reply;
    QTimer *m_timer = nullptr;
    QByteArray m_body;
    PageError m_abortReason = PageError::None;
    int m_challenges = 0;
    int m_lastHttpStatus = 0;
    quint64 m_generation = 0;
};

} // namespace heraldex::core

Q_DECLARE_METATYPE(heraldex::core::PageError)
