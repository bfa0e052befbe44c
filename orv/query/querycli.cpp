// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/query/querycli.h"

#include <algorithm>
#include <map>

#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTextStream>

#include "orv/checker/checkerrun.h"
#include "orv/checker/preparedscript.h"
#include "orv/engine/countrylookup.h"
#include "orv/engine/queryengine.h"
#include "orv/engine/textutil.h"
#include "orv/net/localdiscovery.h"
#include "orv/query/masterscli.h"
#include "orv/words/rowwords.h"
#include "platform/commandline.h"

namespace orv::query {

using namespace orv::engine;

namespace {

constexpr int kUsageError = 1;

platform::Error usageError(const QString &message)
{
    return platform::Error{kUsageError, message};
}

std::optional<qint64> positiveNumber(const QString &text, qint64 max)
{
    const auto n = parseWholeNumber(text);
    if (!n || *n < 1 || *n > max)
        return std::nullopt;
    return n;
}

// Cut to width characters (never inside one) and filled up with blanks.
QString padded(const QString &text, int width)
{
    QString cut = leftChars(text, width);
    const auto characters = static_cast<int>(
        cut.size() - std::count_if(cut.cbegin(), cut.cend(), [](QChar c) { return c.isLowSurrogate(); }));
    return cut + QString(std::max(0, width - characters), QLatin1Char(' '));
}

} // namespace

QString usageText()
{
    return QStringLiteral(
        "Usage: orv-query [--timeout MS] [--tries N] [--strict] [--no-ping] [--request status|info] [--json] "
        "[--parallel N] SERVER...\n"
        "       orv-query --list FILE [--write] [same options]\n"
        "       orv-query --local\n"
        "       orv-query --masters ut|unreal SOURCE... [--write FILE]\n"
        "       orv-query --check FILE.ovs [--pass N] [--timeout MS] [--tries N] [--no-ping] [--json] SERVER...\n"
        "SERVER is ADDRESS[:GAMEPORT[:QUERYPORT]]; the game port defaults to 7777, the query port to game port + 1.\n"
        "Exit status: 0 when every server answered completely, 1 when some did not, 2 for bad arguments.\n"
        "With --check: 0 when the rule is right for at least one server, 1 when for none, 2 for bad arguments\n"
        "or a script error. Each server gives a line: the address, right, not right or incomplete, and the\n"
        "marks of the expression lines in script order.\n");
}

QString helpText()
{
    return usageText() +
           QStringLiteral(
               "\n"
               "Queries Unreal and Unreal Tournament servers as the browser does and prints a table or JSON lines.\n"
               "Text is read as UTF-8 where it is valid and as Windows-1252 otherwise; a team game's\n"
               "teams are asked for and shown with the players.\n"
               "\n"
               "  --timeout MS        wait MS milliseconds for each answer (1 to 600000, default 600)\n"
               "  --tries N           ask each server up to N times (1 to 100, default 1)\n"
               "  --strict            do not accept an incomplete answer as the server's reply\n"
               "  --no-ping           do not measure the ping\n"
               "  --request status|info  the query to send (default status)\n"
               "  --json              one JSON object per server instead of the table, with its\n"
               "                      players, its teams and its country\n"
               "  --parallel N        keep up to N servers in flight (1 to 256, default 1); the output\n"
               "                      stays in the order of the servers\n"
               "  --list FILE         query the servers of a saved server list\n"
               "  --write             with --list: write the reported game ports back to FILE\n"
               "  --local             list the servers that answer the LAN beacons\n"
               "  --check FILE.ovs    evaluate a checker script on each server\n"
               "  --pass N            with --check: the pass number the script sees (default 1)\n"
               "  --masters ut|unreal SOURCE...  fetch master lists (gamespy://HOST[:PORT] or http(s)://)\n"
               "                      and print the merged list; --write FILE saves it instead\n"
               "  -h, --help          show this help and exit\n"
               "      --version       show the version and where the shipped data is, and exit\n");
}

platform::Result<ServerAddress> parseServer(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char(':'));
    if (parts.size() > 3)
        return usageError(QStringLiteral("too many ':' in server '%1'").arg(text));
    const auto address = ServerAddress::parseIpv4(parts[0]);
    if (!address || ServerAddress{*address, 0, 0}.addressText() != parts[0])
        return usageError(QStringLiteral("'%1' is not a dotted IPv4 address").arg(parts[0]));
    qint64 gamePort = 7777;
    if (parts.size() >= 2) {
        const auto p = positiveNumber(parts[1], 65535);
        if (!p)
            return usageError(QStringLiteral("'%1' is not a port number").arg(parts[1]));
        gamePort = *p;
    }
    qint64 queryPort = gamePort + 1;
    if (parts.size() == 3) {
        const auto p = positiveNumber(parts[2], 65535);
        if (!p)
            return usageError(QStringLiteral("'%1' is not a port number").arg(parts[2]));
        queryPort = *p;
    }
    if (queryPort > 65535)
        return usageError(QStringLiteral("game port %1 leaves no query port; give one").arg(gamePort));
    return ServerAddress{*address, static_cast<quint16>(gamePort), static_cast<quint16>(queryPort)};
}

platform::Result<QueryCliOptions> parseArguments(const QStringList &arguments)
{
    QueryCliOptions o;
    // --help and --version are answered whatever else the line holds.
    o.help = arguments.contains(QLatin1String("--help")) || arguments.contains(QLatin1String("-h"));
    o.version = !o.help && arguments.contains(QLatin1String("--version"));
    if (o.help || o.version)
        return o;
    bool passGiven = false;
    bool requestGiven = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &arg = arguments[i];
        const auto value = [&]() -> std::optional<QString> {
            if (i + 1 >= arguments.size())
                return std::nullopt;
            return arguments[++i];
        };
        if (arg == QLatin1String("--timeout")) {
            const auto v = value();
            const auto n = v ? engine::parseOption(*v, engine::kTimeOutRange) : std::nullopt;
            if (!n)
                return usageError(QStringLiteral("--timeout needs a number of milliseconds (1 to 600000)"));
            o.engine.internetServTimeOut = *n;
        } else if (arg == QLatin1String("--tries")) {
            const auto v = value();
            const auto n = v ? engine::parseOption(*v, engine::kServerTryRange) : std::nullopt;
            if (!n)
                return usageError(QStringLiteral("--tries needs a number of attempts (1 to 100)"));
            o.engine.serverTry = *n;
        } else if (arg == QLatin1String("--strict")) {
            o.engine.allowNotfull = false;
        } else if (arg == QLatin1String("--no-ping")) {
            o.engine.usePing = false;
        } else if (arg == QLatin1String("--request")) {
            requestGiven = true;
            const auto v = value();
            if (v == QLatin1String("status"))
                o.request = "\\status\\";
            else if (v == QLatin1String("info"))
                o.request = "\\info\\";
            else
                return usageError(QStringLiteral("--request is status or info"));
        } else if (arg == QLatin1String("--parallel")) {
            const auto v = value();
            const auto n = v ? engine::parseOption(*v, engine::kQueriesAtOnceRange) : std::nullopt;
            if (!n)
                return usageError(QStringLiteral("--parallel needs a number of servers (1 to 256)"));
            o.engine.queriesAtOnce = *n;
        } else if (arg == QLatin1String("--json")) {
            o.json = true;
        } else if (arg == QLatin1String("--local")) {
            o.local = true;
        } else if (arg == QLatin1String("--write")) {
            o.write = true;
        } else if (arg == QLatin1String("--list")) {
            const auto v = value();
            if (!v || v->isEmpty())
                return usageError(QStringLiteral("--list needs a file"));
            o.listFile = *v;
        } else if (arg == QLatin1String("--check")) {
            const auto v = value();
            if (!v || v->isEmpty())
                return usageError(QStringLiteral("--check needs a script file"));
            o.checkFile = *v;
        } else if (arg == QLatin1String("--pass")) {
            const auto v = value();
            const auto n = v ? positiveNumber(*v, 2147483647) : std::nullopt;
            if (!n)
                return usageError(QStringLiteral("--pass needs a pass number (1 or more)"));
            o.passNumber = static_cast<int>(*n);
            passGiven = true;
        } else if (arg.startsWith(QLatin1String("-"))) {
            return usageError(QStringLiteral("unknown option '%1'").arg(arg));
        } else {
            auto server = parseServer(arg);
            if (!server)
                return server.error();
            o.servers.append(server.value());
        }
    }
    const int modes = (o.local ? 1 : 0) + (o.listFile.isEmpty() ? 0 : 1) + (o.servers.isEmpty() ? 0 : 1);
    if (modes == 0)
        return usageError(QStringLiteral("no server given"));
    if (modes > 1)
        return usageError(QStringLiteral("give servers, --list FILE or --local, not several of them"));
    if (o.write && o.listFile.isEmpty())
        return usageError(QStringLiteral("--write needs --list FILE"));
    if (passGiven && o.checkFile.isEmpty())
        return usageError(QStringLiteral("--pass needs --check FILE"));
    if (!o.checkFile.isEmpty()) {
        if (o.servers.isEmpty())
            return usageError(QStringLiteral("--check needs servers"));
        if (requestGiven)
            return usageError(QStringLiteral("--check always sends the status query"));
    }
    return o;
}

QString outcomeName(QueryOutcome outcome)
{
    switch (outcome) {
    case QueryOutcome::Complete:
        return QStringLiteral("complete");
    case QueryOutcome::Incomplete:
        return QStringLiteral("incomplete");
    case QueryOutcome::NoAnswer:
        break;
    }
    return QStringLiteral("dead");
}

QJsonObject toJson(const ServerResult &r)
{
    QJsonObject info;
    for (const ServerInfoField &f : serverInfoFields())
        info.insert(QString::fromLatin1(f.key), r.info.*(f.member));
    info.insert(QStringLiteral("ping"), static_cast<int>(r.info.ping));

    QJsonArray players;
    for (const PlayerEntry &p : listedPlayers(r.info)) {
        players.append(QJsonObject{
            {QStringLiteral("name"), p.name},
            {QStringLiteral("frags"), p.frags},
            {QStringLiteral("ping"), p.ping},
            {QStringLiteral("team"), p.team},
            {QStringLiteral("skin"), p.skin},
            {QStringLiteral("mesh"), p.mesh},
            {QStringLiteral("face"), p.face},
        });
    }
    // Teams in team-number order, the score as a number ("12.000000" gives 12).
    QJsonArray teams;
    for (const TeamEntry &t : listedTeams(r.info)) {
        const auto score = teamScoreValue(t.score);
        const auto size = parseWholeNumber(t.size.trimmed());
        teams.append(QJsonObject{
            {QStringLiteral("name"), t.name},
            {QStringLiteral("score"), score ? QJsonValue(*score) : QJsonValue()},
            {QStringLiteral("size"), size ? QJsonValue(static_cast<double>(*size)) : QJsonValue()},
        });
    }
    return QJsonObject{
        {QStringLiteral("teams"), teams},
        {QStringLiteral("country"), CountryLookup::shared().countryOf(r.asked.address)},
        {QStringLiteral("address"), r.asked.address},
        {QStringLiteral("gameport"), r.asked.gamePort},
        {QStringLiteral("queryport"), r.asked.queryPort},
        {QStringLiteral("outcome"), outcomeName(r.exchange.outcome)},
        {QStringLiteral("received"), r.exchange.received},
        {QStringLiteral("expected"), r.exchange.expected},
        {QStringLiteral("reportedport"), QString::number(r.reportedPort)},
        {QStringLiteral("caption"), orv::words::rowCaption(r.row)},
        {QStringLiteral("icon"), r.row.icon},
        {QStringLiteral("info"), info},
        {QStringLiteral("players"), players},
    };
}

QStringList tableLines(const ServerResult &r)
{
    QStringList lines;
    const QString where = r.asked.address + QLatin1Char(':') + r.asked.gamePort + QLatin1Char(':') + r.asked.queryPort;
    lines.append(padded(where, 22) + QLatin1Char(' ') + padded(outcomeName(r.exchange.outcome), 10) + QLatin1Char(' ') +
                 padded(r.row.column(kColumnPing), 5) + QLatin1Char(' ') + padded(r.row.column(3), 7) +
                 QLatin1Char(' ') + padded(r.row.column(4), 20) + QLatin1Char(' ') + padded(r.row.column(6), 20) +
                 QLatin1Char(' ') + orv::words::rowCaption(r.row));
    if (const QString teams = teamSummary(r.info); !teams.isEmpty())
        lines.append(QStringLiteral("    teams: ") + teams);
    for (const PlayerEntry &p : listedPlayers(r.info)) {
        lines.append(QStringLiteral("    ") + padded(p.name, 20) + QLatin1Char(' ') + padded(p.frags, 6) +
                     QLatin1Char(' ') + padded(p.ping.trimmed(), 5) + QLatin1Char(' ') + orv::words::teamLabel(p.team));
    }
    return lines;
}

QString verdictName(CheckVerdict verdict)
{
    switch (verdict) {
    case CheckVerdict::Right:
        return QStringLiteral("right");
    case CheckVerdict::NotRight:
        return QStringLiteral("not right");
    case CheckVerdict::Incomplete:
        break;
    }
    return QStringLiteral("incomplete");
}

QString checkLine(const CheckResult &result)
{
    QString line = result.address + QLatin1Char(' ') + verdictName(result.verdict);
    if (!result.marks.isEmpty())
        line += QLatin1Char(' ') + result.marks;
    return line;
}

QJsonObject checkJson(const CheckResult &result)
{
    return QJsonObject{
        {QStringLiteral("address"), result.address},
        {QStringLiteral("result"), verdictName(result.verdict)},
        {QStringLiteral("marks"), result.marks},
    };
}

namespace {

// --check: every server queried as the checker's run does (the status query without a row,
// always pinged), the script evaluated on each complete reply.
int runCheck(const QueryCliOptions &o, QTextStream &out, QTextStream &err)
{
    auto prepared = orv::checker::PreparedScript::fromFile(o.checkFile);
    if (!prepared) {
        err << "orv-query: " << o.checkFile << ": " << prepared.error().message << "\n";
        err.flush();
        return kExitBadArguments;
    }
    QueryEngine engine;
    engine.setOptions(o.engine);
    if (!o.engine.usePing)
        engine.setPinger([](const QString &) { return kNoPing; });
    engine.setCheckerRunning(true, false);
    bool anyRight = false;
    for (const ServerAddress &server : o.servers) {
        CheckResult result;
        result.address = server.addressText();
        // One server after another, as the checking run asks them.
        std::optional<platform::Result<std::optional<orv::checker::Evaluation>>> checked;
        QEventLoop wait;
        orv::checker::checkServerOnce(
            engine, server, o.passNumber,
            [&prepared](const orv::engine::ServerInfo &info, const orv::checker::EvaluationContext &context) {
                return prepared.value().evaluate(info, context);
            },
            &wait,
            [&checked, &wait](const platform::Result<std::optional<orv::checker::Evaluation>> &result) {
                checked = result;
                wait.quit();
            });
        wait.exec();
        if (*checked && checked->value().has_value()) {
            const orv::checker::Evaluation &evaluation = *checked->value();
            result.verdict = evaluation.right ? CheckVerdict::Right : CheckVerdict::NotRight;
            result.marks = evaluation.expressionMarks;
            anyRight = anyRight || evaluation.right;
        }
        if (o.json)
            out << QString::fromUtf8(QJsonDocument(checkJson(result)).toJson(QJsonDocument::Compact)) << "\n";
        else
            out << checkLine(result) << "\n";
        out.flush();
    }
    return anyRight ? kExitRuleRight : kExitRuleNeverRight;
}

} // namespace

int runQueryCli(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    if (isMastersCommand(arguments))
        return runMastersCli(arguments, out, err);
    auto parsed = parseArguments(arguments);
    if (!parsed) {
        err << "orv-query: " << parsed.error().message << "\n" << usageText();
        err.flush();
        return kExitBadArguments;
    }
    const QueryCliOptions &o = parsed.value();
    if (o.help || o.version) {
        out << (o.help ? helpText()
                       : platform::commandline::versionText({QStringLiteral("orv-query"), {}, false, true}));
        out.flush();
        return kExitAllComplete;
    }
    if (!o.checkFile.isEmpty())
        return runCheck(o, out, err);
    QueryEngine engine;
    engine.setOptions(o.engine);
    if (o.local) {
        // The local discovery fills the Local list from the beacon answers; its lines are
        // what the browser's Local page would rebuild from.
        engine.setCurrentPage(ServerPage::Local);
        orv::net::LocalDiscovery discovery(engine);
        QEventLoop loop;
        QObject::connect(&discovery, &orv::net::LocalDiscovery::finished, &loop, &QEventLoop::quit);
        if (discovery.DiscoverLocal())
            loop.exec();
        for (const QString &line : engine.addresses(ServerPage::Local).lines())
            out << line << "\n";
        out.flush();
        return kExitAllComplete;
    }
    const ServerListModel *view = &engine.view(ServerPage::Internet);

    AddressList list;
    if (!o.listFile.isEmpty()) {
        auto loaded = AddressList::load(o.listFile);
        if (!loaded) {
            err << "orv-query: cannot read " << o.listFile << ": " << loaded.error().message << "\n";
            err.flush();
            return kExitBadArguments;
        }
        list = std::move(loaded.value());
    } else {
        for (const ServerAddress &s : o.servers)
            list.append(s.toLine());
    }
    // One row per server line, in the file's order: the rows that the refresh updates.
    std::vector<ServerEntry> rows;
    for (const QString &line : list.lines()) {
        if (AddressList::isServerLine(line))
            rows.push_back(ServerEntry::rebuilt(AddressList::parseLine(line), false));
    }
    engine.setRows(ServerPage::Internet, std::move(rows));

    bool allComplete = true;
    int results = 0;
    // Several servers in flight finish in any order; their lines wait here until every
    // server listed before them has been printed. A row asked twice (a line listed twice)
    // keeps its later results until the end.
    std::multimap<int, QStringList> waiting;
    int nextRow = 0;
    const auto print = [&](int row, QStringList lines) {
        waiting.emplace(row, std::move(lines));
        for (auto it = waiting.find(nextRow); it != waiting.end(); it = waiting.find(++nextRow)) {
            for (const QString &line : it->second)
                out << line << "\n";
            waiting.erase(it);
        }
        out.flush();
    };
    const auto report = [&](int row, const ServerResult &r) {
        ++results;
        if (o.json)
            print(row, {QString::fromUtf8(QJsonDocument(toJson(r)).toJson(QJsonDocument::Compact))});
        else
            print(row, tableLines(r));
    };
    QObject::connect(
        &engine, &QueryEngine::serverQueried, &engine, [&](const orv::engine::ServerQuery &query, int row) {
            const ServerAddress &server = query.server;
            ServerResult r;
            r.asked = AddressWords::of(server);
            r.exchange = query.exchange;
            r.reportedPort = query.reportedPort;
            if (row >= 0 && row < view->size())
                r.row = view->row(row);
            // An answering server's answers now stand under the game port it reported.
            r.info = engine.DecodeServerInfo(server.withGamePort(query.reportedPort));
            // The ping of the row update; an unanswered server was not pinged.
            r.info.ping =
                r.row.icon % kFavoriteIconOffset == static_cast<int>(RowIcon::Dead) ? kNoPing : query.info.ping;
            allComplete = allComplete && r.exchange.outcome == QueryOutcome::Complete;
            report(row, r);
        });

    // A line that names no server is dead unasked; it is reported in its place all the same.
    QObject::connect(&engine, &QueryEngine::unaddressedRowDead, &engine, [&](const AddressWords &words, int row) {
        ServerResult r;
        r.asked = words;
        if (row >= 0 && row < view->size())
            r.row = view->row(row);
        r.info = orv::engine::ServerInfo::defaults(words.address, words.gamePort, words.queryPort);
        r.info.ping = kNoPing;
        allComplete = false;
        report(row, r);
    });

    if (!o.json) {
        out << padded(QStringLiteral("SERVER"), 22) << ' ' << padded(QStringLiteral("OUTCOME"), 10) << ' '
            << padded(QStringLiteral("PING"), 5) << ' ' << padded(QStringLiteral("PLAYERS"), 7) << ' '
            << padded(QStringLiteral("MAP"), 20) << ' ' << padded(QStringLiteral("GAME TYPE"), 20) << " NAME\n";
    }
    // The same loop as a list refresh: every server in turn, reported game ports written back.
    const qsizetype serverLines = view->size();
    engine.setAddresses(ServerPage::Internet, list);
    QEventLoop refreshed;
    QObject::connect(&engine, &QueryEngine::refreshRunEnded, &refreshed, &QEventLoop::quit);
    engine.RefreshList(ServerPage::Internet);
    if (engine.isRefreshActive())
        refreshed.exec();
    list = engine.addresses(ServerPage::Internet);
    for (const auto &[row, lines] : waiting) {
        for (const QString &line : lines)
            out << line << "\n";
    }
    out.flush();
    if (results < serverLines)
        allComplete = false;

    if (o.write) {
        const platform::Status saved = list.save(o.listFile);
        if (!saved) {
            err << "orv-query: cannot write " << o.listFile << ": " << saved.error().message << "\n";
            err.flush();
            return kExitSomeIncomplete;
        }
    }
    return allComplete ? kExitAllComplete : kExitSomeIncomplete;
}

} // namespace orv::query
