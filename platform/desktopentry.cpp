// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/desktopentry.h"

namespace platform::desktopentry {

QString escapeString(QStringView text)
{
    QString out;
    out.reserve(text.size() + 8);
    for (QChar c : text) {
        switch (c.unicode()) {
        case '\\':
            out += QStringLiteral("\\\\");
            break;
        case '\n':
            out += QStringLiteral("\\n");
            break;
        case '\t':
            out += QStringLiteral("\\t");
            break;
        case '\r':
            out += QStringLiteral("\\r");
            break;
        default:
            out += c;
        }
    }
    return out;
}

QString quoteExec(const QStringList &arguments)
{
    QStringList quoted;
    for (const QString &arg : arguments) {
        QString q = QStringLiteral("\"");
        for (QChar c : arg) {
            if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
                q += u'\\';
            if (c == u'%')
                q += u'%';
            q += c;
        }
        q += u'"';
        quoted.append(q);
    }
    return quoted.join(u' ');
}

} // namespace platform::desktopentry
