// SPDX-License-Identifier: GPL-3.0-or-later
#include "quillet/core/scriptfile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <qplatformdefs.h>

#include "platform/textfile.h"

namespace quillet::core {

QByteArray convertTabs(const QByteArray &text, int spaces)
{
    if (spaces <= 0 || !text.contains('\t'))
        return text;
    const QByteArray blanks(spaces, ' ');
    QByteArray out;
    out.reserve(text.size() + text.count('\t') * (spaces - 1));
    for (const char c : text) {
        if (c == '\t')
            out += blanks;
        else
            out += c;
    }
    return out;
}

bool isReadOnlyFile(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return false;
    const QFile::Permissions anyWrite = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    return !info.isWritable() || !(info.permissions() & anyWrite);
}

namespace {

// Replaces the file through a temporary file beside it, so a failed write leaves the old
// text; in a folder that takes no new files (one's own file in somebody else's folder) the
// file itself is written instead, as any editor does there.
platform::Status replaceFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    // Unbuffered: a write cut short by the disk must not slip through commit().
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return platform::Error{1, file.errorString()};
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return platform::Error{1, reason};
    }
    if (!file.commit())
        return platform::Error{1, file.errorString()};
    return {};
}

} // namespace

platform::Result<ScriptText> prepareScriptFile(const QString &path, int tabTranslation)
{
    auto read = platform::textfile::readAll(path);
    if (!read)
        return platform::Error{static_cast<int>(ScriptFileError::CannotOpen), read.error().message};
    ScriptText script{convertTabs(read.value(), tabTranslation), isReadOnlyFile(path)};
    if (!script.readOnly && script.text != read.value())
        script.readOnly = !replaceFile(path, script.text);
    return script;
}

platform::Status writeScriptFile(const QString &path, const QByteArray &text)
{
    if (isReadOnlyFile(path))
        return platform::Error{static_cast<int>(ScriptFileError::CannotCreate),
                               QStringLiteral("The file is read-only.")};
    const platform::Status written =
        replaceFile(path, platform::textfile::joinLines(platform::textfile::splitLines(text)));
    if (!written)
        return platform::Error{static_cast<int>(ScriptFileError::CannotCreate), written.error().message};
    return {};
}

QString fileIdentity(const QString &path)
{
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

DiskStamp diskStampOf(const QString &path)
{
    DiskStamp stamp;
#ifdef Q_OS_UNIX
    // Nanoseconds and the inode: a quick second write, or a file replaced by a new one of the
    // same size, still counts as a change.
    QT_STATBUF info;
    if (QT_STAT(QFile::encodeName(path).constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return stamp;
    stamp.exists = true;
    stamp.size = info.st_size;
    stamp.modifiedNs = static_cast<qint64>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    stamp.inode = info.st_ino;
#else
    const QFileInfo info(path);
    if (!info.isFile())
        return stamp;
    stamp.exists = true;
    stamp.size = info.size();
    stamp.modifiedNs = info.lastModified().toMSecsSinceEpoch() * 1000000;
#endif
    return stamp;
}

bool isUnsavedName(const QString &fileName)
{
    return !fileName.contains(u'/') && !fileName.contains(u'\\');
}

} // namespace quillet::core
