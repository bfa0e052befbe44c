// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/query/masterscli.h"

#include <QEventLoop>
#include <QTemporaryDir>
#include <QTextStream>

#include "orv/engine/addresslist.h"
#include "orv/net/combinedlist.h"
#include "orv/net/filedownloader.h"
#include "orv/net/gamespy.h"
#include "orv/net/masterfetch.h"

namespace orv::query {

namespace {

constexpr int kSomeAnswered = 0;
constexpr int kNoneAnswered = 1;
constexpr int kBadArguments = 2;

} // namespace

bool isMastersCommand(const QStringList &arguments)
{
    return arguments.contains(QStringLiteral("--masters"));
}

int runMastersCli(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    const auto usage = [&err](const QString &message) {
        err << "orv-query: " << message << "\n"
            << "Usage: orv-query --masters ut|unreal SOURCE... [--write FILE]\n"
            << "SOURCE is gamespy://HOST[:PORT] or an http:// or https:// list address.\n";
        err.flush();
        return kBadArguments;
    };
    std::optional<net::MasterGame> game;
    QString writeFile;
    QStringList sources;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &arg = arguments[i];
        if (arg == QLatin1String("--masters")) {
            if (game || i + 1 >= arguments.size())
                return usage(QStringLiteral("--masters needs ut or unreal"));
            const QString name = arguments[++i];
            if (name == QLatin1String("ut"))
                game = net::MasterGame::UnrealTournament;
            else if (name == QLatin1String("unreal"))
                game = net::MasterGame::Unreal;
            else
                return usage(QStringLiteral("--masters needs ut or unreal, not '%1'").arg(name));
        } else if (arg == QLatin1String("--write")) {
            if (i + 1 >= arguments.size() || arguments[i + 1].isEmpty())
                return usage(QStringLiteral("--write needs a file"));
            writeFile = arguments[++i];
        } else if (net::parseMasterSource(arg).kind != net::MasterSourceKind::Invalid) {
            sources.append(arg);
        } else {
            return usage(QStringLiteral("'%1' is no master source").arg(arg));
        }
    }
    if (!game || sources.isEmpty())
        return usage(QStringLiteral("--masters needs a game and at least one source"));

    QTemporaryDir temp;
    if (!temp.isValid()) {
        err << "orv-query: cannot make a temporary folder\n";
        err.flush();
        return kNoneAnswered;
    }
    net::FileDownloader downloader;
    downloader.setTempFolder(temp.path());
    // No wait window to read on a terminal.
    downloader.setPauseMs(0);

    // Every source is asked at once; they are reported and merged in the given order.
    QList<net::MasterFetchSource> fetchSources;
    for (const QString &source : std::as_const(sources))
        fetchSources.append({source, game});
    net::MasterFetch fetch(downloader);
    net::CombinedList combined;
    int answered = 0;
    QObject::connect(&fetch, &net::MasterFetch::sourceDone, &fetch, [&](qsizetype index) {
        const net::MasterFetchResult &result = fetch.result(index);
        if (!result.downloaded) {
            err << result.url
                << " failed: " << (result.failure.isEmpty() ? QStringLiteral("not downloaded") : result.failure)
                << "\n";
            err.flush();
            return;
        }
        if (result.unreadable) {
            err << result.url << " failed: cannot read the downloaded list\n";
            err.flush();
            return;
        }
        ++answered;
        qsizetype servers = 0;
        for (const QString &line : result.lines) {
            servers += engine::AddressList::isServerLine(line) ? 1 : 0;
            combined.add(line);
        }
        err << result.url << " ok " << servers << " servers\n";
        err.flush();
    });
    // The command line has no window loop of its own: this one runs until every source is through.
    QEventLoop loop;
    QObject::connect(&fetch, &net::MasterFetch::finished, &loop, &QEventLoop::quit);
    if (fetch.start(fetchSources) && fetch.isRunning())
        loop.exec();

    const engine::AddressList list(combined.sortedLines());
    if (!writeFile.isEmpty()) {
        if (answered > 0) {
            const auto saved = list.save(writeFile);
            if (!saved) {
                err << "orv-query: cannot write " << writeFile << ": " << saved.error().message << "\n";
                err.flush();
                return kNoneAnswered;
            }
        }
    } else {
        for (const QString &line : list.lines())
            out << line << "\n";
        out.flush();
    }
    return answered > 0 ? kSomeAnswered : kNoneAnswered;
}

} // namespace orv::query
