// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <vector>

#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <QTime>

#include "orv/checker/argumenttable.h"
#include "orv/checker/checkerscript.h"
#include "orv/engine/serverinfo.h"

// Evaluation of a checker script against one server's decoded status reply.
//
// Every expression line is tested on its own, each block is reduced to one truth value,
// and the reduced list is folded left to right. Neither step gives "and" precedence over
// "or": a block holds when every operator in it holds between its two neighbouring lines,
// and the top-level fold keeps a false result false once the first operator has run.
namespace orv::checker {

// What the evaluation knows besides the decoded server.
struct EvaluationContext
{
    QString address;    // the address being checked ("IP")
    int passNumber = 1; // "LoopNumber"
    QTime time;         // local time of day ("TimeNow")
    QLocale locale;     // whose long time format writes "TimeNow"
};

// The result of one evaluation.
struct Evaluation
{
    bool right = false;
    // One per row: "+" or "-" for expression lines; other rows keep the mark they had.
    QStringList marks;
    // The marks of the expression lines alone, in script order ("+-+").
    QString expressionMarks;
    // The reduced list: "true", "false", operator words, and other commands as written.
    QStringList newPrg;
};

// The text "TimeNow" compares: the time in the locale's long time format, without a
// time-zone name.
QString timeOfDayText(const QTime &time, const QLocale &locale);

// Tests one expression. An argument that is not one of the 42 names, or a rule that is
// not one of the seven, makes the test false. A True/False setting under a rule other
// than "=" is compared as folded text, so "Tournament <> true" holds for "False".
bool TestExpression(const QString &arg, const QString &rule, const QString &value, const engine::ServerInfo &info,
                    const EvaluationContext &context);

// The script prepared once for many evaluations: arguments looked up, values folded and
// read as numbers. Evaluation then allocates only its result.
class CompiledScript
{
public:
    CompiledScript() = default;
    explicit CompiledScript(const QList<CheckerLine> &rows);

    int lineCount() const { return static_cast<int>(m_lines.size()); }
    Evaluation evaluate(const engine::ServerInfo &info, const EvaluationContext &context) const;

    enum class LineKind { Expression, Begin, End, And, Or, AndNot, OrNot, Other };

    struct Line
    {
        LineKind kind = LineKind::Other;
        QString cmd;  // as written; kept for the reduced list
        QString mark; // the row's mark before the evaluation
        const CheckerArgument *arg = nullptr;
        bool ruleKnown = false;
        RuleOp rule = RuleOp::Equal;
        QString foldedValue;
        std::optional<qint32> number; // the value read as a whole number
    };

private:
    bool test(const Line &line, const engine::ServerInfo &info, const EvaluationContext &context,
              const QString &timeNow) const;

    std::vector<Line> m_lines;
    bool m_usesTime = false;
};

// Tests every expression line, sets its mark, reduces blocks, folds, and returns the
// result. Scripts that did not pass CheckScript are evaluated too, and never read past
// their last line: a "{" without a later "}" takes every line to the end as its block,
// and an operator with no line below it has false as its right operand. A block or a
// script without an operator holds only when all of its values hold (lines with other
// commands add none), so only the script's own expressions, or a "not", make it right.
Evaluation EvaluateScript(const QList<CheckerLine> &rows, const engine::ServerInfo &info,
                          const EvaluationContext &context);

} // namespace orv::checker
