// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <optional>

#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

#include "orv/checker/checkerscript.h"
#include "orv/checker/ruleevaluator.h"
#include "orv/checker/runsettings.h"
#include "orv/engine/addresslist.h"
#include "platform/result.h"

namespace orv::engine {
class QueryEngine;
}

namespace orv::checker {

// One server of a checking run, as the checker's servers list holds it.
struct RepeatServer
{
    QString name;
    engine::ServerAddress server;
    friend bool operator==(const RepeatServer &, const RepeatServer &) = default;
};

// Evaluates the script on one decoded server.
using ServerEvaluator = std::function<Evaluation(const engine::ServerInfo &info, const EvaluationContext &context)>;

// One server checked: asked for its status without touching any row (pinged whatever the
// options say), the script evaluated when the answer was complete. Without an evaluation
// the answer was incomplete; a failed query gives its error. done is called later, from
// the event loop, unless context is gone or its queries were cancelled.
using CheckDone = std::function<void(const platform::Result<std::optional<Evaluation>> &checked)>;
void checkServerOnce(engine::QueryEngine &engine, const engine::ServerAddress &server, int passNumber,
                     ServerEvaluator evaluate, QObject *context, CheckDone done);

// What a finished run found.
struct RunOutcome
{
    bool started = false;
    bool ruleRight = false;
    bool stopped = false;
    int passes = 0; // passes begun
    int queries = 0;
    RepeatServer server; // the server the rule was right for
};

// The checking run: queries the chosen servers one after another, one query at a time,
// evaluates the script on every complete reply and goes round again, pausing after each
// server, until the rule is right, Stop is pressed or the program closes. The run is driven
// by the queries' results and a timer, so start() returns at once and finished() reports
// the end. It reports, and asks for the rule-right actions, through signals; the checker
// window carries them out.
class CheckerRun : public QObject
{
    Q_OBJECT

public:
    explicit CheckerRun(orv::engine::QueryEngine &engine, QObject *parent = nullptr);

    // Whether the reply decoder replaces values during a run ("Use in server checker").
    void setReplaceInChecker(std::function<bool()> query) { m_replaceInChecker = std::move(query); }

    // The settings as the window's controls hold them now.
    using SettingsSource = std::function<RunSettings()>;

    // Starts a run over the servers with the script as it stands when each reply is
    // evaluated. The settings are read each time one is used, so a change during the run
    // counts from then on. The caller has checked the script; a run with no servers, or
    // while one is running, does not start (false). A run that ends because the program is
    // closing takes no actions.
    bool start(const QList<RepeatServer> &servers, std::function<const CheckerScript &()> script,
               SettingsSource settings, const QString &presetName);
    // The actions for a right rule, in their fixed order, each reading the settings as it
    // comes (a notice box may stand between two of them).
    void performActions(const SettingsSource &settings, const RepeatServer &server);
    void performActions(const RunSettings &settings, const RepeatServer &server);

    // Ends the run: the query in progress is dropped and the run finishes from the event loop.
    void stop();
    // The program is closing: the run ends as after Stop and takes no actions.
    void stopForExit();
    bool isRunning() const { return m_running; }
    int passNumber() const { return m_passNumber; }
    bool isWaitingForDelay() const { return m_timer1.isActive(); }

signals:
    // On at the start of a run and off at its end; the window shows its own caption again
    // when it goes off.
    void runningChanged(bool running);
    // The server at this row of the run's list is being checked.
    void serverStarted(int row);
    void logLine(const QString &text);
    void trayAnimationChanged(bool on);
    void trayHintChanged(const QString &hint);
    void captionChanged(const QString &caption);
    void minimizeRequested();
    void restoreRequested();
    // The marks of an evaluation, one per script row.
    void marksChanged(const QStringList &marks);
    // The rule-right actions.
    void alertRequested();
    void noticeRequested();
    // Adds the server to the favorites unless it is there.
    void favoriteRequested(const orv::checker::RepeatServer &server);
    // Starts the game on the server when the main list shows it; playerPreset is empty when
    // the preset in use stays.
    void gameRequested(const orv::checker::RepeatServer &server, const QString &playerPreset);
    // The run has ended (after its actions, when the rule was right).
    void finished(const orv::checker::RunOutcome &outcome);

private:
    void setRunning(bool running);
    void log(const QString &text);
    void checkNext();
    void onChecked(const platform::Result<std::optional<Evaluation>> &checked);
    void afterDelay();
    void endPass();
    void finish();

    bool programClosing() const;

    orv::engine::QueryEngine &m_engine;
    std::function<bool()> m_replaceInChecker;
    QTimer m_timer1;
    bool m_running = false;
    bool m_stopRequested = false;
    bool m_programClosing = false;
    int m_passNumber = 1;
    // The run in progress.
    QList<RepeatServer> m_servers;
    std::function<const CheckerScript &()> m_script;
    SettingsSource m_settings;
    RunOutcome m_outcome;
    qsizetype m_index = 0;
    bool m_ruleRight = false;
    // Counts runs, so that an end scheduled for one run never ends the next.
    quint64 m_generation = 0;
};

} // namespace orv::checker
