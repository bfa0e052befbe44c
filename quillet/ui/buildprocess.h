// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QProcess>

#include "quillet/core/buildcommand.h"

namespace quillet::ui {

// Runs the script compiler with its output captured, line by line, until it ends or is
// stopped. The compiler and everything it starts (Wine's helpers) form one process group,
// so Stop ends them all.
class BuildProcess : public QObject
{
    Q_OBJECT

public:
    explicit BuildProcess(QObject *parent = nullptr);
    ~BuildProcess() override;

    // False (after failedToStart) when a build is already running or the program cannot start.
    bool start(const core::BuildCommand &command);
    void stop();
    bool isRunning() const;

signals:
    void lineRead(const QString &line);
    void failedToStart(const QString &reason);
    // exitStatus is the compiler's exit code; stopped when the user ended it, crashed when it
    // died of a signal.
    void finished(int exitStatus, bool stopped, bool crashed, qint64 milliseconds);

private:
    void readOutput(bool all);
    void onFinished(int exitCode, QProcess::ExitStatus status);
    void killGroup(int signal);

    QProcess *m_process = nullptr;
    QByteArray m_pending;
    QElapsedTimer m_clock;
    bool m_stopping = false;
    bool m_failed = false;
};

} // namespace quillet::ui
