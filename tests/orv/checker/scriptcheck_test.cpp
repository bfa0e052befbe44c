// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/checker/scriptcheck.h"

#include <gtest/gtest.h>

using namespace orv::checker;

namespace {

QStringList cmds(std::initializer_list<const char *> texts)
{
    QStringList list;
    for (const char *t : texts)
        list.append(QString::fromLatin1(t));
    return list;
}

} // namespace

TEST(CheckScript, FindsTheFirstMisplacedLine)
{
    struct Case
    {
        const char *name;
        QStringList commands;
        int error;
        int line;
    };
    const Case cases[] = {
        {"one expression", cmds({"-"}), 0, 0},
        {"block with operator", cmds({"{", "-", "and", "-", "}"}), 0, 4},
        {"blocks joined", cmds({"{", "-", "or", "-", "}", "and not", "-"}), 0, 6},
        {"empty block", cmds({"{", "}"}), 6, 0},
        {"one-expression block", cmds({"{", "-", "}"}), 4, 0},
        {"two expressions", cmds({"-", "-"}), 5, 0},
        {"expression before block", cmds({"-", "{", "-", "or", "-", "}"}), 10, 0},
        {"expression after block", cmds({"{", "-", "or", "-", "}", "-"}), 10, 4},
        {"operator first", cmds({"and", "-"}), 9, 0},
        {"two operators first", cmds({"and", "and", "-"}), 11, 0},
        {"operator alone", cmds({"or"}), 8, 0},
        {"nested block", cmds({"{", "-", "and", "{", "-", "or", "-", "}", "}"}), 1, 3},
        {"blocks side by side", cmds({"{", "-", "or", "-", "}", "{", "-", "or", "-", "}"}), 2, 4},
        {"operator before end", cmds({"{", "-", "and", "}", "and", "-", "or", "-"}), 7, 3},
        {"operator last", cmds({"-", "and"}), 8, 1},
        {"operator after operator", cmds({"-", "and", "or", "-"}), 11, 1},
        {"block after expression", cmds({"-", "and", "{", "-", "and", "-", "}", "or", "-"}), 0, 8},
    };
    for (const Case &c : cases) {
        const ScriptCheckResult r = CheckScript(c.commands, true);
        EXPECT_EQ(r.scriptError, c.error) << c.name;
        EXPECT_EQ(r.line, c.line) << c.name;
        EXPECT_EQ(r.status, c.error ? ScriptCheckStatus::Failed : ScriptCheckStatus::Passed) << c.name;
        EXPECT_EQ(r.message, scriptErrorMessage(c.error)) << c.name;
        EXPECT_EQ(r.kind, c.error ? MessageKind::Error : MessageKind::Information) << c.name;
    }
}

// A line the evaluation does not know would only ever read as false: it is refused first,
// with its line number, even where the blocks do not pair up.
TEST(CheckScript, RefusesEveryLineItDoesNotKnow)
{
    const auto lines = [](std::initializer_list<const char *> texts) {
        QStringList prg;
        for (const char *t : texts)
            prg.append(QString::fromLatin1(t));
        return CheckerScript::fromPrg(prg);
    };
    struct Case
    {
        CheckerScript script;
        int error;
        int line;
        const char *message;
    };
    const Case cases[] = {
        {lines({"-,Ping,>,99999", "", "-,Ping,>,99998"}), kErrorUnknownCommand, 1, "Line 2 is empty."},
        {lines({"-,Ping,>,1", "AND", "-,Ping,>,2"}), kErrorUnknownCommand, 1,
         "Line 2: \"AND\" is not a command; did you mean \"and\"?"},
        {lines({"-,Ping,>,1", "and ", "-,Ping,>,2"}), kErrorUnknownCommand, 1, "did you mean \"and\"?"},
        {lines({"{", "-,Ping,>,1", "xor", "-,Ping,>,2"}), kErrorUnknownCommand, 2, "Line 3: \"xor\" is not a command"},
        {lines({"-,ping,>,1"}), kErrorUnknownArgument, 0,
         "Line 1: \"ping\" is not an argument; did you mean \"Ping\"?"},
        {lines({"-,Frags,>,1"}), kErrorUnknownArgument, 0, "choose one from the list"},
        {lines({"-,Ping,=<,1"}), kErrorUnknownRule, 0, "Line 1: \"=<\" is not a rule; did you mean \"<=\"?"},
        {lines({"-,Ping,~,1"}), kErrorUnknownRule, 0, "the rules are =, <, >, <=, >=, <> and ?."},
        {lines({"-,Ping,<"}), kErrorBadValue, 0, "Line 1: the expression has no value."},
        {lines({"-,MapName,=,x", "or", "-,Ping,<,300ms"}), kErrorBadValue, 2,
         "Line 3: Ping compares whole numbers, and \"300ms\" is not one."},
    };
    for (const Case &c : cases) {
        const ScriptCheckResult r = CheckScript(c.script, true);
        EXPECT_EQ(r.status, ScriptCheckStatus::Failed) << c.message;
        EXPECT_EQ(r.scriptError, c.error) << c.message;
        EXPECT_EQ(r.line, c.line) << c.message;
        EXPECT_TRUE(r.message.contains(QString::fromLatin1(c.message))) << qPrintable(r.message);
        EXPECT_EQ(r.kind, MessageKind::Error) << c.message;
    }
    // Text and player values need no number; the commands alone are checked the same way.
    EXPECT_TRUE(CheckScript(lines({"-,HostName,?,clan", "and", "-,PlayerFrags,>,9x"}), false).passed());
    EXPECT_EQ(CheckScript(cmds({"-", "xor", "-"}), false).line, 1);
    EXPECT_EQ(CheckScript(cmds({"{", "-", ""}), false).scriptError, kErrorUnknownCommand);
}

TEST(CheckScript, AbandonsEmptyAndUnbalancedScriptsBeforeTheWalk)
{
    const ScriptCheckResult empty = CheckScript(QStringList(), true);
    EXPECT_EQ(empty.status, ScriptCheckStatus::Empty);
    EXPECT_EQ(empty.message, QStringLiteral("Where a script?"));
    EXPECT_EQ(empty.line, -1);

    // A single "{" fails the count before any other test.
    for (const QStringList &script : {cmds({"{"}), cmds({"{", "-", "and", "-"}), cmds({"-", "}"})}) {
        const ScriptCheckResult r = CheckScript(script, false);
        EXPECT_EQ(r.status, ScriptCheckStatus::Unbalanced);
        EXPECT_EQ(r.message, QStringLiteral("Some block is not closed"));
        EXPECT_EQ(r.scriptError, 0);
        EXPECT_FALSE(r.passed());
    }
}

TEST(CheckScript, GivesTheSuccessMessageOnlyWhenAsked)
{
    const QStringList script = cmds({"{", "-", "and", "-", "}"});
    EXPECT_EQ(CheckScript(script, true).message, QStringLiteral("Check script complete, no errors found."));
    const ScriptCheckResult quiet = CheckScript(script, false);
    EXPECT_TRUE(quiet.passed());
    EXPECT_TRUE(quiet.message.isEmpty());
}

TEST(CheckScript, RefusesAnEndThatClosesNoBlock)
{
    // The counts match, and every other test passes: the "}" stands before its "{", so the
    // last block would run to the end of the script.
    const QStringList script = cmds({"-", "}", "and", "{", "-", "and", "-"});
    const ScriptCheckResult r = CheckScript(script, true);
    EXPECT_EQ(r.scriptError, kErrorEndBeforeBegin);
    EXPECT_EQ(r.line, 1);
    EXPECT_EQ(r.message, QStringLiteral("Block end stands before its beginning"));

    // A more specific test on the same line still wins.
    const ScriptCheckResult seven = CheckScript(cmds({"-", "and", "}", "or", "{", "-", "and", "-"}), true);
    EXPECT_EQ(seven.scriptError, 7);
    EXPECT_EQ(seven.line, 2);
}

TEST(CheckScript, HasAMessageForEveryErrorNumber)
{
    const char *expected[] = {"Check script complete, no errors found.",
                              "Block can not contain other block",
                              "Between blocks needed to put operator",
                              "Block end stands before its beginning",
                              "Block can not contain one expression",
                              "Between expressions needed to put operator",
                              "After block begin need to put expression",
                              "Expression must stand Before closing a block",
                              "At The End of script can be only expression or end of block",
                              "At The Beginning of script can be only expression or beginning of block",
                              "Before and after expression must be operator",
                              "Between operators needed to put operator"};
    for (int i = 0; i <= 11; ++i)
        EXPECT_EQ(scriptErrorMessage(i), QString::fromLatin1(expected[i])) << i;
    EXPECT_TRUE(scriptErrorMessage(12).isEmpty());
}
