// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/commandline.h"

#include <cstdio>

#include <QDir>

#include "platform/paths.h"

namespace platform::commandline {

namespace {

// Options the GUI toolkit reads itself from the command line; they are left for it.
const QStringList kToolkitOptionsWithValue = {
    QStringLiteral("platform"),        QStringLiteral("platformpluginpath"),
    QStringLiteral("platformtheme"),   QStringLiteral("plugin"),
    QStringLiteral("qwindowgeometry"), QStringLiteral("qwindowtitle"),
    QStringLiteral("qwindowicon"),     QStringLiteral("style"),
    QStringLiteral("stylesheet"),      QStringLiteral("session"),
    QStringLiteral("display"),         QStringLiteral("geometry"),
    QStringLiteral("title"),           QStringLiteral("name"),
};
const QStringList kToolkitFlags = {
    QStringLiteral("reverse"), QStringLiteral("widgetcount"), QStringLiteral("nograb"),
    QStringLiteral("dograb"),  QStringLiteral("sync"),        QStringLiteral("qmljsdebugger"),
};

// The option's name without its dashes and without an attached "=value".
QString optionName(const QString &argument, bool *hasAttachedValue)
{
    QString name = argument.mid(argument.startsWith(QLatin1String("--")) ? 2 : 1);
    const qsizetype equals = name.indexOf(QLatin1Char('='));
    *hasAttachedValue = equals >= 0;
    if (equals >= 0)
        name.truncate(equals);
    return name;
}

QString helpText(const ProgramInfo &program)
{
    const QString operands = program.operandUsage.isEmpty() ? QStringLiteral("[FILE]...") : program.operandUsage;
    QString text = QStringLiteral("Usage: %1 [OPTION]...%2\n")
                       .arg(program.name, program.acceptsFiles ? u' ' + operands : QString());
    text += program.description + QLatin1Char('\n');
    if (program.acceptsFiles) {
        text += program.operandHelp.isEmpty()
                    ? QStringLiteral("Each FILE is opened in a window of its own, as File > Open would.\n")
                    : program.operandHelp + u'\n';
    }
    text +=
        QStringLiteral("\n"
                       "  -h, --help     show this help and exit\n"
                       "      --version  show the version and exit\n"
                       "\n"
                       "The options of the Qt toolkit, such as -style NAME and -platform NAME, are accepted too.\n");
    return text;
}

Parsed refused(const ProgramInfo &program, const QString &message)
{
    Parsed parsed;
    parsed.exitStatus = 2;
    parsed.error = QStringLiteral("%1: %2\nTry '%1 --help' for the accepted options.\n").arg(program.name, message);
    return parsed;
}

} // namespace

QString projectVersion()
{
    return QStringLiteral(ORVANE_VERSION_TEXT);
}

QString versionText(const ProgramInfo &program)
{
    QString text = QStringLiteral("%1 %2\n").arg(program.name, projectVersion());
    if (program.reportsData) {
        const QString data = paths::shippedDataFolder();
        text += QStringLiteral("Shipped data: %1\n")
                    .arg(data.isEmpty() ? QStringLiteral("not found") : QDir::toNativeSeparators(data));
    }
    return text;
}

Parsed parse(const ProgramInfo &program, const QStringList &arguments)
{
    Parsed parsed;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (optionsEnded || argument == QLatin1String("-") || !argument.startsWith(QLatin1Char('-'))) {
            if (!program.acceptsFiles)
                return refused(program, QStringLiteral("unexpected argument '%1'").arg(argument));
            parsed.files.append(argument);
            continue;
        }
        if (argument == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        if (argument == QLatin1String("-h") || argument == QLatin1String("--help")) {
            Parsed help;
            help.exitStatus = 0;
            help.output = helpText(program);
            return help;
        }
        if (argument == QLatin1String("--version")) {
            Parsed version;
            version.exitStatus = 0;
            version.output = versionText(program);
            return version;
        }
        bool attached = false;
        const QString name = optionName(argument, &attached);
        if (kToolkitFlags.contains(name))
            continue;
        if (kToolkitOptionsWithValue.contains(name)) {
            if (!attached && ++i >= arguments.size())
                return refused(program, QStringLiteral("option '%1' needs a value").arg(argument));
            continue;
        }
        return refused(program, QStringLiteral("unknown option '%1'").arg(argument));
    }
    return parsed;
}

std::optional<int> handle(const ProgramInfo &program, int argc, char **argv, QStringList *files)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const Parsed parsed = parse(program, arguments);
    if (!parsed.output.isEmpty()) {
        const QByteArray bytes = parsed.output.toLocal8Bit();
        std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stdout);
        std::fflush(stdout);
    }
    if (!parsed.error.isEmpty()) {
        const QByteArray bytes = parsed.error.toLocal8Bit();
        std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stderr);
    }
    if (files)
        *files = parsed.files;
    return parsed.exitStatus;
}

} // namespace platform::commandline
