// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/net/filedownloader.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRandomGenerator>
#include <QTimer>

#include "orv/engine/textutil.h"
#include "orv/net/gamespyclient.h"
#include "platform/paths.h"

namespace orv::net {

const QByteArray FileDownloader::kUserAgent = QByteArrayLiteral("Mozilla/3.0 (compatible)");
const QByteArray FileDownloader::kAccept =
    QByteArrayLiteral("image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*");

namespace {

QString withTrailingSlash(const QString &folder)
{
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

} // namespace

FileDownloader::FileDownloader(QObject *parent)
    : QObject(parent)
    , m_manager(new QNetworkAccessManager(this))
    , m_gameSpy(new GameSpyClient(this))
{}

FileDownloader::~FileDownloader()
{
    if (m_reply)
        m_reply->abort();
    if (m_loop)
        m_loop->quit();
}

QString FileDownloader::tempFolder() const
{
    if (!m_tempFolder.isEmpty())
        return withTrailingSlash(m_tempFolder);
    const QString system = platform::paths::tempFolder();
    if (QFileInfo(system).isDir())
        return withTrailingSlash(system);
    return withTrailingSlash(platform::paths::programFolder());
}

void FileDownloader::pause(int ms)
{
    if (ms <= 0) {
        QCoreApplication::processEvents();
        return;
    }
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

bool FileDownloader::DownloadFile(const QString &url, const QString &target, std::optional<MasterGame> game)
{
    if (m_busy)
        return false;
    m_tempPath =
        tempFolder() + QStringLiteral("httptemp.orv") + QString::number(QRandomGenerator::global()->bounded(1000));
    m_busy = true;
    m_cancelRequested = false;
    m_lastFailure.clear();
    emit waitStarted();

    if (QFile::exists(m_tempPath))
        QFile::remove(m_tempPath);
    emit progressTextChanged(url);
    emit logLine(QStringLiteral("Dowonload ") + url + QStringLiteral(" to file:") + target);
    pause(m_pauseMs);

    bool success = false;
    {
        // NewOnly refuses a file (or a planted link) that appeared since the removal
        // above instead of writing through it.
        QFile temp(m_tempPath);
        if (temp.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            const MasterSource source = parseMasterSource(url);
            const Outcome outcome = source.kind == MasterSourceKind::GameSpy
                                        ? transferGameSpy(source, game, temp)
                                        : transfer(QUrl(url, QUrl::TolerantMode), temp);
            temp.close();
            if (outcome == Outcome::Success) {
                QFile::remove(target);
                if (QFile::rename(m_tempPath, target)) {
                    success = true;
                } else {
                    m_lastFailure = QStringLiteral("0 Cannot replace ") + target;
                    emit logLine(QStringLiteral("Falied : ") + m_lastFailure);
                }
            }
        }
    }

    QFile::remove(m_tempPath);
    pause(m_pauseMs);
    emit waitFinished();
    m_busy = false;
    return success;
}

FileDownloader::Outcome FileDownloader::transfer(const QUrl &url, QFile &temp)
{
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
        fail(0, QStringLiteral("Not an HTTP address"));
        return Outcome::HttpFailure;
    }
    if (m_cancelRequested) {
        fail(0, QStringLiteral("Operation canceled"));
        return Outcome::HttpFailure;
    }

    if (m_proxy.isUsed()) {
        const auto port = engine::parseWholeNumber(m_proxy.port);
        if (!port || *port < 1 || *port > 65535) {
            fail(0, QStringLiteral("Bad proxy port ") + m_proxy.port);
            return Outcome::HttpFailure;
        }
        m_manager->setProxy(QNetworkProxy(QNetworkProxy::HttpProxy, m_proxy.host, static_cast<quint16>(*port)));
    } else {
        // Explicitly direct: no proxy from the environment either.
        m_manager->setProxy(QNetworkProxy(QNetworkProxy::NoProxy));
    }

    QNetworkRequest request(url);
    request.setRawHeader(QByteArrayLiteral("User-Agent"), kUserAgent);
    request.setRawHeader(QByteArrayLiteral("Accept"), kAccept);
    // A proxy or server must not keep a stale list for us.
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);

    m_file = &temp;
    m_received = 0;
    m_announced = 0;
    m_writeFailed = false;
    m_abortReason.clear();

    QNetworkReply *reply = m_manager->get(request);
    m_reply = reply;
    connect(reply, &QNetworkReply::metaDataChanged, this, [this, reply] {
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (!length.isValid())
            return;
        m_announced = length.toLongLong();
        if (m_announced > m_maxSize) {
            abortWith(QStringLiteral("File is larger than ") + QString::number(m_maxSize / (1024 * 1024)) +
                      QStringLiteral(" MB"));
            return;
        }
        emit progressRangeChanged(m_announced);
        emit progressChanged(0);
    });
    connect(reply, &QNetworkReply::readyRead, this, &FileDownloader::readBody);

    QEventLoop loop;
    m_loop = &loop;
    connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer timeout;
    timeout.setSingleShot(true);
    connect(&timeout, &QTimer::timeout, this, [this] { abortWith(QStringLiteral("Download timed out")); });
    if (m_timeoutMs > 0)
        timeout.start(m_timeoutMs);
    if (!reply->isFinished())
        loop.exec();
    m_loop = nullptr;
    timeout.stop();

    if (reply->error() == QNetworkReply::NoError)
        readBody();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    QString reason = reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
    const QNetworkReply::NetworkError error = reply->error();
    reply->deleteLater();
    m_reply = nullptr;
    m_file = nullptr;

    if (!m_abortReason.isEmpty()) {
        fail(status, m_abortReason);
        return Outcome::HttpFailure;
    }
    if (m_writeFailed) {
        // The disk, not the web: like a temporary file that cannot be created, no message.
        return Outcome::Silent;
    }
    if (error != QNetworkReply::NoError) {
        if (reason.isEmpty() || status == 0)
            reason = reply->errorString();
        fail(status, reason);
        return Outcome::HttpFailure;
    }
    if (!temp.flush()) {
        return Outcome::Silent;
    }
    emit logLine(QStringLiteral("Download complete."));
    emit progressTextChanged(QStringLiteral("Complete"));
    return Outcome::Success;
}

FileDownloader::Outcome FileDownloader::transferGameSpy(const MasterSource &source, std::optional<MasterGame> game,
                                                        QFile &temp)
{
    const auto failWith = [this](const QString &reason) {
        m_lastFailure = reason;
        emit progressTextChanged(QStringLiteral("Falied : ") + reason);
        emit logLine(QStringLiteral("Falied : ") + reason);
        return Outcome::HttpFailure;
    };
    if (!game)
        return failWith(QStringLiteral("no game named for the master server"));
    if (m_cancelRequested)
        return failWith(QStringLiteral("Operation canceled"));

    const GameSpyResult result = m_gameSpy->fetch(source.host, source.port, *game);
    if (result.failure != GameSpyFailure::None)
        return failWith(gameSpyFailureText(result));

    QByteArray text;
    for (const QByteArray &line : result.list.lines)
        text += line + "\r\n";
    if (temp.write(text) != text.size() || !temp.flush())
        return Outcome::Silent;
    if (result.list.skipped > 0)
        emit logLine(QStringLiteral("Skipped ") + QString::number(result.list.skipped) +
                     QStringLiteral(" malformed entries"));
    emit logLine(QStringLiteral("Download complete."));
    emit progressTextChanged(QStringLiteral("Complete"));
    return Outcome::Success;
}

void FileDownloader::readBody()
{
    QNetworkReply *reply = m_reply;
    if (!reply || !m_file || !m_abortReason.isEmpty() || m_writeFailed)
        return;
    const QByteArray block = reply->readAll();
    if (block.isEmpty())
        return;
    if (m_received + block.size() > m_maxSize) {
        abortWith(QStringLiteral("File is larger than ") + QString::number(m_maxSize / (1024 * 1024)) +
                  QStringLiteral(" MB"));
        return;
    }
    if (m_file->write(block) != block.size()) {
        m_writeFailed = true;
        reply->abort();
        return;
    }
    m_received += block.size();
    emit progressChanged(m_received);
    emit logLine(QStringLiteral("Recived ") + QString::number(m_received) + QStringLiteral(" of ") +
                 QString::number(m_announced));
}

void FileDownloader::abortWith(const QString &reason)
{
    if (!m_reply || !m_abortReason.isEmpty())
        return;
    m_abortReason = reason;
    m_reply->abort();
}

void FileDownloader::cancel()
{
    if (!m_busy)
        return;
    m_cancelRequested = true;
    abortWith(QStringLiteral("Operation canceled"));
    m_gameSpy->cancel();
}

void FileDownloader::fail(int status, const QString &reason)
{
    m_lastFailure = QString::number(status) + QLatin1Char(' ') + reason;
    emit progressTextChanged(QStringLiteral("Falied : ") + reason);
    emit logLine(QStringLiteral("Falied : ") + m_lastFailure);
}

} // namespace orv::net
