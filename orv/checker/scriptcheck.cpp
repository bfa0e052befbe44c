// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/checker/scriptcheck.h"

#include <QCoreApplication>

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

ScriptCheckResult CheckScript(const CheckerScript &script, bool showSuccess)
{
    QStringList commands;
    commands.reserve(script.lineCount());
    for (const CheckerLine &row : script.rows())
        commands.append(row.cmd);
    return CheckScript(commands, showSuccess);
}

} // namespace orv::checker
