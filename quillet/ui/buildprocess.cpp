// SPDX-License-Identifier: GPL-3.0-or-later
#include "quillet/ui/buildprocess.h"

#include <QFileInfo>
#include <QStandardPaths>
#include <QTimer>

#include "platform/desktop/shell.h"

#ifdef Q_OS_UNIX
#include <csignal>
#include <unistd.h>
#endif

namespace quillet::ui {

namespace {

constexpr int kKillAfterMs = 3000;

} // namespace

BuildProcess::BuildProcess(QObject *parent)
    : QObject(parent)
{}

BuildProcess::~BuildProcess()
{
    if (isRunning()) {
        m_process->disconnect(this);
        killGroup(SIGKILL);
        m_process->waitForFinished(1000);
    }
}

bool BuildProcess::isRunning() const
{
    return m_process && m_process->state() != QProcess::NotRunning;
}

bool BuildProcess::start(const core::BuildCommand &command)
{
    if (isRunning()) {
        emit failedToStart(tr("A build is already running."));
        return false;
    }
    QString program = command.program;
    QStringList arguments = command.arguments;
    if (platform::shell::needsWine(program)) {
        const QString wine = QStandardPaths::findExecutable(QStringLiteral("wine"));
        if (wine.isEmpty()) {
            emit failedToStart(tr("Cannot start %1: Wine is not installed.").arg(program));
            return false;
        }
        arguments.prepend(program);
        program = wine;
    }
    const QFileInfo info(program);
    if (program.contains(u'/') && !info.exists()) {
        emit failedToStart(tr("Cannot start %1: the file does not exist.").arg(program));
        return false;
    }
    if (!command.workingDir.isEmpty() && !QFileInfo(command.workingDir).isDir()) {
        emit failedToStart(tr("Cannot start %1: the folder %2 does not exist.").arg(program, command.workingDir));
        return false;
    }

    delete m_process;
    m_process = new QProcess(this);
    m_process->setProcessChannelMode(QProcess::MergedChannels);
    m_process->setProgram(program);
    m_process->setArguments(arguments);
    if (!command.workingDir.isEmpty())
        m_process->setWorkingDirectory(command.workingDir);
#ifdef Q_OS_UNIX
    m_process->setChildProcessModifier([] { ::setpgid(0, 0); });
#endif
    m_pending.clear();
    m_stopping = false;
    m_failed = false;
    connect(m_process, &QProcess::readyRead, this, [this] { readOutput(false); });
    connect(m_process, &QProcess::finished, this, &BuildProcess::onFinished);
    connect(m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            m_failed = true;
            emit failedToStart(tr("Cannot start %1: %2").arg(m_process->program(), m_process->errorString()));
        }
    });
    m_clock.start();
    m_process->start();
    return !m_failed;
}

void BuildProcess::readOutput(bool all)
{
    m_pending += m_process->readAll();
    // The compiler writes 8-bit text with CR LF (through Wine) or LF line ends.
    qsizetype start = 0;
    for (qsizetype i = 0; i < m_pending.size(); ++i) {
        if (m_pending[i] != '\n')
            continue;
        qsizetype end = i;
        if (end > start && m_pending[end - 1] == '\r')
            --end;
        emit lineRead(QString::fromLatin1(m_pending.constData() + start, end - start));
        start = i + 1;
    }
    m_pending.remove(0, start);
    if (all && !m_pending.isEmpty()) {
        if (m_pending.endsWith('\r'))
            m_pending.chop(1);
        emit lineRead(QString::fromLatin1(m_pending));
        m_pending.clear();
    }
}

void BuildProcess::onFinished(int exitCode, QProcess::ExitStatus status)
{
    readOutput(true);
    emit finished(exitCode, m_stopping, status == QProcess::CrashExit && !m_stopping, m_clock.elapsed());
}

void BuildProcess::stop()
{
    if (!isRunning())
        return;
    m_stopping = true;
    killGroup(SIGTERM);
    // A compiler that ignores the request is ended for good a little later.
    QTimer::singleShot(kKillAfterMs, m_process, [this] {
        if (isRunning())
            killGroup(SIGKILL);
    });
}

void BuildProcess::killGroup(int signal)
{
#ifdef Q_OS_UNIX
    const qint64 pid = m_process->processId();
    if (pid > 0 && ::kill(-static_cast<pid_t>(pid), signal) == 0)
        return;
    if (signal == SIGKILL)
        m_process->kill();
    else
        m_process->terminate();
#else
    Q_UNUSED(signal);
    m_process->kill();
#endif
}

} // namespace quillet::ui
