// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

#include <QList>
#include <QObject>
#include <QString>

#include "orv/net/combinedlist.h"
#include "orv/net/gamespy.h"
#include "orv/net/proxysettings.h"

#include "orv/engine/addresslist.h"

namespace orv::engine {
struct ServerAddress;
} // namespace orv::engine

namespace orv::net {

class FileDownloader;
class MasterFetch;

// One line of a master-list URL set with its check mark; only checked URLs are fetched.
struct MasterUrl
{
    QString url;
    bool checked = false;
    friend bool operator==(const MasterUrl &, const MasterUrl &) = default;
};

// "List load": item 0 always downloads, item 1 loads the cache file.
enum class ListLoad : int { AlwaysReload = 0, SavedFile = 1 };
// "Unreal / Unreal Tournament": item 0 fetches both sets, item 1 asks each time.
enum class ListMerge : int { MergeLists = 0, AskWhatToUse = 1 };
// The answer of the "What list download?" window.
enum class ListChoice { Unreal, UnrealTournament, MergeLists, Cancel };

// The options BuildInternetList reads, taken from the option windows at the moment of use.
struct InternetListOptions
{
    ListLoad reloadList = ListLoad::AlwaysReload;
    ListMerge merge = ListMerge::AskWhatToUse;
    QList<MasterUrl> unrealUrls;
    QList<MasterUrl> utUrls;
    ProxySettings proxy;
};

enum class BuildOutcome {
    Downloaded,      // the combined download (or the old cache after a warning) is loaded
    LoadedFromCache, // "Load servers list from saved file"
    Cancelled,       // the choice window was closed; nothing changed
    Failed,          // an error was shown; the Internet list is unchanged
};

enum class MessageKind { Warning, Error };

// Fills the Internet list from the master lists: downloads the checked URLs of one or both
// games (all of them at once), converts and merges them in their listed order, keeps the
// result in the cache file "internet.lst" and loads it, or loads the cache alone. Windows
// are reached through the two callbacks, so the whole road runs without widgets in tests.
class InternetListBuilder : public QObject
{
    Q_OBJECT

public:
    using ChoiceAsker = std::function<ListChoice()>;
    using MessageShower = std::function<void(MessageKind kind, const QString &text)>;
    // The end of a build: the outcome and, when a list was loaded (Downloaded,
    // LoadedFromCache), that list; null when the Internet list stays as it was.
    using Done = std::function<void(BuildOutcome outcome, const engine::AddressList *loaded)>;

    static const QString kNothingDownloaded;
    static const QString kLocalFileNotFound;

    explicit InternetListBuilder(FileDownloader &downloader, QObject *parent = nullptr);
    ~InternetListBuilder() override;

    void setChoiceAsker(ChoiceAsker asker) { m_askChoice = std::move(asker); }
    void setMessageShower(MessageShower shower) { m_showMessage = std::move(shower); }
    // By default "internet.lst" in the program folder.
    void setCacheFile(const QString &path) { m_cacheFile = path; }
    QString cacheFile() const;
    // "internet.lst" in the downloader's temporary folder.
    QString downloadTarget() const;

    // Starts a build; done follows, at once when nothing is downloaded (the cache alone, a
    // closed choice window), else when every source is through. After Downloaded the
    // caller empties the Internet view. False, and done is not called, while a build runs.
    bool BuildInternetList(const InternetListOptions &options, Done done);
    bool isBuilding() const { return static_cast<bool>(m_done); }

    // The side-by-side fetch of the master sources, for the wait window and Cancel.
    MasterFetch &fetch() { return *m_fetch; }

    // Rewrites the cache file's line of the server with the game port the server reported
    // (masters give only the query port, so the game port they imply may be wrong), so
    // that a start from the saved file has the right game ports. Does nothing when the
    // port is no port or unchanged, or the cache holds no such line. True when rewritten.
    bool keepReportedPort(const engine::ServerAddress &server, quint16 reportedPort);

    // The combined list of the last download round, for diagnosis and tests.
    const CombinedList &lastCombined() const { return m_combined; }

signals:
    void logLine(const QString &line);

private:
    void sourceDone(qsizetype index);
    void fetchFinished();
    void finish(BuildOutcome outcome, bool loaded);
    bool loadCache();
    void show(MessageKind kind, const QString &text);

    FileDownloader &m_downloader;
    ChoiceAsker m_askChoice;
    MessageShower m_showMessage;
    QString m_cacheFile;
    CombinedList m_combined;
    MasterFetch *m_fetch = nullptr;
    Done m_done;
    engine::AddressList m_loaded;
    // "URL failed: reason" of each source of the current round that gave nothing.
    QStringList m_failures;
};

} // namespace orv::net
