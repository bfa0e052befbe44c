// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/checker/checkerrun.h"

#include <QLocale>
#include <QTime>

#include "orv/engine/queryengine.h"

namespace orv::checker {

namespace {
const QString kIdleTrayHint = QStringLiteral("Orvane (Click twice to restore window)");
}

void checkServerOnce(engine::QueryEngine &engine, const engine::ServerAddress &server, int passNumber,
                     ServerEvaluator evaluate, QObject *context, CheckDone done)
{
    engine.QueryServer(
        server, QByteArray(engine::QueryEngine::kStatusRequest), context,
        [address = server.addressText(), passNumber, evaluate = std::move(evaluate),
         done = std::move(done)](const platform::Result<engine::ServerQuery> &queried) {
            if (!queried) {
                done(queried.error());
                return;
            }
            if (!queried->complete) {
                done(std::optional<Evaluation>());
                return;
            }
            const EvaluationContext context{address, passNumber, QTime::currentTime(), QLocale::system()};
            done(std::optional<Evaluation>(evaluate(queried->info, context)));
        });
}

CheckerRun::CheckerRun(orv::engine::QueryEngine &engine, QObject *parent)
    : QObject(parent)
    , m_engine(engine)
{
    m_timer1.setSingleShot(true);
    connect(&m_timer1, &QTimer::timeout, this, &CheckerRun::afterDelay);
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
    if (!m_running || m_stopRequested)
        return;
    m_stopRequested = true;
    m_engine.cancelQueries(this);
    m_timer1.stop();
    // The run ends from the event loop, never inside the command (or signal) that stopped it.
    QTimer::singleShot(0, this, [this, generation = m_generation] {
        if (m_running && generation == m_generation)
            endPass();
    });
}

bool CheckerRun::start(const QList<RepeatServer> &servers, std::function<const CheckerScript &()> script,
                       SettingsSource settings, const QString &presetName)
{
    if (m_running || servers.isEmpty())
        return false;
    ++m_generation;
    m_servers = servers;
    m_script = std::move(script);
    m_settings = std::move(settings);
    m_outcome = RunOutcome();
    m_outcome.started = true;
    m_ruleRight = false;
    m_index = 0;

    emit trayAnimationChanged(true);
    if (m_settings().minimizeWindow)
        emit minimizeRequested();

    m_stopRequested = false;
    setRunning(true);
    m_passNumber = 1;
    log(QStringLiteral("Check start with preset") + u':' + presetName);
    ++m_outcome.passes;
    checkNext();
    return true;
}

void CheckerRun::checkNext()
{
    const RepeatServer &server = m_servers.at(m_index);
    emit serverStarted(static_cast<int>(m_index));
    const QString address = server.server.addressText();
    emit captionChanged(QStringLiteral("Server") + u':' + address + u' ' + QStringLiteral("Checker loop") + u':' +
                        QString::number(m_passNumber));
    emit trayHintChanged(QStringLiteral("Check server") + u':' + QString::number(m_index + 1) + QStringLiteral(" of ") +
                         QString::number(m_servers.size()) + u' ' + QStringLiteral("Loop") + u':' +
                         QString::number(m_passNumber));
    log(QStringLiteral("Check server") + u':' + address + u' ' + QStringLiteral("Named") + u':' + server.name);

    ++m_outcome.queries;
    checkServerOnce(
        m_engine, server.server, m_passNumber,
        [this](const engine::ServerInfo &info, const EvaluationContext &context) {
            return EvaluateScript(m_script().rows(), info, context);
        },
        this, [this](const platform::Result<std::optional<Evaluation>> &checked) { onChecked(checked); });
}

void CheckerRun::onChecked(const platform::Result<std::optional<Evaluation>> &checked)
{
    if (!m_running || m_stopRequested)
        return;
    if (checked && checked->has_value()) {
        const Evaluation &evaluation = **checked;
        emit marksChanged(evaluation.marks);
        if (evaluation.right) {
            m_ruleRight = true;
            m_outcome.server = m_servers.at(m_index);
        }
    } else if (!checked) {
        log(checked.error().message);
    }
    if (!m_running || m_stopRequested)
        return; // stopped by a receiver; the stop ends the run

    const int delay = clampRepeatDelay(m_settings().repeatDelay);
    log(QStringLiteral("Check delay:") + QString::number(delay));
    if (m_ruleRight) {
        endPass();
        return;
    }
    m_timer1.start(delay);
}

void CheckerRun::afterDelay()
{
    if (!m_running || m_stopRequested)
        return;
    if (++m_index < m_servers.size()) {
        checkNext();
        return;
    }
    endPass();
}

void CheckerRun::endPass()
{
    ++m_passNumber;
    if (m_ruleRight || m_stopRequested || programClosing()) {
        finish();
        return;
    }
    ++m_outcome.passes;
    m_index = 0;
    checkNext();
}

void CheckerRun::finish()
{
    m_timer1.stop();
    setRunning(false);
    log(QStringLiteral("Repeat stoped"));
    emit trayHintChanged(kIdleTrayHint);
    emit trayAnimationChanged(false);

    RunOutcome outcome = m_outcome;
    outcome.ruleRight = m_ruleRight;
    outcome.stopped = m_stopRequested;
    if (m_ruleRight && !programClosing())
        performActions(m_settings, outcome.server);
    emit finished(outcome);
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
