// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/checker/ui/repeatform.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include "orv/checker/presetname.h"
#include "orv/checker/scriptfile.h"
#include "orv/demo/fakegameserver.h"
#include "orv/engine/queryengine.h"
#include "orv/frontend/formstorage/formstorage.h"
#include "orv/frontend/mainwindow/soundbank.h"
#include "platform/desktop/sound.h"
#include "platform/registrystore.h"
#include "tests/support/enginewait.h"
#include "tests/support/testpaths.h"

using namespace orv::checker;
using namespace orv::checker::ui;

namespace {

QString L1(const char *text)
{
    return QString::fromLatin1(text);
}

const QString kBase = L1("SOFTWARE\\Orvane\\");

struct RepeatFormFixture : ::testing::Test
{
    QTemporaryDir dir;
    QString regFile = dir.filePath(L1("HKEY_CURRENT_USER.reg"));
    std::unique_ptr<platform::RegistryStore> store =
        std::make_unique<platform::RegistryStore>(platform::RegistryRoot::CurrentUser, regFile);
    platform::SoundService service;
    orv::frontend::SoundBank sounds{service};
    orv::engine::QueryEngine engine;
    std::unique_ptr<TRepeatForm> form;
    QStringList messages;
    QStringList log;
    QMessageBox::StandardButton answer = QMessageBox::Ok;

    void SetUp() override { makeForm(); }

    // The window as the program's start-up leaves it: both storages loaded once.
    void makeForm(bool load = true)
    {
        form = std::make_unique<TRepeatForm>(engine, *store, sounds);
        form->setMessageSink([this](QMessageBox::Icon, const QString &text, QMessageBox::StandardButtons) {
            messages.append(text);
            return answer;
        });
        QObject::connect(form.get(), &TRepeatForm::logLine, form.get(),
                         [this](const QString &line) { log.append(line); });
        if (load) {
            ASSERT_TRUE(form->formStorage()->LoadSettings());
            ASSERT_TRUE(form->presetStorage()->LoadSettings());
        }
    }

    QStringList prg() const { return form->script().prg(); }

    QString stored(const QString &key, const QString &name) const
    {
        const auto value = store->readString(kBase + key, name);
        return value && value.value() ? *value.value() : L1("<missing>");
    }

    QLineEdit *lineEdit(const char *name) const { return form->findChild<QLineEdit *>(L1(name)); }

    // Runs the window's Go against one fake server whose map the default script's rule finds,
    // and waits for the run to end.
    void runOnce(std::initializer_list<RuleRightAction> actions)
    {
        orv::demo::FakeGameServer server;
        ASSERT_TRUE(server.listen(QHostAddress(L1("127.0.0.2")), 0));
        orv::demo::ServerDescription d;
        d.hostName = "Alarm";
        d.hostPort = server.queryPort() - 1;
        d.mapName = "DM-Deck16";
        server.setDescription(d);
        orv::engine::EngineOptions options;
        options.internetServTimeOut = 400;
        engine.setOptions(options);
        engine.setPinger([](const QString &) { return quint16(20); });
        form->findChild<QCheckBox *>(L1("MinimizeWin"))->setChecked(false);
        auto *list = form->findChild<QListWidget *>(L1("WhenRuleRight"));
        for (int i = 0; i < list->count(); ++i)
            list->item(i)->setCheckState(Qt::Unchecked);
        for (RuleRightAction a : actions)
            list->item(static_cast<int>(a))->setCheckState(Qt::Checked);
        form->setScriptLines({L1("-,MapName,=,dm-deck16")});
        form->setServers({{L1("Alarm"), testsupport::fakeServerAddress(server.address(), server.queryPort())}});
        form->go();
        for (int i = 0; i < 500 && form->isRunning(); ++i)
            QTest::qWait(10);
        ASSERT_FALSE(form->isRunning());
        ASSERT_TRUE(log.contains(L1("Repeat stoped"))) << qPrintable(log.join(u'|'));
    }

    QString writeScript(const char *name, const QByteArray &bytes)
    {
        const QString path = dir.filePath(QString::fromLatin1(name));
        EXPECT_TRUE(testsupport::writeFile(path, bytes));
        return path;
    }
};

} // namespace

TEST_F(RepeatFormFixture, AddedPresetStoresItsSettingsUnderItsOwnKeys)
{
    form->setScriptLines({L1("-,Ping,<,200"), L1("and"), L1("-,MapName,?,deck")});
    form->setPresetText(L1("Alpha"));
    form->addPreset();
    EXPECT_EQ(messages, QStringList{L1("Checker preset added!")});
    EXPECT_EQ(form->presetNames(), (QStringList{L1("Alpha")}));
    EXPECT_EQ(form->presetStorage()->IniSection(), L1("Repeat\\Alpha"));
    EXPECT_TRUE(store->keyExists(kBase + L1("Repeat\\Alpha.Prg_Items")));
    EXPECT_EQ(stored(L1("Repeat\\Alpha\\TRepeatFormWhenRuleRight"), L1("Count")), L1("6"));
    EXPECT_EQ(stored(L1("Repeat\\Alpha\\TRepeatFormWhenRuleRight"), L1("Item0")), L1("0"));
    EXPECT_EQ(stored(L1("Repeat\\Alpha\\TRepeatFormWhenRuleRight"), L1("Item2")), L1("1"));

    // Same name again: refused. A name differing only in case would share the stored
    // preset, since the store finds keys whatever their case: refused with its reason, on
    // Add and on Import, and the stored preset keeps its script.
    form->setPresetText(L1("Alpha"));
    form->addPreset();
    EXPECT_EQ(messages.last(), L1("Change preset name!"));
    form->setScriptLines({L1("-,Ping,<,999")});
    form->setPresetText(L1("alpha"));
    form->addPreset();
    EXPECT_EQ(messages.last(), L1("Change preset name! \"alpha\" differs from the preset \"Alpha\" only in letter "
                                  "case, and presets are stored without regard to case."));
    form->importScript(writeScript("alpha.ovs", "-,Ping,<,5\r\n"), L1("ALPHA"));
    EXPECT_TRUE(messages.last().contains(L1("only in letter case")));
    EXPECT_EQ(form->presetNames(), (QStringList{L1("Alpha")}));
    EXPECT_EQ(stored(L1("Repeat\\Alpha.Prg_Items"), L1("Item0")), L1("-,Ping,<,200"));
}

TEST_F(RepeatFormFixture, AddThatCannotBeStoredLeavesTheListAsItWas)
{
    // The settings folder turns into a file after the window has loaded.
    const QString folder = dir.filePath(L1("not-a-folder"));
    form.reset();
    store = std::make_unique<platform::RegistryStore>(platform::RegistryRoot::CurrentUser,
                                                      folder + L1("/HKEY_CURRENT_USER.reg"));
    store->setWarningHandler([](const QString &) {});
    makeForm();
    ASSERT_TRUE(QDir(folder).removeRecursively());
    ASSERT_TRUE(testsupport::writeFile(folder, "a file where the folder should be"));
    const QString sectionBefore = form->presetStorage()->IniSection();
    form->setPresetText(L1("Night"));
    form->addPreset();
    // The message names the cause, not a value that happened to be written first.
    ASSERT_FALSE(messages.isEmpty());
    EXPECT_TRUE(messages.last().contains(L1("not-a-folder"))) << qPrintable(messages.last());
    EXPECT_FALSE(messages.contains(L1("Checker preset added!")));
    EXPECT_TRUE(form->presetNames().isEmpty());
    EXPECT_EQ(form->presetStorage()->IniSection(), sectionBefore);
}

// The editor's boxes follow a click on any row; Replace then writes what the row held.
TEST_F(RepeatFormFixture, AClickOnTheFirstRowAfterAPresetSwitchLoadsIt)
{
    form->setScriptLines({L1("-,MapName,=,dm-deck16")});
    form->setPresetText(L1("Maps"));
    form->addPreset();
    form->setScriptLines({L1("-,Ping,>,99999")});
    form->setPresetText(L1("Slow"));
    form->addPreset();
    form->setPresetText(L1("Maps"));
    form->switchPreset();
    form->setPresetText(L1("Slow"));
    form->switchPreset();
    form->setEditorValues(L1("Ping"), L1("<"), L1("11111"));
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));

    auto *list = form->findChild<QTreeWidget *>(L1("RepeatPrg"));
    const QRect first = list->visualItemRect(list->topLevelItem(0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, first.center());
    EXPECT_EQ(form->findChild<QComboBox *>(L1("Rule"))->currentText(), L1(">"));
    EXPECT_EQ(lineEdit("Value")->text(), L1("99999"));
    form->action(L1("A_Replace"))->trigger();
    EXPECT_EQ(prg(), QStringList{L1("-,Ping,>,99999")});

    // A second click on the selected row brings its values back after the boxes changed.
    lineEdit("Value")->setText(L1("1"));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, first.center());
    EXPECT_EQ(lineEdit("Value")->text(), L1("99999"));
    form->hide();
}

// A line the evaluation does not know is refused with its number by "Check script" and by
// Go, which then starts no run.
TEST_F(RepeatFormFixture, CheckAndGoRefuseALineTheyDoNotKnow)
{
    form->setScriptLines({L1("-,Ping,>,99999"), QString(), L1("-,Ping,>,99998")});
    form->setServers({{L1("Nobody"), *orv::engine::ServerAddress::fromText(L1("127.0.0.2"), L1("7777"), L1("7778"))}});
    form->action(L1("A_Check"))->trigger();
    ASSERT_FALSE(messages.isEmpty());
    EXPECT_TRUE(messages.last().startsWith(L1("Line 2 is empty."))) << qPrintable(messages.last());
    EXPECT_EQ(form->selectedRow(), 1);

    form->setScriptLines({L1("-,Ping,>,99999"), L1("AND"), L1("-,Ping,=<,99998")});
    // A run that started anyway would go round for ever: it is stopped after a while.
    QTimer::singleShot(2000, form.get(), [this] { form->stop(); });
    form->go();
    for (int i = 0; i < 300 && form->isRunning(); ++i)
        QTest::qWait(10);
    EXPECT_EQ(messages.last(), L1("Line 2: \"AND\" is not a command; did you mean \"and\"?"));
    EXPECT_FALSE(log.contains(L1("Check start with preset:Default")));
    form->setScriptLines({L1("-,Ping,>,99999"), L1("and"), L1("-,Ping,=<,99998")});
    form->action(L1("A_Check"))->trigger();
    EXPECT_EQ(messages.last(), L1("Line 3: \"=<\" is not a rule; did you mean \"<=\"?"));
    EXPECT_EQ(form->selectedRow(), 2);
}

TEST_F(RepeatFormFixture, TheDefaultAlarmIsShippedAndASilentOneIsReported)
{
    // The default alert names a sound the program ships.
    EXPECT_EQ(lineEdit("AlertSound")->text(), L1("warning.wav"));
    EXPECT_EQ(QFileInfo(sounds.resolve(L1("warning.wav"))).fileName(), L1("warning.wav"));

    // The "!" button beside it says why a chosen sound stays silent.
    const QString missing = dir.filePath(L1("missing.wav"));
    lineEdit("AlertSound")->setText(u'"' + missing + u'"');
    QToolButton *test = nullptr;
    for (QToolButton *b : form->findChildren<QToolButton *>())
        if (b->toolTip() == L1("Test....") && !test)
            test = b;
    ASSERT_TRUE(test);
    test->click();
    ASSERT_FALSE(messages.isEmpty());
    EXPECT_EQ(messages.last(), L1("The alert sound \"") + missing + L1("\" cannot be played: there is no such file."));

    // A run's alarm goes to the log instead, with the other actions still taken.
    const QString notWav = writeScript("alarm.wav", "not a sound");
    lineEdit("AlertSound")->setText(notWav);
    const qsizetype shown = messages.size();
    runOnce({RuleRightAction::PlaySound});
    EXPECT_TRUE(log.contains(L1("The alert sound \"") + notWav +
                             L1("\" cannot be played: it is not a WAV file that can be played.")))
        << qPrintable(log.join(u'|'));
    EXPECT_EQ(messages.size(), shown);
}

// A tool button with more than its one action draws a menu arrow.
TEST_F(RepeatFormFixture, GoButtonCarriesOnlyTheActionItShowsAfterARun)
{
    runOnce({});
    auto *go = form->findChild<QToolButton *>(L1("GoButton"));
    ASSERT_TRUE(go);
    EXPECT_EQ(go->defaultAction(), form->action(L1("A_Go")));
    EXPECT_EQ(go->actions(), QList<QAction *>{form->action(L1("A_Go"))});
}

TEST_F(RepeatFormFixture, SwitchingSavesThePresetInUseAndLoadsTheChosenOne)
{
    const QStringList alpha{L1("-,Ping,<,200")};
    const QStringList beta{L1("-,HostName,?,clan"), L1("or"), L1("-,NumPlayers,>,4")};
    form->setScriptLines(alpha);
    form->setPresetText(L1("Alpha"));
    form->addPreset();
    form->setScriptLines(beta);
    form->setPresetText(L1("Beta"));
    form->addPreset();
    // An edit after adding is kept by the switch away from Beta.
    form->setScriptLines(beta + QStringList{L1("or"), L1("-,Ping,<,50")});

    form->setPresetText(L1("Alpha"));
    form->switchPreset();
    EXPECT_EQ(prg(), alpha);
    form->setPresetText(L1("Beta"));
    form->switchPreset();
    EXPECT_EQ(prg(), (beta + QStringList{L1("or"), L1("-,Ping,<,50")}));
}

TEST_F(RepeatFormFixture, StartUpLoadKeepsTheStoredDefaultPreset)
{
    const QStringList script{L1("-,GameType,=,ctfgame"), L1("and"), L1("-,NumPlayers,<,8")};
    form->setScriptLines(script);
    form->setPresetText(L1("Default"));
    form->addPreset();
    ASSERT_TRUE(form->formStorage()->SaveSettings());
    form.reset();

    // A fresh window shows the default script until the storages load.
    makeForm(false);
    EXPECT_NE(prg(), script);
    ASSERT_TRUE(form->formStorage()->LoadSettings());
    ASSERT_TRUE(form->presetStorage()->LoadSettings());
    EXPECT_EQ(prg(), script);
    EXPECT_EQ(form->presetText(), L1("Default"));
}

TEST_F(RepeatFormFixture, DeletingAPresetRemovesItsKeysAndLoadsTheFirstName)
{
    form->setScriptLines({L1("-,Ping,<,100")});
    form->setPresetText(L1("First"));
    form->addPreset();
    form->setScriptLines({L1("-,Ping,<,999")});
    form->setPresetText(L1("Second"));
    form->addPreset();
    form->deletePreset();
    EXPECT_EQ(messages.last(), L1("Checker preset deleted!"));
    EXPECT_FALSE(store->keyExists(kBase + L1("Repeat\\Second")));
    EXPECT_FALSE(store->keyExists(kBase + L1("Repeat\\Second.Prg_Items")));
    EXPECT_TRUE(store->keyExists(kBase + L1("Repeat\\First")));
    EXPECT_EQ(form->presetNames(), QStringList{L1("First")});
    EXPECT_EQ(form->presetText(), L1("First"));
    EXPECT_EQ(prg(), QStringList{L1("-,Ping,<,100")});
}

TEST_F(RepeatFormFixture, ImportOfGoodAndOddFiles)
{
    form->setScriptLines({L1("-,Ping,<,300")});
    form->setPresetText(L1("Default"));
    form->addPreset();
    messages.clear();

    const QString good = writeScript("good.ovs", "-,MapName,=,dm-deck16\r\nand\n-,Ping,<,100");
    form->importScript(good, L1("Deck"));
    EXPECT_EQ(prg(), (QStringList{L1("-,MapName,=,dm-deck16"), L1("and"), L1("-,Ping,<,100")}));
    EXPECT_EQ(form->presetText(), L1("Deck"));
    EXPECT_TRUE(form->presetNames().contains(L1("Deck")));
    EXPECT_TRUE(store->keyExists(kBase + L1("Repeat\\Deck.Prg_Items")));

    struct Odd
    {
        const char *name;
        QByteArray bytes;
        const char *preset;
    };
    QByteArray many;
    for (int i = 0; i < 100000; ++i)
        many += "and\r\n";
    const Odd odd[] = {
        {"binary.ovs", QByteArray("-,Ping,<,3\0\x01\x02", 13), "Bin"},
        {"long.ovs", QByteArray(100 * 1024, 'x'), "Long"},
        {"many.ovs", many, "Many"},
        {"good2.ovs", "and\r\n", "Deck"},         // name in use
        {"good3.ovs", "and\r\n", "a\\b"},         // would move the preset's key
        {"good4.ovs", "and\r\n", "dots.in.name"}, // the presets box refuses dots as well
    };
    for (const Odd &o : odd) {
        const QStringList before = prg();
        const QStringList names = form->presetNames();
        const qsizetype shown = messages.size();
        form->importScript(writeScript(o.name, o.bytes), QString::fromLatin1(o.preset));
        EXPECT_EQ(prg(), before) << o.name;
        EXPECT_EQ(form->presetNames(), names) << o.name;
        EXPECT_EQ(messages.size(), shown + 1) << o.name;
    }

    // A file with unknown commands is taken as it is: the syntax check judges it later.
    form->importScript(writeScript("unknown.ovs", "frobnicate\r\n-,Ping,<,5\r\n"), L1("Odd"));
    EXPECT_EQ(prg(), (QStringList{L1("frobnicate"), L1("-,Ping,<,5")}));
}

TEST_F(RepeatFormFixture, ExportWritesTheStoredLinesWithCrLf)
{
    form->setScriptLines({L1("-,HostName,?,a,b"), L1("{"), L1("-,Ping,<,5"), L1("}")});
    const QString path = dir.filePath(L1("out.ovs"));
    ASSERT_TRUE(form->exportScript(path));
    EXPECT_EQ(testsupport::readFile(path), QByteArray("-,HostName,?,a,b\r\n{\r\n-,Ping,<,5\r\n}\r\n"));
    EXPECT_EQ(form->script().rows().at(0).value, L1("a"));
}

// What export writes, import takes back: the longest value the editor takes round-trips,
// a longer stored one is refused before writing, and text beyond code page 1252 makes the
// file UTF-8, so nothing is lost.
TEST_F(RepeatFormFixture, ExportWritesOnlyWhatImportTakesBack)
{
    form->setScriptLines({});
    lineEdit("Value")->setText(QString(1100, u'x'));
    form->setEditorValues(L1("PlayersBalanceTeams"), L1("<="), lineEdit("Value")->text());
    form->action(L1("A_Add"))->trigger();
    const QStringList longest = prg();
    ASSERT_EQ(longest.size(), 1);
    EXPECT_EQ(longest.first().size(), scriptfile::kMaxLineBytes);
    const QString roundTrip = dir.filePath(L1("longest.ovs"));
    ASSERT_TRUE(form->exportScript(roundTrip));
    form->importScript(roundTrip, L1("Longest"));
    EXPECT_EQ(form->presetText(), L1("Longest"));
    EXPECT_EQ(prg(), longest);

    const QString refused = dir.filePath(L1("refused.ovs"));
    form->setScriptLines({L1("-,HostName,?,") + QString(1100, u'y')});
    EXPECT_FALSE(form->exportScript(refused));
    EXPECT_TRUE(messages.last().contains(L1("at most 1024 characters"))) << qPrintable(messages.last());
    EXPECT_FALSE(QFileInfo::exists(refused));

    const QString lossy = dir.filePath(L1("lossy.ovs"));
    form->setScriptLines(
        {L1("-,Ping,<,300"), L1("and"), QString::fromUtf16(u"-,HostName,?,\u00e9t\u00e9 \u041c\u0438\u0440")});
    EXPECT_TRUE(form->exportScript(lossy));
    EXPECT_EQ(testsupport::readFile(lossy),
              QByteArray("-,Ping,<,300\r\nand\r\n-,HostName,?,\xc3\xa9t\xc3\xa9 \xd0\x9c\xd0\xb8\xd1\x80\r\n"));
    form->importScript(lossy, L1("Lossless"));
    EXPECT_EQ(prg().last(), QString::fromUtf16(u"-,HostName,?,\u00e9t\u00e9 \u041c\u0438\u0440"));

    // In a UTF-8 file a line's bytes count: the longest value in Cyrillic is refused.
    form->setScriptLines({L1("-,HostName,?,") + QString(600, QChar(0x041c))});
    EXPECT_FALSE(form->exportScript(refused));
    EXPECT_TRUE(messages.last().contains(L1("at most 1024 characters"))) << qPrintable(messages.last());
}

TEST_F(RepeatFormFixture, EditingActionsFollowTheirEnablingRules)
{
    form->setScriptLines({});
    EXPECT_FALSE(form->action(L1("A_Clear"))->isEnabled());
    EXPECT_FALSE(form->action(L1("A_Export"))->isEnabled());
    EXPECT_FALSE(form->action(L1("A_Go"))->isEnabled());
    EXPECT_TRUE(form->action(L1("A_Import"))->isEnabled());
    EXPECT_TRUE(form->action(L1("A_Add"))->isEnabled());
    EXPECT_EQ(form->action(L1("A_Check"))->shortcut(), QKeySequence(L1("Ctrl+P")));

    form->setEditorValues(L1("MapName"), L1("="), L1("dm-deck16"));
    form->action(L1("A_Add"))->trigger();
    form->action(L1("A_OR"))->trigger();
    form->setEditorValues(L1("Ping"), L1("<"), L1("100"));
    form->action(L1("A_Add"))->trigger();
    EXPECT_EQ(prg(), (QStringList{L1("-,MapName,=,dm-deck16"), L1("or"), L1("-,Ping,<,100")}));
    EXPECT_EQ(form->selectedRow(), 2);

    form->action(L1("A_Up"))->trigger();
    EXPECT_EQ(prg().at(1), L1("-,Ping,<,100"));
    EXPECT_EQ(form->selectedRow(), 1);
    form->setEditorValues(L1("NumPlayers"), L1(">"), L1("3"));
    form->action(L1("A_Replace"))->trigger();
    EXPECT_EQ(prg().at(1), L1("-,NumPlayers,>,3"));

    // An empty value disables Add.
    form->setEditorValues(L1("Ping"), L1("<"), QString());
    EXPECT_FALSE(form->action(L1("A_Add"))->isEnabled());

    // Selecting a row copies its fields into the boxes.
    form->selectRow(0);
    EXPECT_EQ(form->findChild<QComboBox *>(L1("Arg"))->currentText(), L1("MapName"));
    EXPECT_EQ(form->findChild<QLineEdit *>(L1("Value"))->text(), L1("dm-deck16"));

    // The 256th expression is refused with the Yes/No question; operators still append.
    QStringList full;
    for (int i = 0; i < kMaxAddedLines; ++i)
        full.append(L1("-,Ping,<,1"));
    form->setScriptLines(full);
    form->setEditorValues(L1("Ping"), L1("<"), L1("2"));
    form->action(L1("A_Add"))->trigger();
    EXPECT_EQ(form->script().lineCount(), kMaxAddedLines);
    EXPECT_EQ(messages.last(), L1("Maximum script lines is 255!"));
    form->action(L1("A_And"))->trigger();
    EXPECT_EQ(form->script().lineCount(), kMaxAddedLines + 1);
}

TEST_F(RepeatFormFixture, DelayAndPresetBoxRefuseWhatTheyMustNotTake)
{
    auto *delay = form->findChild<QSpinBox *>(L1("RepeatDelay"));
    form->show();
    struct Typed
    {
        const char *text;
        int expected;
    };
    const Typed typed[] = {{"50", 100}, {"250000", 100000}, {"1500", 1500}, {"99", 100}};
    for (const Typed &t : typed) {
        delay->setValue(500);
        delay->selectAll();
        QTest::keyClicks(delay, QString::fromLatin1(t.text));
        QTest::keyClick(delay, Qt::Key_Return);
        EXPECT_EQ(form->repeatDelay(), t.expected) << t.text;
    }

    auto *presets = form->findChild<QComboBox *>(L1("RepeatPresets"));
    presets->lineEdit()->clear();
    QTest::keyClicks(presets->lineEdit(), L1("my.pre/set\\x"));
    EXPECT_EQ(form->presetText(), L1("mypresetx"));
    presets->lineEdit()->clear();
    QTest::keyClicks(presets->lineEdit(), QString(80, u'n'));
    EXPECT_EQ(form->presetText().size(), kMaxPresetNameLength);
    form->hide();
}

TEST_F(RepeatFormFixture, ChoiceBoxesRefuseTypingButLetTheKeyboardMove)
{
    form->setPlayerPresetNames([] { return QStringList{L1("Bob"), L1("Carol")}; });
    form->show();
    auto *arg = form->findChild<QComboBox *>(L1("Arg"));
    arg->showPopup(); // refills the player presets, as opening any of the three lists does
    arg->hidePopup();
    // Each typed text would pick a later item of its box if it got through.
    const std::pair<const char *, const char *> boxes[] = {{"Arg", "p"}, {"Rule", ">"}, {"PlayerPreset", "c"}};
    for (const auto &[name, typed] : boxes) {
        auto *box = form->findChild<QComboBox *>(L1(name));
        box->setCurrentIndex(0);
        QTest::keyClicks(box, L1(typed));
        EXPECT_EQ(box->currentIndex(), 0) << name;
        QTest::keyClick(box, Qt::Key_Down);
        EXPECT_EQ(box->currentIndex(), 1) << name;
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Tab);
        EXPECT_NE(form->focusWidget(), box) << name;
    }
    form->hide();
}

TEST_F(RepeatFormFixture, ExportAndImportStayPictureButtonsThatFollowTheirActions)
{
    for (const char *name : {"ExportButton", "ImportButton"}) {
        auto *button = form->findChild<QToolButton *>(L1(name));
        ASSERT_TRUE(button) << name;
        const QString action = L1(name).startsWith(u'E') ? L1("A_Export") : L1("A_Import");
        form->action(action)->setEnabled(false);
        EXPECT_FALSE(button->isEnabled()) << name;
        form->action(action)->setEnabled(true);
        EXPECT_TRUE(button->isEnabled()) << name;
        EXPECT_FALSE(button->icon().isNull()) << name;
        EXPECT_EQ(button->toolButtonStyle(), Qt::ToolButtonIconOnly) << name;
    }
}
