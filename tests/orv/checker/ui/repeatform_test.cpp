// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/checker/ui/repeatform.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include "orv/checker/presetname.h"
#include "orv/checker/scriptfile.h"
#include "orv/engine/queryengine.h"
#include "orv/frontend/formstorage/formstorage.h"
#include "orv/frontend/mainwindow/soundbank.h"
#include "platform/desktop/sound.h"
#include "platform/registrystore.h"
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

    void SetUp() override { makeForm(); }

    // The window as the program's start-up leaves it: both storages loaded once.
    void makeForm(bool load = true)
    {
        form = std::make_unique<TRepeatForm>(engine, *store, sounds);
        form->setMessageSink([this](QMessageBox::Icon, const QString &text, QMessageBox::StandardButtons) {
            messages.append(text);
            return QMessageBox::Ok;
        });
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

    // Same name again: refused. A name differing only in case: allowed.
    form->setPresetText(L1("Alpha"));
    form->addPreset();
    EXPECT_EQ(messages.last(), L1("Change preset name!"));
    form->setPresetText(L1("alpha"));
    form->addPreset();
    EXPECT_EQ(form->presetNames(), (QStringList{L1("Alpha"), L1("alpha")}));
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
