// SPDX-License-Identifier: GPL-3.0-or-later
// Checker scripts: the import of a script file, the syntax check, and the evaluation of the
// script against a server decoded from the rest of the input.

#include "fuzz/fuzzinput.h"
#include "orv/checker/checkerscript.h"
#include "orv/checker/ruleevaluator.h"
#include "orv/checker/scriptcheck.h"
#include "orv/checker/scriptfile.h"
#include "orv/engine/replydecoder.h"

using namespace orv::checker;
using namespace orv::engine;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QList<QByteArrayView> pieces = fuzzinput::parts(fuzzinput::bytes(data, size));
    const auto lines = scriptfile::parse(pieces.value(0));
    if (!lines)
        return 0;
    const CheckerScript script = CheckerScript::fromPrg(*lines);
    const ScriptCheckResult check = CheckScript(script, true);
    (void)scriptErrorMessage(check.scriptError);

    ServerInfo info = ServerInfo::defaults(QStringLiteral("127.0.0.2"), QStringLiteral("7777"), QStringLiteral("7778"));
    for (qsizetype i = 1; i < pieces.size(); ++i)
        applyDatagram(info, pieces[i]);
    EvaluationContext context;
    context.address = QStringLiteral("127.0.0.2");
    context.passNumber = 3;
    context.time = QTime(12, 34, 56);
    context.locale = QLocale::c();
    // The evaluation runs on scripts that passed the check, as the checking run does, and
    // on any script too: a bad script must give a result, not a crash.
    (void)EvaluateScript(script.rows(), info, context);
    return 0;
}
