// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include "orv/checker/checkerscript.h"
#include "orv/checker/ruleevaluator.h"
#include "orv/checker/scriptcheck.h"
#include "platform/result.h"

namespace orv::checker {

// A script read from stored lines that passed CheckScript, ready to be evaluated against
// any number of servers. This is what a command-line check or a batch of servers uses.
class PreparedScript
{
public:
    // Refused with the CheckScript result when the check does not pass.
    static platform::Result<PreparedScript, ScriptCheckResult> fromLines(const QStringList &prgLines);
    // Reads a script file and checks it. The error's message is the file problem or the
    // check's message with its line; its code is 100 + ScriptError for a script error
    // (100 empty or unbalanced), else the file's read error.
    static platform::Result<PreparedScript> fromFile(const QString &path);

    const CheckerScript &script() const { return m_script; }
    Evaluation evaluate(const engine::ServerInfo &info, const EvaluationContext &context) const;

private:
    CheckerScript m_script;
    CompiledScript m_compiled;
};

// One-shot form: the stored lines and one decoded server give the verdict and the marks,
// or the CheckScript result that refused the script.
platform::Result<Evaluation, ScriptCheckResult> checkServer(const QStringList &prgLines, const engine::ServerInfo &info,
                                                            const EvaluationContext &context);

} // namespace orv::checker
