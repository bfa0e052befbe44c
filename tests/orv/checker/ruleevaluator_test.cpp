// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/checker/ruleevaluator.h"

#include <gtest/gtest.h>

using namespace orv::checker;
using orv::engine::ServerInfo;

namespace {

QString s(const char *text)
{
    return QString::fromLatin1(text);
}

ServerInfo server()
{
    ServerInfo info = ServerInfo::defaults(s("10.0.0.5"), s("7777"), s("7778"));
    info.ping = 50;
    return info;
}

EvaluationContext context(int pass = 1)
{
    EvaluationContext c;
    c.address = s("10.0.0.5");
    c.passNumber = pass;
    c.time = QTime(18, 30, 5);
    c.locale = QLocale::c();
    return c;
}

void setPlayers(ServerInfo &info, std::initializer_list<const char *> names)
{
    int i = 0;
    for (const char *name : names)
        info.players[static_cast<size_t>(i++)].name = s(name);
    info.numplayers = QString::number(i);
}

// Scripts written as tokens: "T" and "F" are expressions that hold and fail on server(),
// everything else is a command word.
QList<CheckerLine> script(std::initializer_list<const char *> tokens)
{
    QList<CheckerLine> rows;
    for (const char *t : tokens) {
        const QString token = s(t);
        if (token == s("T"))
            rows.append(CheckerLine{s("-"), s("Ping"), s("="), s("50"), QString()});
        else if (token == s("F"))
            rows.append(CheckerLine{s("-"), s("Ping"), s("="), s("51"), QString()});
        else
            rows.append(CheckerLine{token, QString(), QString(), QString(), QString()});
    }
    return rows;
}

} // namespace

TEST(TestExpression, ComparesEachKindOfArgument)
{
    struct Case
    {
        const char *name;
        std::function<void(ServerInfo &)> setup;
        const char *arg;
        const char *rule;
        const char *value;
        bool expected;
    };
    const Case cases[] = {
        // Text: A-Z folded, byte order, "?" contains.
        {"contain folded", [](ServerInfo &i) { i.hostname = s("My Server"); }, "HostName", "?", "my", true},
        {"equal folded", [](ServerInfo &i) { i.hostname = s("My Server"); }, "HostName", "=", "my server", true},
        {"value folded too", [](ServerInfo &i) { i.hostname = s("my server"); }, "HostName", "=", "MY SERVER", true},
        {"less true", [](ServerInfo &i) { i.mapname = s("DM-Abyss"); }, "MapName", "<", "dm-b", true},
        {"less false", [](ServerInfo &i) { i.mapname = s("DM-Deck16"); }, "MapName", "<", "dm-b", false},
        {"prefix is smaller", [](ServerInfo &i) { i.mapname = s("DM-Deck16"); }, "MapName", "<", "dm-deck16x", true},
        {"longer is greater", [](ServerInfo &i) { i.mapname = s("DM-Deck16"); }, "MapName", ">", "dm-deck", true},
        {"less or equal", [](ServerInfo &i) { i.mapname = s("DM-Deck16"); }, "MapName", "<=", "dm-deck16", true},
        {"more or equal", [](ServerInfo &i) { i.mapname = s("DM-Deck16"); }, "MapName", ">=", "dm-deck16", true},
        {"not equal", [](ServerInfo &i) { i.mapname = s("DM-Deck16"); }, "MapName", "<>", "dm-deck16", false},
        {"bytes unsigned", [](ServerInfo &i) { i.hostname = QString(QChar(0xe9)); }, "HostName", ">", "z", true},
        {"accents not folded", [](ServerInfo &i) { i.hostname = QString(QChar(0xc9)); }, "HostName", "=",
         "\xe9", false},
        {"empty value never contained", [](ServerInfo &i) { i.hostname = s("abc"); }, "HostName", "?", "", false},
        {"empty server text", [](ServerInfo &) {}, "ShortName", "<>", "x", false},
        {"placeholder is text", [](ServerInfo &) {}, "MapName", "=", "n/a", true},
        {"address", [](ServerInfo &) {}, "IP", "?", "10.0.", true},
        // Numbers: whole 32-bit numbers, "?" is less or equal.
        {"more", [](ServerInfo &i) { i.numplayers = s("6"); }, "NumPlayers", ">", "5", true},
        {"ping none", [](ServerInfo &i) { i.ping = 9999; }, "Ping", "<", "300", false},
        {"ping equal bound", [](ServerInfo &i) { i.ping = 300; }, "Ping", "<=", "300", true},
        {"? is <= (348)", [](ServerInfo &i) { i.gamever = s("348"); }, "GameVer", "?", "400", true},
        {"? is <= (432)", [](ServerInfo &i) { i.gamever = s("432"); }, "GameVer", "?", "400", false},
        {"? is <= (equal)", [](ServerInfo &i) { i.gamever = s("400"); }, "GameVer", "?", "400", true},
        {"placeholder not a number", [](ServerInfo &) {}, "TimeLimit", "=", "20", false},
        {"placeholder under <>", [](ServerInfo &) {}, "TimeLimit", "<>", "20", false},
        {"value not a number", [](ServerInfo &i) { i.timelimit = s("20"); }, "TimeLimit", "=", "twenty", false},
        {"beyond 32 bits", [](ServerInfo &i) { i.fraglimit = s("2147483648"); }, "FragLimit", ">", "0", false},
        {"32-bit bound", [](ServerInfo &i) { i.fraglimit = s("2147483647"); }, "FragLimit", ">", "0", true},
        {"negative", [](ServerInfo &i) { i.goalteamscore = s("0"); }, "GoalTeamscore", ">", "-1", true},
        {"empty number", [](ServerInfo &) {}, "GameVer", "<>", "1", false},
        {"game port default", [](ServerInfo &) {}, "GamePort", "=", "7777", true},
        {"game port reported", [](ServerInfo &i) { i.hostport = s("7790"); }, "GamePort", "=", "7790", true},
        {"info port", [](ServerInfo &) {}, "InfoPort", "=", "7778", true},
        {"numbers not text", [](ServerInfo &i) { i.maxplayers = s("16"); }, "Maxplayers", ">", "9", true},
        // True/False settings.
        {"flag equal", [](ServerInfo &i) { i.tournament = s("True"); }, "Tournament", "=", "true", true},
        {"flag equal false", [](ServerInfo &i) { i.tournament = s("False"); }, "Tournament", "=", "true", false},
        {"flag empty", [](ServerInfo &) {}, "ListenServer", "=", "", false},
        {"flag under <>", [](ServerInfo &i) { i.tournament = s("False"); }, "Tournament", "<>", "true", true},
        {"flag under ?", [](ServerInfo &i) { i.worldlog = s("True"); }, "WorldLog", "?", "ru", true},
        // Players.
        {"player named", [](ServerInfo &i) { setPlayers(i, {"Alice", "Bob"}); }, "PlayerName", "=", "bob", true},
        {"no such player", [](ServerInfo &i) { setPlayers(i, {"Alice", "Bob"}); }, "PlayerName", "=", "carol",
         false},
        {"frags as text 10", [](ServerInfo &i) { setPlayers(i, {"A"}); i.players[0].frags = s("10"); },
         "PlayerFrags", ">", "9", false},
        {"frags as text 95", [](ServerInfo &i) { setPlayers(i, {"A"}); i.players[0].frags = s("95"); },
         "PlayerFrags", ">", "9", true},
        {"player ? contains", [](ServerInfo &i) { setPlayers(i, {"A"}); i.players[0].frags = s("719"); },
         "PlayerFrags", "?", "1", true},
        {"ping as text", [](ServerInfo &i) { setPlayers(i, {"A"}); i.players[0].ping = s(" 152"); }, "PlayerPing",
         "<", "100", true},
        {"no players", [](ServerInfo &i) { i.players[0].name = s("Bob"); }, "PlayerName", "=", "bob", false},
        {"players not a number", [](ServerInfo &i) { setPlayers(i, {"Bob"}); i.numplayers = s("N/A"); },
         "PlayerName", "=", "bob", false},
        {"only listed players", [](ServerInfo &i) { setPlayers(i, {"A", "B", "C", "Bob"}); i.numplayers = s("3"); },
         "PlayerName", "=", "bob", false},
        {"empty player value", [](ServerInfo &i) { setPlayers(i, {"A"}); i.players[0].face = QString(); },
         "PlayerFace", "<>", "x", false},
        {"unreceived slots", [](ServerInfo &i) { setPlayers(i, {"A"}); i.numplayers = s("2"); }, "PlayerName", "?",
         "information", true},
        {"team", [](ServerInfo &i) { setPlayers(i, {"A", "B"}); i.players[1].team = s("1"); }, "PlayerTeam", "=",
         "1", true},
        {"bots without players", [](ServerInfo &i) { i.multiplayerbots = s("True"); }, "MultiplayerBots", "=",
         "true", false},
        {"bots with a player", [](ServerInfo &i) { setPlayers(i, {"A"}); i.multiplayerbots = s("True"); },
         "MultiplayerBots", "=", "true", true},
        // Context values.
        {"pass number", [](ServerInfo &) {}, "LoopNumber", "=", "3", true},
        {"pass number less", [](ServerInfo &) {}, "LoopNumber", "<", "3", false},
        {"time equal", [](ServerInfo &) {}, "TimeNow", "=", "18:30:05", true},
        {"time later", [](ServerInfo &) {}, "TimeNow", ">", "18:00", true},
        // Undefined names and rules fail the test.
        {"unknown arg", [](ServerInfo &) {}, "Frobnicate", "=", "1", false},
        {"arg case counts", [](ServerInfo &) {}, "ping", "=", "50", false},
        {"unknown rule", [](ServerInfo &) {}, "Ping", "==", "50", false},
        {"unknown rule on text", [](ServerInfo &i) { i.hostname = s("a"); }, "HostName", "", "a", false},
    };
    for (const Case &c : cases) {
        ServerInfo info = server();
        c.setup(info);
        EXPECT_EQ(TestExpression(s(c.arg), s(c.rule), s(c.value), info, context(3)), c.expected) << c.name;
    }
}

TEST(TestExpression, PlayerArgumentsWalkAtMostThirtyTwoPlayers)
{
    ServerInfo info = server();
    info.numplayers = s("99"); // two digits fit the field; only 32 slots exist
    info.players[31].name = s("Last");
    EXPECT_TRUE(TestExpression(s("PlayerName"), s("="), s("last"), info, context()));
    info.numplayers = s("31");
    EXPECT_FALSE(TestExpression(s("PlayerName"), s("="), s("last"), info, context()));
}

TEST(EvaluateScript, FoldsTheTopLevelWithoutPrecedence)
{
    struct Case
    {
        const char *name;
        QList<CheckerLine> rows;
        bool expected;
    };
    const Case cases[] = {
        {"A or B or C", script({"F", "or", "F", "or", "T"}), false},
        {"A or C", script({"F", "or", "T"}), true},
        {"C or A and B", script({"T", "or", "F", "and", "F"}), false},
        {"T or F and F", script({"T", "or", "F", "and", "F"}), false},
        {"T and T or F", script({"T", "and", "T", "or", "F"}), true},
        {"false stays false", script({"T", "and", "F", "or", "T"}), false},
        {"and not turns it false", script({"T", "or", "F", "and not", "T", "or", "T"}), false},
        {"and not", script({"T", "and not", "F"}), true},
        {"or not", script({"F", "or not", "F"}), true},
        {"one expression true", script({"T"}), true},
        {"one expression false", script({"F"}), false},
        {"one block", script({"{", "T", "and", "F", "}"}), false},
        {"blocks joined", script({"{", "T", "or", "F", "}", "and", "{", "F", "or", "T", "}"}), true},
        {"block and expression", script({"F", "or", "{", "T", "and", "T", "}"}), true},
        // Without an operator only the values decide: false ones are never right.
        {"no operator, all false", script({"F", "xor", "F"}), false},
        {"no operator, one false", script({"T", "xor", "F"}), false},
        {"no operator, all true", script({"T", "xor", "T"}), true},
        {"only unknown", script({"xor"}), false},
        {"empty script is never right", script({}), false},
        {"block without operator, false", script({"{", "F", "xor", "F", "}"}), false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(EvaluateScript(c.rows, server(), context()).right, c.expected) << c.name;
}

TEST(EvaluateScript, ReducesBlocksAsChainsOfNeighbours)
{
    struct Case
    {
        const char *name;
        QList<CheckerLine> rows;
        bool expected;
    };
    const Case cases[] = {
        {"{ A or B or C } with B, C false", script({"{", "T", "or", "F", "or", "F", "}"}), false},
        {"{ A or B or C } neighbours hold", script({"{", "T", "or", "F", "or", "T", "}"}), true},
        {"{ A and not B }", script({"{", "T", "and not", "F", "}"}), true},
        {"{ A or B } A true", script({"{", "T", "or", "F", "}"}), true},
        {"{ A and B and C }", script({"{", "T", "and", "T", "and", "T", "}"}), true},
        {"{ A and B and C } one false", script({"{", "T", "and", "T", "and", "F", "}"}), false},
        // Once false, later operators are skipped even if they would hold.
        {"false first", script({"{", "F", "and", "T", "or", "T", "}"}), false},
        {"{ A or not B }", script({"{", "F", "or not", "F", "}"}), true},
    };
    for (const Case &c : cases)
        EXPECT_EQ(EvaluateScript(c.rows, server(), context()).right, c.expected) << c.name;
}

TEST(EvaluateScript, MarksExpressionsAndBuildsTheReducedList)
{
    QList<CheckerLine> rows = script({"{", "T", "or", "F", "}", "and not", "F", "xor"});
    rows[2].mark = s("+"); // a stale mark on an operator line is left alone
    const Evaluation e = EvaluateScript(rows, server(), context());
    EXPECT_EQ(e.marks, QStringList({s(""), s("+"), s("+"), s("-"), s(""), s(""), s("-"), s("")}));
    EXPECT_EQ(e.expressionMarks, s("+--"));
    EXPECT_EQ(e.newPrg, QStringList({s("true"), s("and not"), s("false"), s("xor")}));
    EXPECT_TRUE(e.right);

    CheckerScript edited = CheckerScript::fromPrg({s("-,Ping,=,50"), s("or"), s("-,Ping,=,1")});
    edited.setMarks(EvaluateScript(edited.rows(), server(), context()).marks);
    EXPECT_EQ(edited.rows().at(0).mark, s("+"));
    EXPECT_EQ(edited.rows().at(1).mark, s(""));
    EXPECT_EQ(edited.rows().at(2).mark, s("-"));
}

TEST(EvaluateScript, MalformedScriptsStayInsideTheScript)
{
    // None of these passes CheckScript; the run may still evaluate them after an edit.
    struct Case
    {
        const char *name;
        QList<CheckerLine> rows;
        bool expected;
        QStringList newPrg;
    };
    const Case cases[] = {
        // The "}" before its "{": the last block takes the rest of the script.
        {"end before begin",
         script({"T", "}", "and", "{", "T", "and", "T"}),
         true,
         {s("true"), s("}"), s("and"), s("true")}},
        {"begin last", script({"T", "and", "{"}), false, {s("true"), s("and"), s("false")}},
        // An operator with nothing below takes false as its right operand.
        {"operator last", script({"T", "and"}), false, {s("true"), s("and")}},
        {"block operator last", script({"{", "T", "or"}), true, {s("true")}},
        {"block operator at end, and", script({"{", "T", "and"}), false, {s("false")}},
        // Neighbours that are not expressions read as false.
        {"operator after begin", script({"{", "or", "T", "}"}), true, {s("true")}},
        {"operator after begin, and", script({"{", "and", "T", "}"}), false, {s("false")}},
        {"nested", script({"{", "T", "{", "T", "or", "F", "}", "}"}), true, {s("true"), s("}")}},
        {"operator first", script({"and", "F"}), false, {s("and"), s("false")}},
    };
    for (const Case &c : cases) {
        const Evaluation e = EvaluateScript(c.rows, server(), context());
        EXPECT_EQ(e.right, c.expected) << c.name;
        EXPECT_EQ(e.newPrg, c.newPrg) << c.name;
        EXPECT_EQ(e.marks.size(), c.rows.size()) << c.name;
    }
}

TEST(EvaluateScript, CompiledScriptGivesTheSameResultForEveryServer)
{
    const QList<CheckerLine> rows =
        CheckerScript::fromPrg({s("-,MapName,?,deck"), s("and"), s("-,NumPlayers,>,2")}).rows();
    const CompiledScript compiled(rows);
    for (const auto &[map, players, expected] :
         {std::tuple{"DM-Deck16", "3", true}, std::tuple{"DM-Deck16", "2", false},
          std::tuple{"CTF-Face", "8", false}}) {
        ServerInfo info = server();
        info.mapname = s(map);
        info.numplayers = s(players);
        EXPECT_EQ(compiled.evaluate(info, context()).right, expected) << map << players;
        EXPECT_EQ(EvaluateScript(rows, info, context()).right, expected) << map << players;
    }
}

TEST(TimeOfDayText, UsesTheLongFormatWithoutZone)
{
    EXPECT_EQ(timeOfDayText(QTime(7, 5, 9), QLocale::c()), s("07:05:09"));
    EXPECT_FALSE(timeOfDayText(QTime(7, 5, 9), QLocale(QLocale::English, QLocale::UnitedStates)).contains(s("UTC")));
}

TEST(EvaluateScript, AnyCommandSequenceStaysInBounds)
{
    // Every sequence of up to five lines over the commands, evaluated as an edited script
    // that never passed the check would be: the result is defined and sized to the script.
    const char *tokens[] = {"T", "F", "{", "}", "and", "or not", "xor"};
    constexpr int kTokens = 7;
    int scripts = 0;
    for (int length = 1; length <= 5; ++length) {
        int combinations = 1;
        for (int i = 0; i < length; ++i)
            combinations *= kTokens;
        for (int code = 0; code < combinations; ++code) {
            QList<CheckerLine> rows;
            int rest = code;
            for (int i = 0; i < length; ++i) {
                rows += script({tokens[rest % kTokens]});
                rest /= kTokens;
            }
            const Evaluation e = EvaluateScript(rows, server(), context());
            ASSERT_EQ(e.marks.size(), rows.size());
            ASSERT_LE(e.newPrg.size(), rows.size());
            ++scripts;
        }
    }
    EXPECT_EQ(scripts, 7 + 49 + 343 + 2401 + 16807);
}
