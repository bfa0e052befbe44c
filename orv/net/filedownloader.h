// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include <QFile>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

#include "orv/net/gamespy.h"
#include "orv/net/proxysettings.h"

class QNetworkAccessManager;
class QNetworkReply;
class QTimer;

namespace orv::net {

class GameSpyClient;
struct GameSpyResult;

// Downloads one web file into a target file, the way master lists are fetched: a GET with
// the browser-era request headers, optionally through an HTTP proxy, the body written to a
// temporary file that replaces the target only when the whole transfer succeeded.
//
// startDownload() returns at once; the pauses, the transfer and the replacement of the target
// are driven by timers and the network's signals, and finished() tells the outcome. While
// one download runs, another is refused at once (isBusy()); several downloaders run side by
// side. A wait window follows the download through the signals below; it is shown and
// closed by them.
class FileDownloader : public QObject
{
    Q_OBJECT

public:
    // Larger bodies are refused: no master list comes near this, and a never-ending or
    // hostile server must not fill the disk.
    static constexpr qint64 kMaxDownloadSize = 16 * 1024 * 1024;
    static constexpr int kDefaultPauseMs = 1000;
    // A server that keeps the connection open without finishing is given up after this.
    static constexpr int kDefaultTimeoutMs = 120 * 1000;

    static const QByteArray kUserAgent;
    static const QByteArray kAccept;

    explicit FileDownloader(QObject *parent = nullptr);
    ~FileDownloader() override;

    // Read at the start of each download.
    void setProxy(const ProxySettings &proxy) { m_proxy = proxy; }
    // Where the temporary "httptemp.orv<n>" files go; by default the system's temporary
    // folder (the program folder when that does not exist).
    void setTempFolder(const QString &folder) { m_tempFolder = folder; }
    QString tempFolder() const;
    // The pauses before and after each transfer that let the wait window show and be read.
    void setPauseMs(int ms) { m_pauseMs = ms; }
    int pauseMs() const { return m_pauseMs; }
    void setTimeoutMs(int ms) { m_timeoutMs = ms; }
    void setMaxSize(qint64 bytes) { m_maxSize = bytes; }
    // Proxy, folder, pauses and limits (of the master exchange too) as other has them.
    void copySettingsFrom(const FileDownloader &other);

    // DownloadBusy.
    bool isBusy() const { return m_busy; }

    // Starts a download; false when one runs already. finished(true) follows when the file
    // was fetched completely and now is the target. A "gamespy://" URL asks that master for
    // the servers of game and writes them as address-list lines; the wait window, the log
    // and Cancel work as for a web file.
    bool startDownload(const QString &url, const QString &target, std::optional<MasterGame> game = std::nullopt);

    // The master exchange, for its limits.
    GameSpyClient &gameSpyClient() { return *m_gameSpy; }

    // Aborts the running download (it then fails); harmless when none runs.
    void cancel();

    // The temporary file of the current or last download.
    QString temporaryFile() const { return m_tempPath; }
    // "status reason" of the last failure, e.g. "404 Not Found"; empty after a success.
    QString lastFailure() const { return m_lastFailure; }

signals:
    void logLine(const QString &line);
    // The wait window: shown with its bar at 0 of 100 and the label "Dowonload".
    void waitStarted();
    // The label below the two fixed lines (the URL, "Complete", "Falied : reason").
    void progressTextChanged(const QString &text);
    void progressRangeChanged(qint64 maximum);
    void progressChanged(qint64 value);
    void waitFinished();
    // The end of the download started last, after its closing pause.
    void finished(bool success);

private:
    enum class Outcome { Success, HttpFailure, Silent };
    enum class Stage { Idle, Before, Transfer, After };

    void beginTransfer();
    void startHttp(const QUrl &url);
    void httpFinished();
    void gameSpyFinished(const GameSpyResult &result);
    void endTransfer(Outcome outcome);
    void endDownload();
    void readBody();
    void abortWith(const QString &reason);
    void fail(int status, const QString &reason);
    void releaseTempPath();

    QNetworkAccessManager *m_manager = nullptr;
    GameSpyClient *m_gameSpy = nullptr;
    ProxySettings m_proxy;
    QString m_tempFolder;
    int m_pauseMs = kDefaultPauseMs;
    int m_timeoutMs = kDefaultTimeoutMs;
    qint64 m_maxSize = kMaxDownloadSize;

    bool m_busy = false;
    Stage m_stage = Stage::Idle;
    bool m_cancelRequested = false;
    bool m_success = false;
    QString m_url;
    QString m_target;
    std::optional<MasterGame> m_game;
    QString m_tempPath;
    QString m_lastFailure;
    QFile m_temp;
    QTimer *m_pause = nullptr;
    QTimer *m_timeout = nullptr;
    QPointer<QNetworkReply> m_reply;
    QFile *m_file = nullptr;
    qint64 m_received = 0;
    qint64 m_announced = 0;
    bool m_writeFailed = false;
    QString m_abortReason;
};

} // namespace orv::net
