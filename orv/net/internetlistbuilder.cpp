// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/net/internetlistbuilder.h"

#include <QDir>
#include <QFileInfo>

#include <utility>

#include "orv/engine/serverlist.h"
#include "orv/net/filedownloader.h"
#include "orv/net/masterfetch.h"
#include "orv/net/masterlist.h"
#include "platform/paths.h"

namespace orv::net {

const QString InternetListBuilder::kNothingDownloaded = QStringLiteral("Nothing dowonloaded! (Load local file)");
const QString InternetListBuilder::kLocalFileNotFound = QStringLiteral("Local file not found! Dowonload it from web.");

InternetListBuilder::InternetListBuilder(FileDownloader &downloader, QObject *parent)
    : QObject(parent)
    , m_downloader(downloader)
    , m_fetch(new MasterFetch(downloader, this))
{
    connect(m_fetch, &MasterFetch::logLine, this, &InternetListBuilder::logLine);
    connect(m_fetch, &MasterFetch::sourceDone, this, &InternetListBuilder::sourceDone);
    connect(m_fetch, &MasterFetch::finished, this, &InternetListBuilder::fetchFinished);
}

InternetListBuilder::~InternetListBuilder()
{
    m_fetch->disconnect(this);
}

QString InternetListBuilder::cacheFile() const
{
    if (!m_cacheFile.isEmpty())
        return m_cacheFile;
    return platform::paths::programFolder() + QStringLiteral("/internet.lst");
}

QString InternetListBuilder::downloadTarget() const
{
    return m_downloader.tempFolder() + QStringLiteral("internet.lst");
}

void InternetListBuilder::show(MessageKind kind, const QString &text)
{
    if (m_showMessage)
        m_showMessage(kind, text);
}

bool InternetListBuilder::BuildInternetList(const InternetListOptions &options, Done done)
{
    if (m_done)
        return false;
    m_done = done ? std::move(done) : Done([](BuildOutcome, const engine::AddressList *) {});
    if (options.reloadList == ListLoad::SavedFile) {
        if (!QFileInfo::exists(cacheFile())) {
            show(MessageKind::Error, kLocalFileNotFound);
            finish(BuildOutcome::Failed, false);
            return true;
        }
        emit logLine(QStringLiteral("Load servers list from local file."));
        const bool loaded = loadCache();
        finish(loaded ? BuildOutcome::LoadedFromCache : BuildOutcome::Failed, loaded);
        return true;
    }

    bool unreal = true;
    bool ut = true;
    if (options.merge == ListMerge::AskWhatToUse) {
        const ListChoice choice = m_askChoice ? m_askChoice() : ListChoice::Cancel;
        switch (choice) {
        case ListChoice::Unreal:
            ut = false;
            break;
        case ListChoice::UnrealTournament:
            unreal = false;
            break;
        case ListChoice::MergeLists:
            break;
        case ListChoice::Cancel:
            finish(BuildOutcome::Cancelled, false);
            return true;
        }
    }

    m_combined = CombinedList();
    m_failures.clear();
    m_downloader.setProxy(options.proxy);
    QList<MasterFetchSource> sources;
    const auto add = [&sources](const QList<MasterUrl> &urls, MasterGame game) {
        for (const MasterUrl &entry : urls) {
            if (entry.checked)
                sources.append({entry.url, game});
        }
    };
    if (unreal)
        add(options.unrealUrls, MasterGame::Unreal);
    if (ut)
        add(options.utUrls, MasterGame::UnrealTournament);
    m_fetch->start(sources);
    return true;
}

void InternetListBuilder::sourceDone(qsizetype index)
{
    if (!m_done)
        return;
    // In the listed order: the merged list keeps the first spelling of a line, as when the
    // sources were asked one after another.
    const MasterFetchResult &result = m_fetch->result(index);
    if (!result.downloaded) {
        m_failures.append(result.url + QStringLiteral(" failed: ") +
                          (result.failure.isEmpty() ? QStringLiteral("not downloaded") : result.failure));
        return;
    }
    if (result.unreadable) {
        emit logLine(QStringLiteral("Cannot read the downloaded list ") + downloadTarget());
        return;
    }
    m_combined.addAll(result.lines);
}

void InternetListBuilder::fetchFinished()
{
    if (!m_done)
        return;
    if (m_combined.isEmpty()) {
        // The cache of an earlier download stays as it was; say what went wrong where.
        for (const QString &failure : std::as_const(m_failures))
            emit logLine(failure);
        show(MessageKind::Warning, kNothingDownloaded);
    } else {
        const engine::AddressList combined(m_combined.sortedLines());
        // Written atomically: a cache that cannot be replaced stays as it was.
        const auto saved = combined.save(cacheFile());
        if (!saved) {
            show(MessageKind::Error, saved.error().message);
            finish(BuildOutcome::Failed, false);
            return;
        }
    }
    const bool loaded = loadCache();
    finish(loaded ? BuildOutcome::Downloaded : BuildOutcome::Failed, loaded);
}

void InternetListBuilder::finish(BuildOutcome outcome, bool loaded)
{
    const Done done = std::exchange(m_done, Done());
    if (done)
        done(outcome, loaded ? &m_loaded : nullptr);
}

bool InternetListBuilder::keepReportedPort(const engine::ServerAddress &server, quint16 reportedPort)
{
    if (reportedPort == 0 || reportedPort == server.gamePort)
        return false;
    auto loaded = engine::AddressList::load(cacheFile());
    if (!loaded)
        return false;
    engine::AddressList list = std::move(loaded).value();
    bool changed = false;
    for (QString &line : list.lines()) {
        if (engine::AddressList::isServerLine(line) && engine::AddressList::parseLine(line).toServer() == server) {
            line = server.withGamePort(reportedPort).toLine();
            changed = true;
        }
    }
    return changed && list.save(cacheFile());
}

bool InternetListBuilder::loadCache()
{
    auto loaded = engine::AddressList::load(cacheFile());
    if (!loaded) {
        show(MessageKind::Error, QStringLiteral("Cannot open file \"") + QDir::toNativeSeparators(cacheFile()) +
                                     QStringLiteral("\". ") + loaded.error().message);
        return false;
    }
    m_loaded = std::move(loaded).value();
    return true;
}

} // namespace orv::net
