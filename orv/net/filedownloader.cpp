// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/net/filedownloader.h"

#include <QFile>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRandomGenerator>
#include <QSet>
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

// The temporary files of the downloads running now: side by side, each needs its own.
QSet<QString> &temporaryFilesInUse()
{
    static QSet<QString> inUse;
    return inUse;
}

} // namespace

FileDownloader::FileDownloader(QObject *parent)
    : QObject(parent)
    , m_manager(new QNetworkAccessManager(this))
    , m_gameSpy(new GameSpyClient(this))
    , m_pause(new QTimer(this))
    , m_timeout(new QTimer(this))
{
    m_pause->setSingleShot(true);
    connect(m_pause, &QTimer::timeout, this, [this] {
        if (m_stage == Stage::Before)
            beginTransfer();
        else if (m_stage == Stage::After)
            endDownload();
    });
    m_timeout->setSingleShot(true);
    connect(m_timeout, &QTimer::timeout, this, [this] { abortWith(QStringLiteral("Download timed out")); });
    connect(m_gameSpy, &GameSpyClient::finished, this, &FileDownloader::gameSpyFinished);
}

FileDownloader::~FileDownloader()
{
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
    }
    m_gameSpy->disconnect(this);
    if (m_temp.isOpen())
        m_temp.close();
    if (m_busy)
        QFile::remove(m_tempPath);
    releaseTempPath();
}

void FileDownloader::copySettingsFrom(const FileDownloader &other)
{
    m_proxy = other.m_proxy;
    m_tempFolder = other.m_tempFolder;
    m_pauseMs = other.m_pauseMs;
    m_timeoutMs = other.m_timeoutMs;
    m_maxSize = other.m_maxSize;
    m_gameSpy->setLimits(other.m_gameSpy->limits());
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

void FileDownloader::releaseTempPath()
{
    if (!m_tempPath.isEmpty())
        temporaryFilesInUse().remove(m_tempPath);
}

bool FileDownloader::startDownload(const QString &url, const QString &target, std::optional<MasterGame> game)
{
    if (m_busy)
        return false;
    releaseTempPath();
    QSet<QString> &inUse = temporaryFilesInUse();
    // Another download of this program may run now; its temporary file is not to be touched.
    do {
        m_tempPath =
            tempFolder() + QStringLiteral("httptemp.orv") + QString::number(QRandomGenerator::global()->bounded(1000));
    } while (inUse.contains(m_tempPath) && inUse.size() < 1000);
    inUse.insert(m_tempPath);
    m_busy = true;
    m_cancelRequested = false;
    m_success = false;
    m_url = url;
    m_target = target;
    m_game = game;
    m_lastFailure.clear();
    emit waitStarted();

    if (QFile::exists(m_tempPath))
        QFile::remove(m_tempPath);
    emit progressTextChanged(url);
    emit logLine(QStringLiteral("Dowonload ") + url + QStringLiteral(" to file:") + target);
    m_stage = Stage::Before;
    m_pause->start(qMax(0, m_pauseMs));
    return true;
}

void FileDownloader::beginTransfer()
{
    m_stage = Stage::Transfer;
    // NewOnly refuses a file (or a planted link) that appeared since the removal before the
    // pause instead of writing through it.
    m_temp.setFileName(m_tempPath);
    if (!m_temp.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        endTransfer(Outcome::Silent);
        return;
    }
    const MasterSource source = parseMasterSource(m_url);
    if (source.kind != MasterSourceKind::GameSpy) {
        startHttp(QUrl(m_url, QUrl::TolerantMode));
        return;
    }
    const auto failWith = [this](const QString &reason) {
        m_lastFailure = reason;
        emit progressTextChanged(QStringLiteral("Falied : ") + reason);
        emit logLine(QStringLiteral("Falied : ") + reason);
        endTransfer(Outcome::HttpFailure);
    };
    if (!m_game)
        return failWith(QStringLiteral("no game named for the master server"));
    if (m_cancelRequested)
        return failWith(QStringLiteral("Operation canceled"));
    m_gameSpy->start(source.host, source.port, *m_game);
}

void FileDownloader::gameSpyFinished(const GameSpyResult &result)
{
    if (m_stage != Stage::Transfer)
        return;
    if (result.failure != GameSpyFailure::None) {
        const QString reason = gameSpyFailureText(result);
        m_lastFailure = reason;
        emit progressTextChanged(QStringLiteral("Falied : ") + reason);
        emit logLine(QStringLiteral("Falied : ") + reason);
        endTransfer(Outcome::HttpFailure);
        return;
    }
    QByteArray text;
    for (const QByteArray &line : result.list.lines)
        text += line + "\r\n";
    if (m_temp.write(text) != text.size() || !m_temp.flush()) {
        endTransfer(Outcome::Silent);
        return;
    }
    if (result.list.skipped > 0)
        emit logLine(QStringLiteral("Skipped ") + QString::number(result.list.skipped) +
                     QStringLiteral(" malformed entries"));
    emit logLine(QStringLiteral("Download complete."));
    emit progressTextChanged(QStringLiteral("Complete"));
    endTransfer(Outcome::Success);
}

void FileDownloader::startHttp(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
        fail(0, QStringLiteral("Not an HTTP address"));
        endTransfer(Outcome::HttpFailure);
        return;
    }
    if (m_cancelRequested) {
        fail(0, QStringLiteral("Operation canceled"));
        endTransfer(Outcome::HttpFailure);
        return;
    }

    if (m_proxy.isUsed()) {
        const auto port = engine::parseWholeNumber(m_proxy.port);
        if (!port || *port < 1 || *port > 65535) {
            fail(0, QStringLiteral("Bad proxy port ") + m_proxy.port);
            endTransfer(Outcome::HttpFailure);
            return;
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

    m_file = &m_temp;
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
    connect(reply, &QNetworkReply::finished, this, &FileDownloader::httpFinished);
    if (m_timeoutMs > 0)
        m_timeout->start(m_timeoutMs);
    if (reply->isFinished())
        QTimer::singleShot(0, this, &FileDownloader::httpFinished);
}

void FileDownloader::httpFinished()
{
    QNetworkReply *reply = m_reply;
    if (!reply || m_stage != Stage::Transfer)
        return;
    m_timeout->stop();
    if (reply->error() == QNetworkReply::NoError)
        readBody();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    QString reason = reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
    const QNetworkReply::NetworkError error = reply->error();
    const QString errorText = reply->errorString();
    reply->disconnect(this);
    reply->deleteLater();
    m_reply = nullptr;
    m_file = nullptr;

    if (!m_abortReason.isEmpty()) {
        fail(status, m_abortReason);
        endTransfer(Outcome::HttpFailure);
        return;
    }
    if (m_writeFailed) {
        // The disk, not the web: like a temporary file that cannot be created, no message.
        endTransfer(Outcome::Silent);
        return;
    }
    if (error != QNetworkReply::NoError) {
        if (reason.isEmpty() || status == 0)
            reason = errorText;
        fail(status, reason);
        endTransfer(Outcome::HttpFailure);
        return;
    }
    if (!m_temp.flush()) {
        endTransfer(Outcome::Silent);
        return;
    }
    emit logLine(QStringLiteral("Download complete."));
    emit progressTextChanged(QStringLiteral("Complete"));
    endTransfer(Outcome::Success);
}

void FileDownloader::endTransfer(Outcome outcome)
{
    m_temp.close();
    if (outcome == Outcome::Success) {
        QFile::remove(m_target);
        if (QFile::rename(m_tempPath, m_target)) {
            m_success = true;
        } else {
            m_lastFailure = QStringLiteral("0 Cannot replace ") + m_target;
            emit logLine(QStringLiteral("Falied : ") + m_lastFailure);
        }
    }
    QFile::remove(m_tempPath);
    releaseTempPath();
    m_stage = Stage::After;
    m_pause->start(qMax(0, m_pauseMs));
}

void FileDownloader::endDownload()
{
    m_stage = Stage::Idle;
    emit waitFinished();
    m_busy = false;
    emit finished(m_success);
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
    // The opening pause is cut short: the transfer then fails at once.
    if (m_stage == Stage::Before)
        m_pause->start(0);
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
