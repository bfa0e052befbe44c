// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "orv/checker/checkerscript.h"

// The syntax check that guards a script before it is evaluated: it looks only at the
// commands of the lines and finds the first line where a block or operator is misplaced.
namespace orv::checker {

enum class ScriptCheckStatus {
    Passed,     // no error: scriptError is 0
    Empty,      // "Where a script?": the command that started the check is abandoned
    Unbalanced, // "Some block is not closed": abandoned the same way
    Failed      // scriptError 1..11 at line
};

enum class MessageKind { Information, Error };

struct ScriptCheckResult
{
    ScriptCheckStatus status = ScriptCheckStatus::Passed;
    int scriptError = 0; // 0 to 15; left 0 when the check was abandoned
    int line = -1;       // the offending (or last examined) line; -1 when the walk did not start
    QString message;     // the text to show; for Passed only when the user asked for the check
    MessageKind kind = MessageKind::Information;

    bool passed() const { return status == ScriptCheckStatus::Passed; }
};

// ScriptError 3: a "}" that closes no open block. The count of "{" and "}" does not see
// their order, and a "}" standing before its "{" would leave the last block unclosed.
constexpr int kErrorEndBeforeBegin = 3;

// ScriptErrors of lines the evaluation does not know: an empty line or an unknown command,
// and expressions with an unknown argument or rule, or a value the test can never match.
// Such a line would only ever read as false, so it is refused before anything else is
// checked. Their messages name the line, counted from 1.
constexpr int kErrorUnknownCommand = 12;
constexpr int kErrorUnknownArgument = 13;
constexpr int kErrorUnknownRule = 14;
constexpr int kErrorBadValue = 15;

// The message of a ScriptError number (0 to 11); empty for other numbers, whose messages
// are made for their line.
QString scriptErrorMessage(int scriptError);

// Checks the script in order: first that every line is one the evaluation knows, then that
// "{" and "}" pair up, then where blocks and operators stand. showSuccess says whether the
// user started the check (the success message is then given) or a run did (no message when
// it passes). The form with commands alone checks no expression's argument, rule or value.
ScriptCheckResult CheckScript(const QStringList &commands, bool showSuccess);
ScriptCheckResult CheckScript(const CheckerScript &script, bool showSuccess);

} // namespace orv::checker
