// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

#include "orv/engine/engineoptions.h"
#include "orv/engine/exchangepool.h"
#include "orv/engine/serverentry.h"
#include "orv/engine/serverinfo.h"
#include "platform/result.h"

class QTextStream;

// The command-line companion of the browser: queries servers with the engine's exchange
// and row update, and prints the rows as a table or as JSON lines.
namespace orv::query {

struct QueryCliOptions
{
    engine::EngineOptions engine;
    QByteArray request = "\\status\\";
    bool json = false;
    bool local = false;
    QString listFile;
    bool write = false;
    QList<engine::ServerAddress> servers;
    // --check FILE.ovs: evaluate a checker script on every server; --pass N its pass number.
    QString checkFile;
    int passNumber = 1;
    // --help or --version: print and end, whatever else was given.
    bool help = false;
    bool version = false;
};

// Exit statuses.
constexpr int kExitAllComplete = 0;
constexpr int kExitSomeIncomplete = 1;
constexpr int kExitBadArguments = 2;

// Exit statuses of --check: the rule is right for at least one server, for none; bad
// arguments and script errors give kExitBadArguments.
constexpr int kExitRuleRight = 0;
constexpr int kExitRuleNeverRight = 1;

QString usageText();
// usageText() followed by every option.
QString helpText();

// Parses the arguments after the program name; the error message says what is wrong.
platform::Result<QueryCliOptions> parseArguments(const QStringList &arguments);

// ADDRESS[:GAMEPORT[:QUERYPORT]] with game port 7777 and query port game port + 1 by default.
platform::Result<engine::ServerAddress> parseServer(const QString &text);

// What one query gave: the exchange, the reported game port, the updated row and the
// decode of whatever arrived.
struct ServerResult
{
    // The words of the server's line: a line that names no server is reported too.
    engine::AddressWords asked;
    engine::ExchangeResult exchange;
    quint16 reportedPort = 0;
    engine::ServerEntry row;
    engine::ServerInfo info;
};

QString outcomeName(engine::QueryOutcome outcome);
QJsonObject toJson(const ServerResult &result);
// One line per server, then one indented line per listed player.
QStringList tableLines(const ServerResult &result);

// What --check found for one server: its verdict and the marks of its expression lines.
enum class CheckVerdict { Right, NotRight, Incomplete };
struct CheckResult
{
    QString address;
    CheckVerdict verdict = CheckVerdict::Incomplete;
    QString marks; // "+-+"; empty when the reply was incomplete
};
QString verdictName(CheckVerdict verdict);
// "10.0.0.5 right +-+" (no trailing blank when there are no marks).
QString checkLine(const CheckResult &result);
QJsonObject checkJson(const CheckResult &result);

// Runs the whole program; returns the exit status.
int runQueryCli(const QStringList &arguments, QTextStream &out, QTextStream &err);

} // namespace orv::query
