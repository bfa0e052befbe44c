// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/argumentsplit.h"

namespace platform::shell {

QStringList splitCommandLine(QStringView text)
{
    // Quotes group, a backslash escapes a quote; runs of backslashes before a quote
    // halve, as Windows programs split their command lines, so "C:\Games\" stays intact.
    QStringList args;
    QString current;
    bool inArg = false;
    bool quoted = false;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        const QChar c = text.at(i);
        if (c == u'\\') {
            qsizetype run = 0;
            while (i < n && text.at(i) == u'\\') {
                ++run;
                ++i;
            }
            inArg = true;
            if (i < n && text.at(i) == u'"') {
                current += QString(run / 2, u'\\');
                if (run % 2 == 1) {
                    current += u'"';
                    ++i;
                }
            } else {
                current += QString(run, u'\\');
            }
            continue;
        }
        if (c == u'"') {
            quoted = !quoted;
            inArg = true;
            ++i;
            continue;
        }
        if (!quoted && (c == u' ' || c == u'\t' || c == u'\r' || c == u'\n')) {
            if (inArg)
                args.append(current);
            current.clear();
            inArg = false;
            ++i;
            continue;
        }
        current += c;
        inArg = true;
        ++i;
    }
    if (inArg)
        args.append(current);
    return args;
}

} // namespace platform::shell
