// SPDX-License-Identifier: GPL-3.0-or-later
#include "quillet/core/scriptfile.h"

#include <QFileInfo>

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

platform::Result<ScriptText> prepareScriptFile(const QString &path, int tabTranslation)
{
    auto read = platform::textfile::readAll(path);
    if (!read)
        return platform::Error{static_cast<int>(ScriptFileError::CannotOpen), read.error().message};
    ScriptText script{convertTabs(read.value(), tabTranslation), isReadOnlyFile(path)};
    if (!script.readOnly && script.text != read.value())
        script.readOnly = !platform::textfile::writeAtomically(path, script.text);
    return script;
}

platform::Status writeScriptFile(const QString &path, const QByteArray &text)
{
    if (isReadOnlyFile(path))
        return platform::Error{static_cast<int>(ScriptFileError::CannotCreate),
                               QStringLiteral("%1 is read-only").arg(path)};
    const platform::Status written =
        platform::textfile::writeAtomically(path, platform::textfile::joinLines(platform::textfile::splitLines(text)));
    if (!written)
        return platform::Error{static_cast<int>(ScriptFileError::CannotCreate), written.error().message};
    return {};
}

bool isUnsavedName(const QString &fileName)
{
    return !fileName.contains(u'/') && !fileName.contains(u'\\');
}

} // namespace quillet::core
