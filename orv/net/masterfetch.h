// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include "orv/net/gamespy.h"

namespace orv::net {

class FileDownloader;

// One master source to ask: a web list or a "gamespy://" master, for one game.
struct MasterFetchSource
{
    QString url;
    std::optional<MasterGame> game;
};

// What one source gave.
struct MasterFetchResult
{
    QString url;
    bool downloaded = false;
    // The list could be downloaded but not read.
    bool unreadable = false;
    // "status reason" as the download gave it; empty when it gave none.
    QString failure;
    // The address-list lines of the source, each text once, sorted ignoring letter case.
    QStringList lines;
};

// Asks every master source at once, one downloader each (with the settings of a model
// downloader), and reports the sources in their given order: the log lines of a source
// come out once every source before it is through, so the log reads as if they had been
// asked one after another, and sourceDone() comes in that order too. The pauses around
// each download overlap. The wait-window signals describe the whole fetch; Cancel ends
// every source.
class MasterFetch : public QObject
{
    Q_OBJECT

public:
    explicit MasterFetch(const FileDownloader &model, QObject *parent = nullptr);
    ~MasterFetch() override;

    // Starts asking; false while a fetch runs. With no sources, finished() comes from the
    // event loop at once.
    bool start(const QList<MasterFetchSource> &sources);
    bool isRunning() const { return m_running; }
    // Ends every running source; each then fails with "Operation canceled".
    void cancel();

    qsizetype sourceCount() const { return static_cast<qsizetype>(m_sources.size()); }
    qsizetype doneCount() const { return m_done; }
    const MasterFetchResult &result(qsizetype index) const;

signals:
    void logLine(const QString &line);
    // The source of this index is through and every source before it too.
    void sourceDone(qsizetype index);
    void finished();

    // For the wait window, as FileDownloader gives them.
    void waitStarted();
    void progressTextChanged(const QString &text);
    void progressRangeChanged(qint64 maximum);
    void progressChanged(qint64 value);
    void waitFinished();

private:
    struct Source;

    void sourceLog(qsizetype index, const QString &line);
    void sourceFinished(qsizetype index, bool success);
    void advance();
    QString targetFor(qsizetype index) const;

    const FileDownloader &m_model;
    std::vector<std::unique_ptr<Source>> m_sources;
    qsizetype m_head = 0;
    qsizetype m_done = 0;
    bool m_running = false;
};

} // namespace orv::net
