// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Small helpers shared by the fuzz harnesses: cut one fuzz input into pieces and turn
// bytes into the 8-bit text the readers take.

#include <cstddef>
#include <cstdint>

#include <QByteArray>
#include <QByteArrayView>
#include <QDir>
#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace fuzzinput {

inline QByteArrayView bytes(const std::uint8_t *data, std::size_t size)
{
    return QByteArrayView(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
}

// Splits at a byte that rarely occurs in real files, so one input can carry several
// independent parts (datagrams, script lines and a server answer, ...).
inline QList<QByteArrayView> parts(QByteArrayView input, char separator = '\x1e')
{
    QList<QByteArrayView> result;
    qsizetype start = 0;
    for (qsizetype i = 0; i < input.size(); ++i) {
        if (input[i] == separator) {
            result.append(input.sliced(start, i - start));
            start = i + 1;
        }
    }
    result.append(input.sliced(start));
    return result;
}

inline QString latin1(QByteArrayView bytes)
{
    return QString::fromLatin1(bytes.data(), bytes.size());
}

// Lines split at CR LF, LF or a lone CR, as the text readers see them.
inline QStringList latin1Lines(QByteArrayView bytes)
{
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\n' || c == '\r') {
            lines.append(latin1(bytes.sliced(start, i - start)));
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < bytes.size())
        lines.append(latin1(bytes.sliced(start)));
    return lines;
}

// A private folder for harnesses that go through files. On a memory file system when there
// is one: the program's saves are durable writes, and a disk sync per input would slow the
// fuzzing down to a few inputs a second.
inline QString scratchFile(const QString &name)
{
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                                 ? QStringLiteral("/dev/shm/orv-fuzz-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/orv-fuzz-XXXXXX"));
    return dir.filePath(name);
}

inline bool writeScratch(const QString &path, QByteArrayView bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes.data(), bytes.size()) == bytes.size();
}

} // namespace fuzzinput
