// SPDX-License-Identifier: GPL-3.0-or-later
#include "quillet/core/compilermessage.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include "quillet/core/buildcommand.h"

namespace quillet::core {

namespace {

// The next path step below folder whose name equals name ignoring case; the exact name wins.
QString childIgnoringCase(const QString &folder, const QString &name)
{
    if (QFileInfo::exists(folder + u'/' + name))
        return folder + u'/' + name;
    const QStringList entries = QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QString &entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return folder + u'/' + entry;
    }
    return {};
}

// Walks the relative path below base step by step, matching each name loosely.
QString existingBelow(const QString &base, const QString &relative)
{
    QString current = QDir::cleanPath(base);
    const QStringList steps = relative.split(u'/', Qt::SkipEmptyParts);
    for (const QString &step : steps) {
        if (step == QLatin1String("."))
            continue;
        if (step == QLatin1String("..")) {
            current = QFileInfo(current).path();
            continue;
        }
        current = childIgnoringCase(current, step);
        if (current.isEmpty())
            return {};
    }
    return QFileInfo(current).isFile() ? QDir::cleanPath(current) : QString();
}

} // namespace

std::optional<CompilerMessage> parseCompilerMessage(QStringView line)
{
    static const QRegularExpression form(QStringLiteral(R"(^\s*(.*?\.uc)\s*\(\s*(\d+)\s*\)\s*:\s*(error|warning)\b)"),
                                         QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = form.match(line.toString());
    if (!match.hasMatch())
        return std::nullopt;
    CompilerMessage message;
    message.file = match.captured(1).trimmed();
    message.line = match.captured(2).toInt();
    message.kind = match.captured(3).compare(QLatin1String("warning"), Qt::CaseInsensitive) == 0 ? MessageKind::Warning
                                                                                                 : MessageKind::Error;
    if (message.file.isEmpty() || message.line <= 0)
        return std::nullopt;
    return message;
}

QString resolveScriptPath(const QString &named, const QString &buildDir)
{
    const QString native = nativeProgramPath(named);
    if (QDir::isAbsolutePath(native)) {
        const QFileInfo info(native);
        if (info.isFile())
            return info.absoluteFilePath();
        return existingBelow(QStringLiteral("/"), native);
    }
    const QString gameDir = QFileInfo(QDir::cleanPath(buildDir)).path();
    for (const QString &base : {buildDir, gameDir}) {
        const QString found = existingBelow(base, native);
        if (!found.isEmpty())
            return found;
    }
    // A bare file name: the package is not named, so look in every package's Classes folder.
    if (!native.contains(u'/')) {
        const QStringList packages = QDir(gameDir).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        for (const QString &package : packages) {
            const QString found = existingBelow(gameDir + u'/' + package, QStringLiteral("Classes/") + native);
            if (!found.isEmpty())
                return found;
        }
    }
    return {};
}

} // namespace quillet::core
