// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/net/masterfetch.h"

#include <utility>

#include <QFile>
#include <QTimer>

#include "orv/net/combinedlist.h"
#include "orv/net/filedownloader.h"
#include "orv/net/masterlist.h"

namespace orv::net {

struct MasterFetch::Source
{
    MasterFetchSource source;
    MasterFetchResult result;
    std::unique_ptr<FileDownloader> downloader;
    // Log lines held back until the sources before this one are through.
    QStringList heldLog;
    bool done = false;
};

MasterFetch::MasterFetch(const FileDownloader &model, QObject *parent)
    : QObject(parent)
    , m_model(model)
{}

MasterFetch::~MasterFetch()
{
    // The downloaders' own signals must not reach a half-destroyed fetch.
    for (const auto &source : m_sources) {
        if (source->downloader)
            source->downloader->disconnect(this);
    }
}

const MasterFetchResult &MasterFetch::result(qsizetype index) const
{
    return m_sources.at(static_cast<size_t>(index))->result;
}

QString MasterFetch::targetFor(qsizetype index) const
{
    // The first source downloads to the file a single download uses; the others each to
    // their own, as they run at the same time.
    const QString folder = m_model.tempFolder();
    return index == 0 ? folder + QStringLiteral("internet.lst")
                      : folder + QStringLiteral("internet%1.lst").arg(index + 1);
}

bool MasterFetch::start(const QList<MasterFetchSource> &sources)
{
    if (m_running)
        return false;
    // The downloaders of the last fetch may still be inside their own signal; they go later.
    for (auto &old : m_sources) {
        if (old->downloader) {
            old->downloader->disconnect(this);
            old->downloader.release()->deleteLater();
        }
    }
    m_sources.clear();
    m_head = 0;
    m_done = 0;
    m_running = true;
    for (const MasterFetchSource &s : sources) {
        auto source = std::make_unique<Source>();
        source->source = s;
        source->result.url = s.url;
        m_sources.push_back(std::move(source));
    }
    emit waitStarted();
    const qsizetype count = sourceCount();
    if (count == 0) {
        QTimer::singleShot(0, this, [this] { advance(); });
        return true;
    }
    if (count > 1) {
        emit progressTextChanged(QStringLiteral("Dowonload: 0 of %1 sources done").arg(count));
        emit progressRangeChanged(count);
        emit progressChanged(0);
    }
    for (qsizetype i = 0; i < count; ++i) {
        Source &source = *m_sources[static_cast<size_t>(i)];
        source.downloader = std::make_unique<FileDownloader>();
        FileDownloader *downloader = source.downloader.get();
        downloader->copySettingsFrom(m_model);
        connect(downloader, &FileDownloader::logLine, this, [this, i](const QString &line) { sourceLog(i, line); });
        connect(downloader, &FileDownloader::finished, this, [this, i](bool success) { sourceFinished(i, success); });
        if (count == 1) {
            // One source: the window follows its download as it would a single file.
            connect(downloader, &FileDownloader::progressTextChanged, this, &MasterFetch::progressTextChanged);
            connect(downloader, &FileDownloader::progressRangeChanged, this, &MasterFetch::progressRangeChanged);
            connect(downloader, &FileDownloader::progressChanged, this, &MasterFetch::progressChanged);
        }
    }
    for (qsizetype i = 0; i < count; ++i) {
        Source &source = *m_sources[static_cast<size_t>(i)];
        source.downloader->startDownload(source.source.url, targetFor(i), source.source.game);
    }
    return true;
}

void MasterFetch::cancel()
{
    for (const auto &source : m_sources) {
        if (source->downloader && !source->done)
            source->downloader->cancel();
    }
}

void MasterFetch::sourceLog(qsizetype index, const QString &line)
{
    if (index == m_head)
        emit logLine(line);
    else
        m_sources[static_cast<size_t>(index)]->heldLog.append(line);
}

void MasterFetch::sourceFinished(qsizetype index, bool success)
{
    Source &source = *m_sources[static_cast<size_t>(index)];
    if (source.done)
        return;
    source.done = true;
    ++m_done;
    MasterFetchResult &result = source.result;
    result.downloaded = success;
    result.failure = source.downloader->lastFailure();
    if (success) {
        const QString target = targetFor(index);
        CombinedList own;
        if (ConvertAndMergeMasterList(target, own))
            result.lines = own.sortedLines();
        else
            result.unreadable = true;
        if (index > 0)
            QFile::remove(target);
    }
    if (sourceCount() > 1) {
        emit progressTextChanged(QStringLiteral("Dowonload: %1 of %2 sources done").arg(m_done).arg(sourceCount()));
        emit progressChanged(m_done);
    }
    advance();
}

void MasterFetch::advance()
{
    while (m_head < sourceCount() && m_sources[static_cast<size_t>(m_head)]->done) {
        const qsizetype index = m_head++;
        emit sourceDone(index);
        if (m_head < sourceCount()) {
            Source &next = *m_sources[static_cast<size_t>(m_head)];
            const QStringList held = std::exchange(next.heldLog, {});
            for (const QString &line : held)
                emit logLine(line);
        }
    }
    if (m_running && m_head >= sourceCount()) {
        m_running = false;
        emit waitFinished();
        emit finished();
    }
}

} // namespace orv::net
