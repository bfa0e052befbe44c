// SPDX-License-Identifier: GPL-3.0-or-later
#include <benchmark/benchmark.h>

#include "orv/checker/checkerscript.h"
#include "orv/checker/ruleevaluator.h"
#include "orv/checker/scriptcheck.h"

using namespace orv::checker;
using orv::engine::ServerInfo;

namespace {

ServerInfo fullServer()
{
    ServerInfo info =
        ServerInfo::defaults(QStringLiteral("203.0.113.7"), QStringLiteral("7777"), QStringLiteral("7778"));
    info.hostname = QStringLiteral("Big Friendly Instagib Server [PURE] by example.org");
    info.mapname = QStringLiteral("CTF-Face");
    info.gametype = QStringLiteral("CTFGame");
    info.numplayers = QStringLiteral("32");
    info.maxplayers = QStringLiteral("32");
    info.gamever = QStringLiteral("451");
    info.tournament = QStringLiteral("False");
    info.mutators = QStringLiteral("SmartCTF 4E, Map-Vote LA13, UTCmds - Allows most ! commands");
    info.ping = 80;
    for (int p = 0; p < orv::engine::kPlayerSlots; ++p) {
        auto &player = info.players[static_cast<size_t>(p)];
        player.name = QStringLiteral("Player-%1").arg(p, 2, 10, QLatin1Char('0'));
        player.frags = QString::number(p * 7);
        player.ping = QStringLiteral(" %1").arg(40 + p);
        player.team = QString::number(p % 2);
        player.skin = QStringLiteral("SoldierSkins.hkil");
        player.mesh = QStringLiteral("Male Soldier");
        player.face = QStringLiteral("SoldierSkins.tensor");
    }
    return info;
}

// 255 lines that pass the syntax check: 42 blocks of two expressions, each followed by an
// operator, then "- and -". Expressions cycle over every kind of argument; the player
// tests never hold, so each walks all 32 players.
QStringList mixedScript()
{
    const char *expressions[] = {"-,PlayerName,?,nobody",        "-,Ping,<,300",          "-,HostName,?,instagib",
                                 "-,PlayerFrags,>,zz",           "-,NumPlayers,>=,4",     "-,Tournament,=,true",
                                 "-,PlayerSkin,=,commandoskins", "-,MapName,<,dm-b",      "-,GameVer,?,400",
                                 "-,PlayerFace,?,xyz",           "-,Mutators,?,smartctf", "-,PlayerTeam,=,3"};
    const char *operators[] = {"and", "or", "and not", "or not"};
    QStringList lines;
    for (int unit = 0; unit < 42; ++unit) {
        lines << QStringLiteral("{") << QString::fromLatin1(expressions[(2 * unit) % 12])
              << QString::fromLatin1(operators[unit % 4]) << QString::fromLatin1(expressions[(2 * unit + 1) % 12])
              << QStringLiteral("}") << QString::fromLatin1(operators[(unit + 1) % 4]);
    }
    lines << QStringLiteral("-,Ping,<,300") << QStringLiteral("and") << QStringLiteral("-,LoopNumber,<,5");
    return lines;
}

// The hardest script of 255 lines for the evaluator: 128 player-name containment tests
// that never hold, joined by "or", so every test walks all 32 players.
QStringList playerScript()
{
    QStringList lines;
    for (int i = 0; i < 128; ++i) {
        if (i > 0)
            lines << QStringLiteral("or");
        lines << QStringLiteral("-,PlayerName,?,absent%1").arg(i);
    }
    return lines;
}

EvaluationContext context()
{
    EvaluationContext c;
    c.address = QStringLiteral("203.0.113.7");
    c.passNumber = 3;
    return c;
}

void evaluateFromRows(benchmark::State &state, const QStringList &lines)
{
    const CheckerScript script = CheckerScript::fromPrg(lines);
    if (script.lineCount() != 255 || !CheckScript(script, false).passed()) {
        state.SkipWithError("benchmark script is not a valid 255-line script");
        return;
    }
    const ServerInfo info = fullServer();
    const EvaluationContext ctx = context();
    for (auto _ : state)
        benchmark::DoNotOptimize(EvaluateScript(script.rows(), info, ctx));
}

void evaluateCompiled(benchmark::State &state, const QStringList &lines)
{
    const CheckerScript script = CheckerScript::fromPrg(lines);
    if (script.lineCount() != 255 || !CheckScript(script, false).passed()) {
        state.SkipWithError("benchmark script is not a valid 255-line script");
        return;
    }
    const CompiledScript compiled(script.rows());
    const ServerInfo info = fullServer();
    const EvaluationContext ctx = context();
    for (auto _ : state)
        benchmark::DoNotOptimize(compiled.evaluate(info, ctx));
}

} // namespace

// The whole pure evaluation as the checking run calls it: script rows in, verdict out.
static void BM_EvaluateScript_Mixed255_32Players(benchmark::State &state)
{
    evaluateFromRows(state, mixedScript());
}
BENCHMARK(BM_EvaluateScript_Mixed255_32Players)->Unit(benchmark::kMicrosecond);

static void BM_EvaluateScript_PlayerOnly255_32Players(benchmark::State &state)
{
    evaluateFromRows(state, playerScript());
}
BENCHMARK(BM_EvaluateScript_PlayerOnly255_32Players)->Unit(benchmark::kMicrosecond);

// Prepared once, evaluated per server (a run over many servers, or a command-line check).
static void BM_CompiledEvaluate_Mixed255_32Players(benchmark::State &state)
{
    evaluateCompiled(state, mixedScript());
}
BENCHMARK(BM_CompiledEvaluate_Mixed255_32Players)->Unit(benchmark::kMicrosecond);

static void BM_CompiledEvaluate_PlayerOnly255_32Players(benchmark::State &state)
{
    evaluateCompiled(state, playerScript());
}
BENCHMARK(BM_CompiledEvaluate_PlayerOnly255_32Players)->Unit(benchmark::kMicrosecond);

static void BM_CheckScript255(benchmark::State &state)
{
    const CheckerScript script = CheckerScript::fromPrg(mixedScript());
    for (auto _ : state)
        benchmark::DoNotOptimize(CheckScript(script, false));
}
BENCHMARK(BM_CheckScript255)->Unit(benchmark::kMicrosecond);
