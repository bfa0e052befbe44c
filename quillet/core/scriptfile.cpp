// SPDX-License-Identifier: GPL-3.0-or-later
#include "quillet/core/scriptfile.h"

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

platform::Result<QByteArray> prepareScriptFile(const QString &path, int tabTranslation)
{
    auto read = platform::textfile::readAll(path);
    if (!read)
        return platform::Error{static_cast<int>(ScriptFileError::CannotOpen), read.error().message};
    QByteArray converted = convertTabs(read.value(), tabTranslation);
    const platform::Status written = platform::textfile::writeAtomically(path, converted);
    if (!written)
        return platform::Error{static_cast<int>(ScriptFileError::CannotCreate), written.error().message};
    return converted;
}

platform::Status writeScriptFile(const QString &path, const QByteArray &text)
{
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
