// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/checker/checkerscript.h"

#include <gtest/gtest.h>

#include "orv/checker/argumenttable.h"
#include "orv/checker/presetname.h"

using namespace orv::checker;

namespace {

QString s(const char *text)
{
    return QString::fromLatin1(text);
}

CheckerLine row(const char *cmd, const char *arg = "", const char *rule = "", const char *value = "")
{
    return CheckerLine{s(cmd), s(arg), s(rule), s(value), QString()};
}

QStringList lines(std::initializer_list<const char *> texts)
{
    QStringList list;
    for (const char *t : texts)
        list.append(s(t));
    return list;
}

} // namespace

TEST(CheckerScript, StoredLineSplitsIntoFourWords)
{
    struct Case
    {
        const char *line;
        CheckerLine expected;
    };
    const Case cases[] = {
        {"-,Ping,<,300", row("-", "Ping", "<", "300")},
        {"and", row("and")},
        {"and not", row("and not")},
        // A value with a comma keeps only its part before the comma.
        {"-,HostName,?,a,b", row("-", "HostName", "?", "a")},
        // Leading commas are skipped and runs of commas count as one.
        {",-,,Ping,<,300", row("-", "Ping", "<", "300")},
        {"-,,,Ping,,,<,,,300,,,", row("-", "Ping", "<", "300")},
        // A rule word made of a comma cannot survive, the value moves up.
        {"-,MapName,,,dm", row("-", "MapName", "dm", "")},
        {"", row("")},
        {",,,", row("")},
        {"-,Ping", row("-", "Ping")},
    };
    for (const Case &c : cases)
        EXPECT_EQ(CheckerScript::rowFromPrgLine(s(c.line)), c.expected) << c.line;
}

TEST(CheckerScript, FromPrgRebuildsRowsWithEmptyMarks)
{
    const CheckerScript script = CheckerScript::fromPrg(lines({"{", "-,Ping,<,300", "or", "-,HostName,?,my", "}"}));
    ASSERT_EQ(script.lineCount(), 5);
    EXPECT_EQ(script.rows().at(1), row("-", "Ping", "<", "300"));
    EXPECT_EQ(script.rows().at(3), row("-", "HostName", "?", "my"));
    for (const CheckerLine &r : script.rows())
        EXPECT_TRUE(r.mark.isEmpty());
}

TEST(CheckerScript, UpAndDownSwapStoredLinesAndClearMarks)
{
    CheckerScript script = CheckerScript::fromPrg(lines({"-,Ping,<,300", "and", "-,NumPlayers,>,5"}));
    script.setMarks(lines({"+", "", "-"}));

    EditOutcome up = script.moveUp(2);
    EXPECT_TRUE(up.changed);
    EXPECT_EQ(up.selected, 1);
    EXPECT_EQ(script.prg(), lines({"-,Ping,<,300", "-,NumPlayers,>,5", "and"}));
    for (const CheckerLine &r : script.rows())
        EXPECT_TRUE(r.mark.isEmpty());

    EditOutcome down = script.moveDown(0);
    EXPECT_EQ(down.selected, 1);
    EXPECT_EQ(script.prg(), lines({"-,NumPlayers,>,5", "-,Ping,<,300", "and"}));

    // At the edges nothing moves and the selection stays.
    const QStringList before = script.prg();
    EditOutcome top = script.moveUp(0);
    EXPECT_FALSE(top.changed);
    EXPECT_EQ(top.selected, 0);
    EditOutcome bottom = script.moveDown(2);
    EXPECT_FALSE(bottom.changed);
    EXPECT_EQ(bottom.selected, 2);
    EXPECT_EQ(script.prg(), before);

    // No selection or one outside the script changes nothing.
    EXPECT_FALSE(script.moveUp(7).changed);
    EXPECT_FALSE(script.moveDown(-1).changed);
    EXPECT_EQ(script.prg(), before);
}

TEST(CheckerScript, MovingRebuildsRowsFromTheStoredForm)
{
    // Added with a comma in the value, the row shows it whole until the list is rebuilt.
    CheckerScript script;
    script.add(s("HostName"), s("?"), s("a,b"));
    script.append(ScriptCommand::And);
    EXPECT_EQ(script.rows().at(0).value, s("a,b"));
    EXPECT_EQ(script.prg().at(0), s("-,HostName,?,a,b"));
    script.moveDown(0);
    EXPECT_EQ(script.rows().at(1).value, s("a"));
}

TEST(CheckerScript, ReplaceTurnsAnyLineIntoAnExpression)
{
    CheckerScript script = CheckerScript::fromPrg(lines({"{", "-,Ping,<,300", "}"}));
    script.setMarks(lines({"", "+", ""}));
    EditOutcome out = script.replace(1, s("MapName"), s("="), s("dm-deck16"));
    EXPECT_TRUE(out.changed);
    EXPECT_EQ(script.rows().at(1), row("-", "MapName", "=", "dm-deck16"));
    EXPECT_EQ(script.prg().at(1), s("-,MapName,=,dm-deck16"));

    script.replace(0, s("Ping"), s(">"), s("10"));
    EXPECT_EQ(script.prg().at(0), s("-,Ping,>,10"));
    EXPECT_EQ(script.rows().at(0).cmd, s("-"));

    EXPECT_FALSE(script.replace(3, s("Ping"), s(">"), s("10")).changed);
    EXPECT_EQ(script.lineCount(), 3);
}

TEST(CheckerScript, AddStopsAt255LinesWithItsMessage)
{
    CheckerScript script;
    for (int i = 0; i < kMaxAddedLines - 1; ++i)
        ASSERT_TRUE(script.add(s("Ping"), s("<"), QString::number(i)).changed);
    // Operators do not count against the limit but fill the script all the same.
    EXPECT_TRUE(script.append(ScriptCommand::Or).changed);
    ASSERT_EQ(script.lineCount(), 255);

    EditOutcome refused = script.add(s("Ping"), s("<"), s("1"));
    EXPECT_FALSE(refused.changed);
    EXPECT_EQ(refused.message, s("Maximum script lines is 255!"));
    EXPECT_EQ(script.lineCount(), 255);
    EXPECT_EQ(script.prg().size(), 255);

    // The appending commands go beyond it.
    EXPECT_TRUE(script.append(ScriptCommand::Begin).changed);
    EXPECT_EQ(script.lineCount(), 256);
    EXPECT_EQ(script.prg().last(), s("{"));
}

TEST(CheckerScript, AppendAddsTheBareCommandWord)
{
    struct Case
    {
        ScriptCommand command;
        const char *word;
    };
    const Case cases[] = {{ScriptCommand::Begin, "{"},        {ScriptCommand::End, "}"},
                          {ScriptCommand::And, "and"},        {ScriptCommand::Or, "or"},
                          {ScriptCommand::AndNot, "and not"}, {ScriptCommand::OrNot, "or not"}};
    CheckerScript script;
    int index = 0;
    for (const Case &c : cases) {
        EditOutcome out = script.append(c.command);
        EXPECT_EQ(out.selected, index);
        EXPECT_EQ(script.prg().at(index), s(c.word));
        EXPECT_EQ(script.rows().at(index), row(c.word));
        // The stored word reads back as the same row.
        EXPECT_EQ(CheckerScript::rowFromPrgLine(script.prg().at(index)), row(c.word));
        ++index;
    }
}

TEST(CheckerScript, DeleteAndClearChangeBothCopies)
{
    CheckerScript script = CheckerScript::fromPrg(lines({"-,Ping,<,300", "or", "-,Ping,>,900"}));
    EXPECT_TRUE(script.remove(1).changed);
    EXPECT_EQ(script.prg(), lines({"-,Ping,<,300", "-,Ping,>,900"}));
    EXPECT_EQ(script.rows().size(), 2);
    EXPECT_FALSE(script.remove(2).changed);
    EXPECT_TRUE(script.clear().changed);
    EXPECT_TRUE(script.isEmpty());
    EXPECT_TRUE(script.prg().isEmpty());
    EXPECT_FALSE(script.clear().changed);
}

TEST(CheckerScript, ActionsEnableByTheirRules)
{
    const CheckerScript empty;
    const CheckerScript one = CheckerScript::fromPrg(lines({"-,Ping,<,300"}));
    const QString arg = s("Ping"), rule = s("<"), value = s("300");
    struct Case
    {
        EditAction action;
        bool emptyNoSelection;
        bool oneSelected;
        bool oneNoSelection;
    };
    const Case cases[] = {
        {EditAction::Up, false, true, false},      {EditAction::Down, false, true, false},
        {EditAction::Replace, false, true, false}, {EditAction::Delete, false, true, false},
        {EditAction::Clear, false, true, true},    {EditAction::Check, false, true, true},
        {EditAction::Export, false, true, true},   {EditAction::Import, true, true, true},
        {EditAction::Begin, true, true, true},     {EditAction::OrNot, true, true, true},
        {EditAction::Add, true, true, true},
    };
    for (const Case &c : cases) {
        const int id = static_cast<int>(c.action);
        EXPECT_EQ(empty.isActionEnabled(c.action, std::nullopt, arg, rule, value), c.emptyNoSelection) << id;
        EXPECT_EQ(one.isActionEnabled(c.action, 0, arg, rule, value), c.oneSelected) << id;
        EXPECT_EQ(one.isActionEnabled(c.action, std::nullopt, arg, rule, value), c.oneNoSelection) << id;
    }
    // A selection past the end is no selection; Add needs all three boxes filled.
    EXPECT_FALSE(one.isActionEnabled(EditAction::Delete, 1, arg, rule, value));
    EXPECT_FALSE(one.isActionEnabled(EditAction::Add, 0, arg, rule, QString()));
    EXPECT_FALSE(one.isActionEnabled(EditAction::Add, 0, QString(), rule, value));
}

TEST(ArgumentTable, HoldsTheFortyTwoNamesInBoxOrderAndMatchesExactly)
{
    const auto args = checkerArguments();
    ASSERT_EQ(args.size(), 42u);
    EXPECT_STREQ(args.front().name, "LoopNumber");
    EXPECT_STREQ(args[20].name, "MultiplayerBots");
    EXPECT_STREQ(args.back().name, "TimeNow");
    for (const CheckerArgument &a : args) {
        EXPECT_EQ(findArgument(QString::fromLatin1(a.name)), &a) << a.name;
        // Every argument reads some value: a field, a player field or a context value.
        if (a.source == ArgSource::Field) {
            EXPECT_NE(a.field, nullptr) << a.name;
        }
        if (a.source == ArgSource::PlayerField) {
            EXPECT_NE(a.player, nullptr) << a.name;
        }
    }
    EXPECT_EQ(findArgument(u"ping"), nullptr);
    EXPECT_EQ(findArgument(u"MaxPlayers"), nullptr); // the box spells it "Maxplayers"
    EXPECT_EQ(findArgument(u""), nullptr);
    EXPECT_EQ(ruleHint(), s("=     equal\r\n<     less\r\n>     more\r\n<=   less or equal \r\n"
                            ">=   more or equal \r\n<>   not equal \r\n?     contain"));
}

TEST(PresetName, BoxAndImportRefuseKeyChangingCharacters)
{
    for (const char c : {'.', '/', '\\'})
        EXPECT_FALSE(presetBoxAccepts(QLatin1Char(c))) << c;
    EXPECT_TRUE(presetBoxAccepts(QLatin1Char('a')));
    EXPECT_TRUE(presetBoxAccepts(QLatin1Char(' ')));

    struct Case
    {
        QString name;
        bool accepted;
    };
    const Case cases[] = {
        {s("Default"), true},
        {s("my preset 2"), true},
        {QString(50, QLatin1Char('x')), true},
        {QString(51, QLatin1Char('x')), false},
        {s("a.Prg_Items"), false},
        {s("x\\TRepeatFormWhenRuleRight"), false},
        {s("a/b"), false},
        {s("tab\there"), false},
        {s("line\nbreak"), false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(!importedPresetNameProblem(c.name).has_value(), c.accepted) << c.name.toStdString();
}

TEST(PresetName, AddingFollowsTheListRules)
{
    const QStringList names = lines({"Default", "Fast servers"});
    struct Case
    {
        QString name;
        PresetAdd expected;
    };
    const Case cases[] = {
        {s("Night"), PresetAdd::Added},
        {s("default"), PresetAdd::CaseDuplicate}, // the store finds keys whatever their case
        {s("Default"), PresetAdd::Duplicate},
        {QString(), PresetAdd::Ignored},
    };
    for (const Case &c : cases)
        EXPECT_EQ(checkPresetAdd(names, c.name), c.expected) << c.name.toStdString();

    QStringList full;
    for (int i = 0; i < kMaxPresets; ++i)
        full.append(QString::number(i));
    EXPECT_EQ(checkPresetAdd(full, s("one more")), PresetAdd::Ignored);
    full.removeLast();
    EXPECT_EQ(checkPresetAdd(full, s("one more")), PresetAdd::Added);
    EXPECT_EQ(duplicatePresetMessage(), s("Change preset name!"));

    EXPECT_EQ(presetSection(s("Default")), s("Repeat\\Default"));
    EXPECT_EQ(presetKeysToDelete(s("Night")),
              lines({"SOFTWARE\\Orvane\\Repeat\\Night", "SOFTWARE\\Orvane\\Repeat\\Night.Prg_Items"}));
}
