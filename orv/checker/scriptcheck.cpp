// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/checker/scriptcheck.h"

#include <optional>

#include <QCoreApplication>

#include "orv/checker/argumenttable.h"

namespace orv::checker {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("orv::checker::CheckScript", text);
}

bool isOperator(const QString &cmd)
{
    return cmd == QLatin1StringView("and") || cmd == QLatin1StringView("or") || cmd == QLatin1StringView("and not") ||
           cmd == QLatin1StringView("or not");
}

const QString kExpression = QStringLiteral("-");
const QString kBegin = QStringLiteral("{");
const QString kEnd = QStringLiteral("}");

constexpr const char *kCommands[] = {"-", "{", "}", "and", "or", "and not", "or not"};

bool isCommand(const QString &cmd)
{
    return cmd == kExpression || cmd == kBegin || cmd == kEnd || isOperator(cmd);
}

// A line the evaluation does not know, with the message that names it.
struct LineProblem
{
    int error = 0;
    QString message;
};

QString lineText(qsizetype line)
{
    return QString::number(line + 1);
}

// The command a mistyped one stands for: the same word in other letter case or with
// other blanks ("AND", "and ", "or  not").
QString commandMeant(const QString &cmd)
{
    const QString simple = cmd.simplified().toLower();
    for (const char *known : kCommands) {
        if (simple == QLatin1StringView(known))
            return simple;
    }
    return {};
}

std::optional<LineProblem> commandProblem(qsizetype line, const QString &cmd)
{
    if (isCommand(cmd))
        return std::nullopt;
    if (cmd.trimmed().isEmpty()) {
        return LineProblem{kErrorUnknownCommand,
                           tr("Line %1 is empty. Delete it: a script line is an expression, \"{\", \"}\", "
                              "\"and\", \"or\", \"and not\" or \"or not\".")
                               .arg(lineText(line))};
    }
    if (const QString meant = commandMeant(cmd); !meant.isEmpty())
        return LineProblem{
            kErrorUnknownCommand,
            tr("Line %1: \"%2\" is not a command; did you mean \"%3\"?").arg(lineText(line), cmd, meant)};
    return LineProblem{kErrorUnknownCommand,
                       tr("Line %1: \"%2\" is not a command: a script line is an expression, \"{\", \"}\", "
                          "\"and\", \"or\", \"and not\" or \"or not\".")
                           .arg(lineText(line), cmd)};
}

QString argumentMeant(const QString &arg)
{
    const QString trimmed = arg.trimmed();
    for (const CheckerArgument &known : checkerArguments()) {
        if (trimmed.compare(QLatin1StringView(known.name), Qt::CaseInsensitive) == 0)
            return QString::fromLatin1(known.name);
    }
    return {};
}

QString ruleMeant(const QString &rule)
{
    const QString trimmed = rule.trimmed();
    RuleOp op;
    if (parseRule(trimmed, op))
        return trimmed;
    // Rules written the other way round, or as other languages write them.
    static const std::pair<const char *, const char *> kTurned[] = {
        {"=<", "<="}, {"=>", ">="}, {"><", "<>"}, {"==", "="}, {"!=", "<>"}};
    for (const auto &[written, meant] : kTurned) {
        if (trimmed == QLatin1StringView(written))
            return QString::fromLatin1(meant);
    }
    return {};
}

std::optional<LineProblem> expressionProblem(qsizetype line, const CheckerLine &row)
{
    const QString number = lineText(line);
    const CheckerArgument *arg = findArgument(row.arg);
    if (!arg) {
        if (row.arg.isEmpty())
            return LineProblem{kErrorUnknownArgument, tr("Line %1: the expression has no argument.").arg(number)};
        if (const QString meant = argumentMeant(row.arg); !meant.isEmpty())
            return LineProblem{
                kErrorUnknownArgument,
                tr("Line %1: \"%2\" is not an argument; did you mean \"%3\"?").arg(number, row.arg, meant)};
        return LineProblem{kErrorUnknownArgument,
                           tr("Line %1: \"%2\" is not an argument; choose one from the list.").arg(number, row.arg)};
    }
    RuleOp op;
    if (!parseRule(row.rule, op)) {
        if (row.rule.isEmpty())
            return LineProblem{kErrorUnknownRule, tr("Line %1: the expression has no rule.").arg(number)};
        if (const QString meant = ruleMeant(row.rule); !meant.isEmpty())
            return LineProblem{kErrorUnknownRule,
                               tr("Line %1: \"%2\" is not a rule; did you mean \"%3\"?").arg(number, row.rule, meant)};
        return LineProblem{
            kErrorUnknownRule,
            tr("Line %1: \"%2\" is not a rule; the rules are =, <, >, <=, >=, <> and ?.").arg(number, row.rule)};
    }
    if (row.value.isEmpty())
        return LineProblem{kErrorBadValue, tr("Line %1: the expression has no value.").arg(number)};
    if (arg->kind == ArgKind::Number && !readRuleNumber(row.value))
        return LineProblem{kErrorBadValue, tr("Line %1: %2 compares whole numbers, and \"%3\" is not one.")
                                               .arg(number, QString::fromLatin1(arg->name), row.value)};
    return std::nullopt;
}

// The commands' walk, after every line has been found known.
ScriptCheckResult checkCommands(const QStringList &commands, bool showSuccess);

ScriptCheckResult refuseLine(qsizetype line, const LineProblem &problem)
{
    ScriptCheckResult result;
    result.status = ScriptCheckStatus::Failed;
    result.scriptError = problem.error;
    result.line = static_cast<int>(line);
    result.message = problem.message;
    result.kind = MessageKind::Error;
    return result;
}

} // namespace

QString scriptErrorMessage(int scriptError)
{
    switch (scriptError) {
    case 0:
        return tr("Check script complete, no errors found.");
    case 1:
        return tr("Block can not contain other block");
    case 2:
        return tr("Between blocks needed to put operator");
    case kErrorEndBeforeBegin:
        return tr("Block end stands before its beginning");
    case 4:
        return tr("Block can not contain one expression");
    case 5:
        return tr("Between expressions needed to put operator");
    case 6:
        return tr("After block begin need to put expression");
    case 7:
        return tr("Expression must stand Before closing a block");
    case 8:
        return tr("At The End of script can be only expression or end of block");
    case 9:
        return tr("At The Beginning of script can be only expression or beginning of block");
    case 10:
        return tr("Before and after expression must be operator");
    case 11:
        return tr("Between operators needed to put operator");
    default:
        return {};
    }
}

ScriptCheckResult CheckScript(const QStringList &commands, bool showSuccess)
{
    for (qsizetype i = 0; i < commands.size(); ++i) {
        if (const auto problem = commandProblem(i, commands.at(i)))
            return refuseLine(i, *problem);
    }
    return checkCommands(commands, showSuccess);
}

ScriptCheckResult CheckScript(const CheckerScript &script, bool showSuccess)
{
    QStringList commands;
    commands.reserve(script.lineCount());
    for (qsizetype i = 0; i < script.rows().size(); ++i) {
        const CheckerLine &row = script.rows().at(i);
        auto problem = commandProblem(i, row.cmd);
        if (!problem && row.cmd == kExpression)
            problem = expressionProblem(i, row);
        if (problem)
            return refuseLine(i, *problem);
        commands.append(row.cmd);
    }
    return checkCommands(commands, showSuccess);
}

namespace {

ScriptCheckResult checkCommands(const QStringList &commands, bool showSuccess)
{
    ScriptCheckResult result;
    const qsizetype n = commands.size();
    if (n == 0) {
        result.status = ScriptCheckStatus::Empty;
        result.message = tr("Where a script?");
        return result;
    }
    if (commands.count(kBegin) != commands.count(kEnd)) {
        result.status = ScriptCheckStatus::Unbalanced;
        result.message = tr("Some block is not closed");
        return result;
    }

    // A test that needs a line before the first or after the last is skipped: the
    // missing neighbour reads as a command that matches no test.
    const auto cmdAt = [&](qsizetype k) -> QStringView {
        return k >= 0 && k < n ? QStringView(commands.at(k)) : QStringView();
    };

    int error = 0;
    bool insideBlock = false;
    for (qsizetype i = 0; i < n; ++i) {
        const QString &cmd = commands.at(i);
        result.line = static_cast<int>(i);
        if (i == 0 && cmd != kExpression && cmd != kBegin)
            error = 9;
        const QStringView prev = cmdAt(i - 1);
        const QStringView next = cmdAt(i + 1);
        const bool hasPrev = i > 0;
        const bool hasNext = i + 1 < n;
        if (cmd == kBegin) {
            if (insideBlock)
                error = 1;
            if (hasNext && next != kExpression)
                error = 6;
            if (i + 2 < n && cmdAt(i + 2) == kEnd)
                error = 4;
            insideBlock = true;
        } else if (cmd == kExpression) {
            if (prev == kExpression)
                error = 5;
            if (prev == kEnd)
                error = 10;
            if (next == kExpression)
                error = 5;
            if (next == kBegin)
                error = 10;
        } else if (isOperator(cmd)) {
            if (hasPrev && prev != kExpression && prev != kBegin && prev != kEnd)
                error = 11;
            if (hasNext && next != kExpression && next != kBegin && next != kEnd)
                error = 11;
        } else if (cmd == kEnd) {
            // Tested first so that the tests below, which name the more specific
            // mistake, win on the same line.
            if (!insideBlock)
                error = kErrorEndBeforeBegin;
            insideBlock = false;
            if (hasPrev && prev != kExpression)
                error = 7;
            if (next == kBegin)
                error = 2;
            if (next == kExpression)
                error = 10;
        }
        if (i == n - 1 && cmd != kExpression && cmd != kEnd)
            error = 8;
        if (error != 0)
            break;
    }

    result.scriptError = error;
    if (error != 0) {
        result.status = ScriptCheckStatus::Failed;
        result.kind = MessageKind::Error;
        result.message = scriptErrorMessage(error);
    } else if (showSuccess) {
        result.message = scriptErrorMessage(0);
    }
    return result;
}

} // namespace

} // namespace orv::checker
