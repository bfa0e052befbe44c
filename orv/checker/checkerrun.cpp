// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/checker/checkerrun.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QLocale>
#include <QTime>

#include "orv/engine/queryengine.h"

namespace orv::checker {

namespace {
const QString kIdleTrayHint = QStringLiteral("Orvane (Click twice to restore window)");
}

platform::Result<std::optional<Evaluation>> checkServerOnce(engine::QueryEngine &engine,
                                                            const engine::ServerAddress &server, int passNumber,
                                                            const ServerEvaluator &evaluate)
{
    const auto queried = engine.queryServerInfo(server, QByteArray(engine::QueryEngine::kStatusRequest));
    if (!queried)
        return queried.error();
    if (!queried->complete)
        return std::optional<Evaluation>();
    const EvaluationContext context{server.address, passNumber, QTime::currentTime(), QLocale::system()};
    return std::optional<Evaluation>(evaluate(queried->info, context));
}

CheckerRun::CheckerRun(orv::engine::QueryEngine &engine, QObject *parent)
    : QObject(parent)
    , m_engine(engine)
{
    m_timer1.setSingleShot(true);
    connect(&m_timer1, &QTimer::timeout, this, [this] { m_delayTick = true; });
}

void CheckerRun::log(const QString &text)
{
    emit logLine(text);
}

bool CheckerRun::programClosing() const
{
    return m_programClosing || m_engine.isExitPending();
}

void CheckerRun::stopForExit()
{
    m_programClosing = true;
    stop();
}

void CheckerRun::setRunning(bool running)
{
    m_running = running;
    m_engine.setCheckerRunning(running, m_replaceInChecker ? m_replaceInChecker() : false);
    emit runningChanged(running);
}

void CheckerRun::stop()
{
    if (!m_running)
        return;
    m_stopRequested = true;
    m_engine.stopExchange();
    m_delayTick = true;
}

void CheckerRun::waitForDelay(int milliseconds)
{
    m_delayTick = false;
    m_waitingForDelay = true;
    m_timer1.start(milliseconds);
    // The timer and Stop both arrive as events, so waiting for the next event never sleeps
    // past either of them.
    while (!m_delayTick && !m_stopRequested)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    m_timer1.stop();
    m_waitingForDelay = false;
}

RunOutcome CheckerRun::run(const QList<RepeatServer> &servers, const std::function<const CheckerScript &()> &script,
                           const SettingsSource &settings, const QString &presetName)
{
    RunOutcome outcome;
    if (m_running || servers.isEmpty())
        return outcome;
    outcome.started = true;

    emit trayAnimationChanged(true);
    if (settings().minimizeWindow)
        emit minimizeRequested();
    QCoreApplication::processEvents();

    m_stopRequested = false;
    setRunning(true);
    m_passNumber = 1;
    log(QStringLiteral("Check start with preset") + u':' + presetName);

    bool ruleRight = false;
    for (;;) {
        ++outcome.passes;
        for (int i = 0; i < servers.size(); ++i) {
            const RepeatServer &server = servers.at(i);
            emit serverStarted(i);
            emit captionChanged(QStringLiteral("Server") + u':' + server.address + u' ' +
                                QStringLiteral("Checker loop") + u':' + QString::number(m_passNumber));
            emit trayHintChanged(QStringLiteral("Check server") + u':' + QString::number(i + 1) +
                                 QStringLiteral(" of ") + QString::number(servers.size()) + u' ' +
                                 QStringLiteral("Loop") + u':' + QString::number(m_passNumber));
            log(QStringLiteral("Check server") + u':' + server.address + u' ' + QStringLiteral("Named") + u':' +
                server.name);

            ++outcome.queries;
            const auto checked =
                checkServerOnce(m_engine, {server.address, server.gamePort, server.queryPort}, m_passNumber,
                                [&script](const engine::ServerInfo &info, const EvaluationContext &context) {
                                    return EvaluateScript(script().rows(), info, context);
                                });
            if (checked && checked->has_value()) {
                const Evaluation &evaluation = **checked;
                emit marksChanged(evaluation.marks);
                if (evaluation.right) {
                    ruleRight = true;
                    outcome.server = server;
                }
            } else if (!checked) {
                log(checked.error().message);
            }

            const int delay = clampRepeatDelay(settings().repeatDelay);
            log(QStringLiteral("Check delay:") + QString::number(delay));
            if (ruleRight || m_stopRequested)
                break;
            waitForDelay(delay);
            if (m_stopRequested)
                break;
        }
        ++m_passNumber;
        if (ruleRight || m_stopRequested || programClosing())
            break;
    }

    setRunning(false);
    log(QStringLiteral("Repeat stoped"));
    emit trayHintChanged(kIdleTrayHint);
    emit trayAnimationChanged(false);

    outcome.ruleRight = ruleRight;
    outcome.stopped = m_stopRequested;
    if (ruleRight && !programClosing())
        performActions(settings, outcome.server);
    return outcome;
}

void CheckerRun::performActions(const RunSettings &settings, const RepeatServer &server)
{
    performActions([&settings] { return settings; }, server);
}

void CheckerRun::performActions(const SettingsSource &settings, const RepeatServer &server)
{
    if (settings().isChecked(RuleRightAction::PlaySound))
        emit alertRequested();
    if (settings().isChecked(RuleRightAction::ShowNotice))
        emit noticeRequested();
    if (const RunSettings now = settings(); now.isChecked(RuleRightAction::RestoreWindow) && now.minimizeWindow)
        emit restoreRequested();
    if (settings().isChecked(RuleRightAction::AddToFavorites))
        emit favoriteRequested(server);
    if (const RunSettings now = settings(); now.isChecked(RuleRightAction::RunGame)) {
        const QString preset = now.isChecked(RuleRightAction::UseOtherPlayerPreset) ? now.playerPreset : QString();
        // The launcher lets a game start go ahead while the checker is running, whatever the
        // main list shows for the server.
        m_running = true;
        m_engine.setCheckerRunning(true, m_replaceInChecker ? m_replaceInChecker() : false);
        emit gameRequested(server, preset);
        m_running = false;
        m_engine.setCheckerRunning(false, m_replaceInChecker ? m_replaceInChecker() : false);
    }
}

} // namespace orv::checker
