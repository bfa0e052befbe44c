// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/checker/preparedscript.h"

#include <QCoreApplication>

#include "orv/checker/scriptfile.h"

namespace orv::checker {

constexpr int kScriptErrorCodeBase = 100;

platform::Result<PreparedScript, ScriptCheckResult> PreparedScript::fromLines(const QStringList &prgLines)
{
    PreparedScript prepared;
    prepared.m_script = CheckerScript::fromPrg(prgLines);
    ScriptCheckResult check = CheckScript(prepared.m_script, false);
    if (!check.passed())
        return check;
    prepared.m_compiled = CompiledScript(prepared.m_script.rows());
    return prepared;
}

platform::Result<PreparedScript> PreparedScript::fromFile(const QString &path)
{
    auto lines = scriptfile::read(path);
    if (!lines)
        return lines.error();
    auto prepared = fromLines(lines.value());
    if (!prepared) {
        const ScriptCheckResult &check = prepared.error();
        QString message = check.message;
        // The messages of unknown lines name their line already.
        if (check.status == ScriptCheckStatus::Failed && check.scriptError < kErrorUnknownCommand)
            message = QCoreApplication::translate("orv::checker::PreparedScript", "%1 (line %2)")
                          .arg(check.message, QString::number(check.line + 1));
        return platform::Error{kScriptErrorCodeBase + check.scriptError, message};
    }
    return std::move(prepared).value();
}

Evaluation PreparedScript::evaluate(const engine::ServerInfo &info, const EvaluationContext &context) const
{
    return m_compiled.evaluate(info, context);
}

platform::Result<Evaluation, ScriptCheckResult> checkServer(const QStringList &prgLines, const engine::ServerInfo &info,
                                                            const EvaluationContext &context)
{
    auto prepared = PreparedScript::fromLines(prgLines);
    if (!prepared)
        return prepared.error();
    return prepared.value().evaluate(info, context);
}

} // namespace orv::checker
