// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/checker/checkerrun.h"

#include <memory>
#include <optional>

#include <QTest>

#include <gtest/gtest.h>

#include "orv/checker/preparedscript.h"
#include "orv/demo/fakegameserver.h"
#include "orv/engine/queryengine.h"
#include "tests/support/enginewait.h"

using namespace orv::checker;
using orv::demo::FakeGameServer;
using orv::demo::ServerBehaviour;

namespace {

QString L1(const char *text)
{
    return QString::fromLatin1(text);
}

std::unique_ptr<FakeGameServer> fakeServer(int host, const ServerBehaviour &behaviour = {})
{
    auto server = std::make_unique<FakeGameServer>();
    server->setBehaviour(behaviour);
    bool listening = false;
    for (int attempt = 0; attempt < 20 && !listening; ++attempt)
        listening = server->listen(QHostAddress(QStringLiteral("127.0.0.%1").arg(host)), 0);
    EXPECT_TRUE(listening);
    orv::demo::ServerDescription d;
    d.hostName = "Checked";
    d.hostPort = server->queryPort() - 1;
    d.mapName = "DM-Deck16][";
    server->setDescription(d);
    return server;
}

orv::engine::ServerAddress addressOf(const FakeGameServer &s)
{
    return testsupport::fakeServerAddress(s.address(), s.queryPort());
}

} // namespace

// The step the checker window and orv-query --check share: a complete answer is evaluated
// with the pass number given, an incomplete one is not, and a failed query says why.
TEST(CheckServerOnce, EvaluatesCompleteAnswersOnly)
{
    auto complete = fakeServer(2);
    ServerBehaviour half;
    half.rawDatagrams = {"\\hostname\\Half\\mapname\\DM-Deck16][\\queryid\\4.1"};
    auto incomplete = fakeServer(3, half);
    orv::engine::QueryEngine engine;
    orv::engine::EngineOptions options;
    options.internetServTimeOut = 300;
    engine.setOptions(options);
    engine.setPinger([](const QString &) { return quint16(20); });
    auto script = PreparedScript::fromLines({L1("-,MapName,=,dm-deck16]["), L1("and"), L1("-,LoopNumber,=,2")});
    ASSERT_TRUE(script);
    const ServerEvaluator evaluate = [&script](const orv::engine::ServerInfo &info, const EvaluationContext &c) {
        return script.value().evaluate(info, c);
    };

    const auto check = [&](const FakeGameServer &server, int pass) {
        std::optional<platform::Result<std::optional<Evaluation>>> checked;
        checkServerOnce(engine, addressOf(server), pass, evaluate, &engine, [&](const auto &r) { checked = r; });
        EXPECT_TRUE(QTest::qWaitFor([&] { return checked.has_value(); }, 5000));
        return checked.value_or(platform::Error{-1, QString()});
    };
    for (int pass : {1, 2}) {
        const auto checked = check(*complete, pass);
        ASSERT_TRUE(checked) << pass;
        ASSERT_TRUE(checked->has_value()) << pass;
        EXPECT_EQ((*checked)->right, pass == 2);
        EXPECT_EQ((*checked)->expressionMarks, pass == 2 ? L1("++") : L1("+-"));
    }

    const auto partial = check(*incomplete, 2);
    ASSERT_TRUE(partial);
    EXPECT_FALSE(partial->has_value());
    EXPECT_EQ(incomplete->requestCount(), 1);
}

TEST(CheckerRunActions, PerformedInTheirOrderAndOnlyWhenTheirConditionsHold)
{
    orv::engine::QueryEngine engine;
    struct Case
    {
        const char *name;
        std::vector<RuleRightAction> checked;
        bool minimize;
        QString playerPreset;
        QStringList expected;
    };
    using A = RuleRightAction;
    const Case cases[] = {
        {"all",
         {A::RunGame, A::UseOtherPlayerPreset, A::PlaySound, A::ShowNotice, A::RestoreWindow, A::AddToFavorites},
         true,
         L1("Bob"),
         {L1("sound"), L1("notice"), L1("restore"), L1("favorite"), L1("game:Bob")}},
        {"preset without run game", {A::UseOtherPlayerPreset}, true, L1("Bob"), {}},
        {"run game with empty preset", {A::RunGame, A::UseOtherPlayerPreset}, true, QString(), {L1("game:")}},
        {"run game without other preset", {A::RunGame}, true, L1("Bob"), {L1("game:")}},
        {"restore without minimize", {A::RestoreWindow, A::PlaySound}, false, QString(), {L1("sound")}},
    };
    for (const Case &c : cases) {
        CheckerRun run(engine);
        QStringList done;
        bool runningDuringGame = false;
        QObject::connect(&run, &CheckerRun::alertRequested, &run, [&] { done.append(L1("sound")); });
        QObject::connect(&run, &CheckerRun::noticeRequested, &run, [&] { done.append(L1("notice")); });
        QObject::connect(&run, &CheckerRun::restoreRequested, &run, [&] { done.append(L1("restore")); });
        QObject::connect(&run, &CheckerRun::favoriteRequested, &run,
                         [&](const RepeatServer &) { done.append(L1("favorite")); });
        QObject::connect(&run, &CheckerRun::gameRequested, &run, [&](const RepeatServer &, const QString &preset) {
            done.append(L1("game:") + preset);
            runningDuringGame = run.isRunning();
        });
        RunSettings settings;
        settings.whenRuleRight.fill(CheckState::Unchecked);
        for (RuleRightAction a : c.checked)
            settings.whenRuleRight[static_cast<size_t>(a)] = CheckState::Checked;
        settings.minimizeWindow = c.minimize;
        settings.playerPreset = c.playerPreset;
        run.performActions(settings, RepeatServer{});
        EXPECT_EQ(done, c.expected) << c.name;
        if (!c.expected.isEmpty() && c.expected.last().startsWith(L1("game:"))) {
            EXPECT_TRUE(runningDuringGame) << c.name;
        }
        EXPECT_FALSE(run.isRunning()) << c.name;
    }
}
