// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/tools/inikeynumbers.h"

#include <QSet>

#include "orv/tools/inilines.h"

namespace orv::tools {

using namespace inilines;

QByteArray numberDuplicateKeys(QByteArrayView text)
{
    QByteArray out;
    out.reserve(text.size() + text.size() / 16);

    int counter = 1;
    QByteArray previousKey;
    QSet<QByteArray> keysInSection; // folded keys as written, for lines with "="

    forEachLine(text, [&](QByteArrayView line, QByteArrayView terminator) {
        if (isBlank(line) || line.startsWith('[')) {
            out.append(line).append(terminator);
            counter = 1;
            // Only a real section line starts a new set of keys; "[" without "]" is an
            // ordinary line of the section the store keeps it in.
            if (isSectionLine(line))
                keysInSection.clear();
            return;
        }
        const qsizetype eq = line.indexOf('=');
        const QByteArrayView key = eq < 0 ? line : line.first(eq);

        bool prefixed = false;
        if (key == QByteArrayView(previousKey)) {
            ++counter;
            prefixed = true;
        } else if (numberPrefixLength(line) > 0) {
            ++counter;
            prefixed = true;
        }
        if (eq >= 0) {
            const QByteArray folded = toLowerAscii(key);
            auto writtenKey = [&] { return prefixed ? QByteArray::number(counter) + '.' + folded : folded; };
            QByteArray written = writtenKey();
            while (keysInSection.contains(written)) {
                ++counter;
                prefixed = true;
                written = writtenKey();
            }
            keysInSection.insert(written);
        }
        if (prefixed)
            out.append(QByteArray::number(counter)).append('.');
        out.append(line).append(terminator);
        previousKey = key.toByteArray();
    });
    return out;
}

QByteArray stripKeyNumbers(QByteArrayView text)
{
    QByteArray out;
    out.reserve(text.size());
    forEachLine(text, [&](QByteArrayView line, QByteArrayView terminator) {
        if (!isBlank(line) && !line.startsWith('['))
            line = line.sliced(numberPrefixLength(line));
        out.append(line).append(terminator);
    });
    return out;
}

} // namespace orv::tools
