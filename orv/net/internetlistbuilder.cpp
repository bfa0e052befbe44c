// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/net/internetlistbuilder.h"

#include <QDir>
#include <QFileInfo>

#include "orv/engine/serverlist.h"
#include "orv/net/filedownloader.h"
#include "orv/net/masterlist.h"
#include "platform/paths.h"

namespace orv::net {

const QString InternetListBuilder::kNothingDownloaded = QStringLiteral("Nothing dowonloaded! (Load local file)");
const QString InternetListBuilder::kLocalFileNotFound = QStringLiteral("Local file not found! Dowonload it from web.");

InternetListBuilder::InternetListBuilder(FileDownloader &downloader, QObject *parent)
    : QObject(parent)
    , m_downloader(downloader)
{}

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

BuildOutcome InternetListBuilder::BuildInternetList(const InternetListOptions &options, engine::ServerList &internet)
{
    if (options.reloadList == ListLoad::SavedFile) {
        if (!QFileInfo::exists(cacheFile())) {
            show(MessageKind::Error, kLocalFileNotFound);
            return BuildOutcome::Failed;
        }
        emit logLine(QStringLiteral("Load servers list from local file."));
        return loadCache(internet) ? BuildOutcome::LoadedFromCache : BuildOutcome::Failed;
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
            return BuildOutcome::Cancelled;
        }
    }

    m_combined = CombinedList();
    m_failures.clear();
    m_downloader.setProxy(options.proxy);
    if (unreal)
        fetchSet(options.unrealUrls, MasterGame::Unreal);
    if (ut)
        fetchSet(options.utUrls, MasterGame::UnrealTournament);

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
            return BuildOutcome::Failed;
        }
    }
    if (!loadCache(internet))
        return BuildOutcome::Failed;
    if (internet.view)
        internet.view->clear();
    return BuildOutcome::Downloaded;
}

void InternetListBuilder::fetchSet(const QList<MasterUrl> &urls, MasterGame game)
{
    const QString target = downloadTarget();
    for (const MasterUrl &entry : urls) {
        if (!entry.checked)
            continue;
        if (!m_downloader.DownloadFile(entry.url, target, game)) {
            const QString reason = m_downloader.lastFailure();
            m_failures.append(entry.url + QStringLiteral(" failed: ") +
                              (reason.isEmpty() ? QStringLiteral("not downloaded") : reason));
            continue;
        }
        if (!ConvertAndMergeMasterList(target, m_combined))
            emit logLine(QStringLiteral("Cannot read the downloaded list ") + target);
    }
}

bool InternetListBuilder::keepReportedPort(const engine::ServerAddress &server, const QString &reportedPort)
{
    bool ok = false;
    const uint port = reportedPort.toUInt(&ok);
    if (!ok || port < 1 || port > 65535 || QString::number(port) != reportedPort || reportedPort == server.gamePort)
        return false;
    auto loaded = engine::AddressList::load(cacheFile());
    if (!loaded)
        return false;
    engine::AddressList list = std::move(loaded).value();
    bool changed = false;
    for (QString &line : list.lines()) {
        if (engine::AddressList::isServerLine(line) && engine::AddressList::parseLine(line) == server) {
            line = engine::ServerAddress{server.address, reportedPort, server.queryPort}.toLine();
            changed = true;
        }
    }
    return changed && list.save(cacheFile());
}

bool InternetListBuilder::loadCache(engine::ServerList &internet)
{
    auto loaded = engine::AddressList::load(cacheFile());
    if (!loaded) {
        show(MessageKind::Error, QStringLiteral("Cannot open file \"") + QDir::toNativeSeparators(cacheFile()) +
                                     QStringLiteral("\". ") + loaded.error().message);
        return false;
    }
    internet.addresses = std::move(loaded).value();
    return true;
}

} // namespace orv::net
