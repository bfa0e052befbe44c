// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>
#include <QWidget>

#include <gtest/gtest.h>

#include "orv/frontend/formstorage/formstorage.h"
#include "orv/frontend/formstorage/storedproperties.h"
#include "platform/registrystore.h"
#include "tests/support/testpaths.h"

using orv::frontend::TFormStorage;
using orv::frontend::TPlacementOption;
using platform::RegistryRoot;
using platform::RegistryStore;

namespace {

const QString kBase = QStringLiteral("SOFTWARE\\Orvane");

QString key(const QString &section)
{
    return kBase + u'\\' + section;
}

// A stand-in for the checker window: the controls of its second storage and a linked list.
class TRepeatForm : public QWidget
{
    Q_OBJECT

public:
    explicit TRepeatForm(RegistryStore &store, QStringList *events = nullptr)
        : m_events(events)
    {
        setObjectName(QStringLiteral("RepeatForm"));
        minimize = new QCheckBox(this);
        minimize->setObjectName(QStringLiteral("MinimizeWin"));
        alertSound = new QLineEdit(QStringLiteral("alert.wav"), this);
        alertSound->setObjectName(QStringLiteral("AlertSound"));
        playerPreset = new QComboBox(this);
        playerPreset->setEditable(true);
        playerPreset->setObjectName(QStringLiteral("PlayerPreset"));
        prg = new QPlainTextEdit(QStringLiteral("Ping < 100"), this);
        prg->setObjectName(QStringLiteral("Prg"));
        delay = new QSpinBox(this);
        delay->setRange(-1000, 100000);
        delay->setValue(30);
        delay->setObjectName(QStringLiteral("RepeatDelay"));
        rules = new QListWidget(this);
        rules->setObjectName(QStringLiteral("WhenRuleRight"));
        for (const char *line : {"Play sound", "Show notice", "Add to favorites"}) {
            auto *item = new QListWidgetItem(QString::fromLatin1(line), rules);
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(Qt::Unchecked);
        }
        FormStorage2 = new TFormStorage(this, store);
        FormStorage2->setIniSection(QStringLiteral("Repeat\\Default"));
        FormStorage2->setOptions(TPlacementOption::fpPosition);
        FormStorage2->setStoredProps({QStringLiteral("MinimizeWin.Checked"), QStringLiteral("AlertSound.Text"),
                                      QStringLiteral("PlayerPreset.Text"), QStringLiteral("Prg.Items"),
                                      QStringLiteral("RepeatDelay.Value")});
        FormStorage2->linkCheckList(rules);
    }
    ~TRepeatForm() override { TFormStorage::formDestroying(this); }

    QCheckBox *minimize;
    QLineEdit *alertSound;
    QComboBox *playerPreset;
    QPlainTextEdit *prg;
    QSpinBox *delay;
    QListWidget *rules;
    TFormStorage *FormStorage2;
    bool refuseClose = false;

protected:
    void showEvent(QShowEvent *) override
    {
        if (m_events)
            m_events->append(QStringLiteral("window show"));
    }
    void closeEvent(QCloseEvent *event) override
    {
        if (m_events)
            m_events->append(QStringLiteral("window close"));
        if (refuseClose)
            event->ignore();
    }

private:
    QStringList *m_events;
};

// A stand-in for the main window: list views with columns, fonts, image lists, an action.
class TMainForm : public QWidget
{
    Q_OBJECT

public:
    explicit TMainForm(RegistryStore &store)
    {
        internetList = new QTreeWidget(this);
        internetList->setObjectName(QStringLiteral("InternetList"));
        internetList->setHeaderLabels({QStringLiteral("Server"), QStringLiteral("Ping"), QStringLiteral("Map")});
        localModel = new QStandardItemModel(0, 2, this);
        localModel->setHorizontalHeaderLabels({QStringLiteral("Server"), QStringLiteral("Players")});
        localList = new QTreeView(this);
        localList->setObjectName(QStringLiteral("LocalList"));
        localList->setModel(localModel);
        playersList = new QTreeView(this);
        playersList->setObjectName(QStringLiteral("PlayersList"));
        playersList->setProperty("ViewStyle", 3);
        playersPanel = new QWidget(this);
        playersPanel->setObjectName(QStringLiteral("PlayersPanel"));
        playersPanel->resize(300, 120);
        smallImages = new QObject(this);
        smallImages->setObjectName(QStringLiteral("ImageList1"));
        largeImages = new QObject(this);
        largeImages->setObjectName(QStringLiteral("ImageList2"));
        orv::frontend::setComponentReference(internetList, "SmallImages", smallImages);
        orv::frontend::setComponentReference(internetList, "LargeImages", largeImages);
        filter = new QAction(this);
        filter->setObjectName(QStringLiteral("Reiterativefilter1"));
        filter->setCheckable(true);

        FormStorage2 = new TFormStorage(this, store);
        FormStorage2->setIniSection(QStringLiteral("Main form state\\"));
        FormStorage2->setStoredProps({QStringLiteral("InternetList.Columns"), QStringLiteral("LocalList.Columns")});
        FormStorage1 = new TFormStorage(this, store);
        FormStorage1->setIniSection(QStringLiteral("Main form state"));
        FormStorage1->setOptions({});
        FormStorage1->setStoredProps({QStringLiteral("PlayersList.ViewStyle"), QStringLiteral("PlayersPanel.Height"),
                                      QStringLiteral("InternetList.SmallImages"),
                                      QStringLiteral("InternetList.LargeImages"), QStringLiteral("InternetList.Tag"),
                                      QStringLiteral("InternetList.Font"),
                                      QStringLiteral("Reiterativefilter1.Checked")});
    }
    ~TMainForm() override { TFormStorage::formDestroying(this); }

    QTreeWidget *internetList;
    QStandardItemModel *localModel;
    QTreeView *localList;
    QTreeView *playersList;
    QWidget *playersPanel;
    QObject *smallImages;
    QObject *largeImages;
    QAction *filter;
    TFormStorage *FormStorage2;
    TFormStorage *FormStorage1;
};

class FormStorageTest : public ::testing::Test
{
protected:
    QTemporaryDir m_dir;
    RegistryStore m_store{RegistryRoot::CurrentUser, m_dir.filePath(QStringLiteral("HKEY_CURRENT_USER.reg"))};

    QString stored(const QString &keyPath, const QString &name) const
    {
        return m_store.readString(keyPath, name).value().value_or(QStringLiteral("<missing>"));
    }
};

} // namespace

TEST_F(FormStorageTest, FirstRunKeepsDesignValuesAndCreatesTheBaseKey)
{
    TRepeatForm form(m_store);
    ASSERT_TRUE(form.FormStorage2->LoadSettings());
    EXPECT_TRUE(m_store.keyExists(kBase));
    EXPECT_FALSE(m_store.keyExists(key(QStringLiteral("Repeat"))));
    EXPECT_EQ(form.alertSound->text(), QStringLiteral("alert.wav"));
    EXPECT_EQ(form.prg->toPlainText(), QStringLiteral("Ping < 100"));
    EXPECT_EQ(form.delay->value(), 30);
    EXPECT_TRUE(form.FormStorage2->isRestored());
}

TEST_F(FormStorageTest, SavesInTheDocumentedOrderAndReadsEverythingBack)
{
    {
        TRepeatForm form(m_store);
        ASSERT_TRUE(form.FormStorage2->LoadSettings());
        form.minimize->setChecked(true);
        form.alertSound->setText(QStringLiteral("  siren.wav  "));
        form.playerPreset->setEditText(QStringLiteral("Nick"));
        form.prg->setPlainText(QStringLiteral("  Ping < 100  \nPlayers > 2"));
        form.delay->setValue(-15);
        ASSERT_TRUE(form.FormStorage2->SaveSettings());
        EXPECT_TRUE(form.FormStorage2->isSaved());
    }
    const QString section = key(QStringLiteral("Repeat\\Default"));
    const QString suffix = QStringLiteral("(%1x%2)")
                               .arg(QGuiApplication::primaryScreen()->geometry().width())
                               .arg(QGuiApplication::primaryScreen()->geometry().height());
    const QStringList expectedNames{QStringLiteral("FormVersion"),
                                    QStringLiteral("Flags"),
                                    QStringLiteral("ShowCmd"),
                                    QStringLiteral("PixelsPerInch"),
                                    QStringLiteral("MinMaxPos") + suffix,
                                    QStringLiteral("MinMaxPos"),
                                    QStringLiteral("NormPos") + suffix,
                                    QStringLiteral("NormPos"),
                                    QStringLiteral("Visible"),
                                    QStringLiteral("MinimizeWin_Checked"),
                                    QStringLiteral("AlertSound_Text"),
                                    QStringLiteral("PlayerPreset_Text"),
                                    QStringLiteral("RepeatDelay_Value")};
    EXPECT_EQ(m_store.valueNames(section), expectedNames);
    EXPECT_EQ(stored(section, QStringLiteral("FormVersion")), QStringLiteral("0"));
    EXPECT_EQ(stored(section, QStringLiteral("ShowCmd")), QStringLiteral("1"));
    EXPECT_EQ(stored(section, QStringLiteral("MinMaxPos")), stored(section, QStringLiteral("MinMaxPos") + suffix));
    EXPECT_EQ(stored(section, QStringLiteral("NormPos")), stored(section, QStringLiteral("NormPos") + suffix));
    EXPECT_EQ(stored(section, QStringLiteral("MinimizeWin_Checked")), QStringLiteral("True"));
    EXPECT_EQ(stored(section, QStringLiteral("AlertSound_Text")), QStringLiteral("siren.wav"));
    EXPECT_EQ(stored(section, QStringLiteral("RepeatDelay_Value")), QStringLiteral("-15"));
    EXPECT_EQ(stored(section, QStringLiteral("Visible")), QStringLiteral("0"));
    // The string list sits in the sibling key "Default.Prg_Items", lines untrimmed.
    const QString lines = key(QStringLiteral("Repeat\\Default.Prg_Items"));
    EXPECT_EQ(m_store.subKeyNames(key(QStringLiteral("Repeat"))),
              (QStringList{QStringLiteral("Default"), QStringLiteral("Default.Prg_Items")}));
    EXPECT_EQ(m_store.valueNames(lines),
              (QStringList{QStringLiteral("Count"), QStringLiteral("Item0"), QStringLiteral("Item1")}));
    EXPECT_EQ(stored(lines, QStringLiteral("Item0")), QStringLiteral("  Ping < 100  "));

    TRepeatForm again(m_store);
    ASSERT_TRUE(again.FormStorage2->LoadSettings());
    EXPECT_TRUE(again.minimize->isChecked());
    EXPECT_EQ(again.alertSound->text(), QStringLiteral("siren.wav"));
    EXPECT_EQ(again.playerPreset->currentText(), QStringLiteral("Nick"));
    EXPECT_EQ(again.prg->toPlainText(), QStringLiteral("  Ping < 100  \nPlayers > 2"));
    EXPECT_EQ(again.delay->value(), -15);
}

TEST_F(FormStorageTest, StoredTextsAreDecodedByTheirTypeRules)
{
    const QString section = key(QStringLiteral("Repeat\\Default"));
    const struct
    {
        const char *name;
        const char *text;
    } values[] = {
        {"MinimizeWin_Checked", "tRUE"},
        {"AlertSound_Text", "\t padded \t"},
        {"RepeatDelay_Value", "12abc"},
        {"FormVersion", "0"},
    };
    for (const auto &v : values)
        ASSERT_TRUE(m_store.setString(section, QString::fromLatin1(v.name), QString::fromLatin1(v.text)));
    TRepeatForm form(m_store);
    ASSERT_TRUE(form.FormStorage2->LoadSettings());
    EXPECT_TRUE(form.minimize->isChecked());
    EXPECT_EQ(form.alertSound->text(), QStringLiteral("padded"));
    EXPECT_EQ(form.delay->value(), 0) << "a number that does not parse reads as 0";

    // An enumeration text naming no identifier leaves the property as it was.
    ASSERT_TRUE(m_store.setString(section, u"MinimizeWin_Checked", QStringLiteral("Maybe")));
    ASSERT_TRUE(form.FormStorage2->LoadSettings());
    EXPECT_TRUE(form.minimize->isChecked());
}

TEST_F(FormStorageTest, PropertyThatCannotBeReadIsSkippedAndTheRestLoads)
{
    const QString section = key(QStringLiteral("Repeat\\Default"));
    ASSERT_TRUE(m_store.setDWord(section, u"AlertSound_Text", 7));
    ASSERT_TRUE(m_store.setString(section, u"RepeatDelay_Value", QStringLiteral("99")));
    TRepeatForm form(m_store);
    QStringList errors;
    form.FormStorage2->setErrorHandler([&errors](const QString &e) { errors.append(e); });
    form.show();
    EXPECT_TRUE(errors.isEmpty());
    EXPECT_EQ(form.alertSound->text(), QStringLiteral("alert.wav"));
    EXPECT_EQ(form.delay->value(), 99);

    // A value the storage itself needs that is not text is an error for the caller.
    ASSERT_TRUE(m_store.setDWord(section, u"FormVersion", 1));
    const platform::Status loaded = form.FormStorage2->LoadSettings();
    ASSERT_FALSE(loaded);
    EXPECT_EQ(loaded.error().message, QStringLiteral("Failed to get data for 'FormVersion'"));
    form.hide();
    form.show();
    EXPECT_EQ(errors, QStringList{QStringLiteral("Failed to get data for 'FormVersion'")});
}

TEST_F(FormStorageTest, EmptyStringListOnlyDeletesItsKeyAndLoadKeepsDesignLines)
{
    const QString lines = key(QStringLiteral("Repeat\\Default.Prg_Items"));
    ASSERT_TRUE(m_store.setString(lines, u"Count", QStringLiteral("1")));
    ASSERT_TRUE(m_store.setString(lines, u"Item0", QStringLiteral("old")));
    {
        TRepeatForm form(m_store);
        ASSERT_TRUE(form.FormStorage2->LoadSettings());
        EXPECT_EQ(form.prg->toPlainText(), QStringLiteral("old"));
        form.prg->clear();
        ASSERT_TRUE(form.FormStorage2->SaveSettings());
    }
    EXPECT_FALSE(m_store.keyExists(lines));
    TRepeatForm form(m_store);
    ASSERT_TRUE(form.FormStorage2->LoadSettings());
    EXPECT_EQ(form.prg->toPlainText(), QStringLiteral("Ping < 100"));
}

TEST_F(FormStorageTest, StringListCountBeyondItsItemsGivesEmptyLinesAndIsBounded)
{
    const QString lines = key(QStringLiteral("Repeat\\Default.Prg_Items"));
    ASSERT_TRUE(m_store.setString(lines, u"Count", QStringLiteral("3")));
    ASSERT_TRUE(m_store.setString(lines, u"Item1", QStringLiteral("middle")));
    TRepeatForm form(m_store);
    ASSERT_TRUE(form.FormStorage2->LoadSettings());
    EXPECT_EQ(form.prg->toPlainText(), QStringLiteral("\nmiddle\n"));

    // A damaged count must not make the window build billions of lines.
    ASSERT_TRUE(m_store.setString(lines, u"Count", QStringLiteral("2000000000")));
    ASSERT_TRUE(form.FormStorage2->LoadSettings());
    EXPECT_LE(form.prg->blockCount(), 32768);
}

TEST_F(FormStorageTest, NeverLoadedStorageNeverSavesNotEvenWhenDestroyed)
{
    {
        TRepeatForm form(m_store);
        form.alertSound->setText(QStringLiteral("changed"));
        EXPECT_TRUE(form.FormStorage2->SaveSettings());
    }
    EXPECT_FALSE(m_store.keyExists(key(QStringLiteral("Repeat"))));

    // A storage that is not Active saves on request whether it loaded or not.
    TRepeatForm form(m_store);
    form.FormStorage2->setActive(false);
    ASSERT_TRUE(form.FormStorage2->SaveSettings());
    EXPECT_EQ(stored(key(QStringLiteral("Repeat\\Default")), QStringLiteral("AlertSound_Text")),
              QStringLiteral("alert.wav"));
}

TEST_F(FormStorageTest, ShowLoadsCloseSavesAndDestroySavesOnlyWhatIsUnsaved)
{
    const QString section = key(QStringLiteral("Repeat\\Default"));
    QStringList events;
    auto form = std::make_unique<TRepeatForm>(m_store, &events);
    QObject::connect(form->FormStorage2, &TFormStorage::OnRestorePlacement, form.get(),
                     [&events] { events.append(QStringLiteral("storage loaded")); });
    QObject::connect(form->FormStorage2, &TFormStorage::OnSavePlacement, form.get(),
                     [&events] { events.append(QStringLiteral("storage saved")); });
    form->show();
    EXPECT_EQ(events, (QStringList{QStringLiteral("storage loaded"), QStringLiteral("window show")}));

    // Hiding without closing saves nothing; a refused close saves nothing either.
    events.clear();
    form->alertSound->setText(QStringLiteral("first.wav"));
    form->hide();
    EXPECT_FALSE(m_store.keyExists(section));
    form->show();
    events.clear();
    form->refuseClose = true;
    EXPECT_FALSE(form->close());
    EXPECT_EQ(events, QStringList{QStringLiteral("window close")});
    EXPECT_FALSE(m_store.keyExists(section));

    events.clear();
    form->refuseClose = false;
    EXPECT_TRUE(form->close());
    EXPECT_EQ(events, (QStringList{QStringLiteral("window close"), QStringLiteral("storage saved")}));
    EXPECT_EQ(stored(section, QStringLiteral("AlertSound_Text")), QStringLiteral("first.wav"));
    EXPECT_EQ(stored(section, QStringLiteral("Visible")), QStringLiteral("0"));

    // Already saved since the last load: destruction writes nothing more.
    ASSERT_TRUE(m_store.setString(section, u"Visible", QStringLiteral("untouched")));
    form->alertSound->setText(QStringLiteral("lost.wav"));
    form.reset();
    EXPECT_EQ(stored(section, QStringLiteral("Visible")), QStringLiteral("untouched"));

    // Loaded and not saved since: destruction saves, with "Visible" 1.
    form = std::make_unique<TRepeatForm>(m_store, &events);
    form->show();
    form->alertSound->setText(QStringLiteral("at exit.wav"));
    form.reset();
    EXPECT_EQ(stored(section, QStringLiteral("AlertSound_Text")), QStringLiteral("at exit.wav"));
    EXPECT_EQ(stored(section, QStringLiteral("Visible")), QStringLiteral("1"));
}

// A dialog that ends through accept() or reject() hides without a close event.
TEST_F(FormStorageTest, DialogSavesWhenItEndsWithoutACloseEvent)
{
    QDialog dialog;
    auto *text = new QLineEdit(QStringLiteral("before"), &dialog);
    text->setObjectName(QStringLiteral("FindText"));
    auto *storage = new TFormStorage(&dialog, m_store);
    storage->setIniSection(QStringLiteral("Find form"));
    storage->setStoredProps({QStringLiteral("FindText.Text")});
    int saves = 0;
    QObject::connect(storage, &TFormStorage::OnSavePlacement, &dialog, [&saves] { ++saves; });
    const struct
    {
        const char *text;
        std::function<void()> end;
    } endings[] = {
        {"accepted", [&dialog] { dialog.accept(); }},
        {"rejected", [&dialog] { dialog.reject(); }},
        {"closed", [&dialog] { dialog.close(); }},
    };
    int expectedSaves = 0;
    for (const auto &e : endings) {
        dialog.show();
        text->setText(QString::fromLatin1(e.text));
        e.end();
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(saves, ++expectedSaves) << e.text << ": saved once";
        EXPECT_EQ(stored(key(QStringLiteral("Find form")), QStringLiteral("FindText_Text")),
                  QString::fromLatin1(e.text));
    }
}

TEST_F(FormStorageTest, TwoStoragesChainInDeclarationOrder)
{
    TMainForm form(m_store);
    QStringList order;
    for (TFormStorage *s : {form.FormStorage2, form.FormStorage1}) {
        const QString name = s == form.FormStorage1 ? QStringLiteral("1") : QStringLiteral("2");
        QObject::connect(s, &TFormStorage::OnRestorePlacement, &form,
                         [&order, name] { order << QStringLiteral("load ") + name; });
        QObject::connect(s, &TFormStorage::OnSavePlacement, &form,
                         [&order, name] { order << QStringLiteral("save ") + name; });
    }
    form.show();
    form.close();
    // FormStorage2 is declared first: it loads last and saves first.
    EXPECT_EQ(order, (QStringList{QStringLiteral("load 1"), QStringLiteral("load 2"), QStringLiteral("save 2"),
                                  QStringLiteral("save 1")}));
}

TEST_F(FormStorageTest, MainFormKeyLayoutAndRoundTrip)
{
    {
        TMainForm form(m_store);
        ASSERT_TRUE(form.FormStorage1->LoadSettings());
        ASSERT_TRUE(form.FormStorage2->LoadSettings());
        form.internetList->headerItem()->setText(1, QStringLiteral("Ping \"ms\""));
        form.internetList->header()->resizeSection(0, 211);
        form.internetList->setProperty("Tag", 7);
        QFont font(QStringLiteral("Courier"));
        font.setPointSize(11);
        font.setBold(true);
        font.setItalic(true);
        form.internetList->setFont(font);
        form.playersList->setProperty("ViewStyle", 1);
        form.playersPanel->resize(300, 155);
        form.filter->setChecked(true);
        orv::frontend::setComponentReference(form.internetList, "LargeImages", nullptr);
        ASSERT_TRUE(form.FormStorage2->SaveSettings());
        ASSERT_TRUE(form.FormStorage1->SaveSettings());
    }
    const QString state = key(QStringLiteral("Main form state"));
    const QString columns = key(QStringLiteral("Main form state\\.InternetList_Columns"));
    EXPECT_EQ(stored(state, QStringLiteral("InternetList_Columns.Count")), QStringLiteral("3"));
    EXPECT_EQ(stored(state, QStringLiteral("LocalList_Columns.Count")), QStringLiteral("2"));
    EXPECT_EQ(m_store.subKeyNames(state),
              (QStringList{QStringLiteral(".InternetList_Columns"), QStringLiteral(".LocalList_Columns")}));
    const QStringList itemNames = m_store.valueNames(columns).mid(0, 8);
    EXPECT_EQ(itemNames, (QStringList{QStringLiteral("Item0_Alignment"), QStringLiteral("Item0_AutoSize"),
                                      QStringLiteral("Item0_Caption"), QStringLiteral("Item0_ImageIndex"),
                                      QStringLiteral("Item0_MaxWidth"), QStringLiteral("Item0_MinWidth"),
                                      QStringLiteral("Item0_Tag"), QStringLiteral("Item0_Width")}));
    EXPECT_EQ(stored(columns, QStringLiteral("Item0_Alignment")), QStringLiteral("taLeftJustify"));
    EXPECT_EQ(stored(columns, QStringLiteral("Item0_AutoSize")), QStringLiteral("False"));
    EXPECT_EQ(stored(columns, QStringLiteral("Item0_Width")), QStringLiteral("211"));
    EXPECT_EQ(stored(columns, QStringLiteral("Item1_Caption")), QStringLiteral("Ping \"ms\""));
    EXPECT_EQ(stored(state, QStringLiteral("PlayersList_ViewStyle")), QStringLiteral("vsSmallIcon"));
    EXPECT_EQ(stored(state, QStringLiteral("PlayersPanel_Height")), QStringLiteral("155"));
    EXPECT_EQ(stored(state, QStringLiteral("InternetList_SmallImages")), QStringLiteral("ImageList1"));
    EXPECT_EQ(stored(state, QStringLiteral("InternetList_LargeImages")), QStringLiteral("(null)"));
    EXPECT_EQ(stored(state, QStringLiteral("InternetList_Tag")), QStringLiteral("7"));
    EXPECT_EQ(stored(state, QStringLiteral("InternetList_FontName")), QStringLiteral("Courier"));
    EXPECT_EQ(stored(state, QStringLiteral("InternetList_FontSize")), QStringLiteral("11"));
    EXPECT_EQ(stored(state, QStringLiteral("InternetList_FontStyle")), QStringLiteral("[fsBold,fsItalic]"));
    EXPECT_EQ(stored(state, QStringLiteral("InternetList_FontColor")), QStringLiteral("-16777208"));
    EXPECT_EQ(stored(state, QStringLiteral("Reiterativefilter1_Checked")), QStringLiteral("True"));
    const QStringList names = m_store.valueNames(state);
    const qsizetype charset = names.indexOf(QStringLiteral("InternetList_FontCharset"));
    ASSERT_GE(charset, 0);
    EXPECT_EQ(names.mid(charset, 7),
              (QStringList{QStringLiteral("InternetList_FontCharset"), QStringLiteral("InternetList_FontColor"),
                           QStringLiteral("InternetList_FontHeight"), QStringLiteral("InternetList_FontName"),
                           QStringLiteral("InternetList_FontPitch"), QStringLiteral("InternetList_FontSize"),
                           QStringLiteral("InternetList_FontStyle")}));

    TMainForm form(m_store);
    ASSERT_TRUE(form.FormStorage1->LoadSettings());
    ASSERT_TRUE(form.FormStorage2->LoadSettings());
    EXPECT_EQ(form.internetList->headerItem()->text(1), QStringLiteral("Ping \"ms\""));
    EXPECT_EQ(form.internetList->header()->sectionSize(0), 211);
    EXPECT_EQ(form.internetList->property("Tag").toInt(), 7);
    EXPECT_EQ(form.internetList->font().family(), QStringLiteral("Courier"));
    EXPECT_EQ(form.internetList->font().pointSize(), 11);
    EXPECT_TRUE(form.internetList->font().bold());
    EXPECT_TRUE(form.internetList->font().italic());
    EXPECT_EQ(form.playersList->property("ViewStyle").toInt(), 1);
    EXPECT_EQ(form.playersPanel->height(), 155);
    EXPECT_TRUE(form.filter->isChecked());
    EXPECT_EQ(orv::frontend::componentReference(form.internetList, "SmallImages"), form.smallImages);
    EXPECT_EQ(orv::frontend::componentReference(form.internetList, "LargeImages"), nullptr);
}

TEST_F(FormStorageTest, StoredColumnsReplaceTheColumnsTheProgramMade)
{
    const QString state = key(QStringLiteral("Main form state"));
    const QString columns = key(QStringLiteral("Main form state\\.LocalList_Columns"));
    ASSERT_TRUE(m_store.setString(state, u"LocalList_Columns.Count", QStringLiteral("4")));
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(
            m_store.setString(columns, QStringLiteral("Item%1_Caption").arg(i), QStringLiteral("Col %1").arg(i)));
        ASSERT_TRUE(m_store.setString(columns, QStringLiteral("Item%1_Width").arg(i), QString::number(50 + i)));
    }
    ASSERT_TRUE(m_store.setString(columns, u"Item3_Alignment", QStringLiteral("taRightJustify")));
    ASSERT_TRUE(m_store.setString(columns, u"Item2_Tag", QStringLiteral("5")));
    TMainForm form(m_store);
    ASSERT_TRUE(form.FormStorage2->LoadSettings());
    ASSERT_EQ(form.localModel->columnCount(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(form.localModel->headerData(i, Qt::Horizontal).toString(), QStringLiteral("Col %1").arg(i));
        EXPECT_EQ(form.localList->header()->sectionSize(i), 50 + i);
    }
    EXPECT_TRUE(form.localModel->headerData(3, Qt::Horizontal, Qt::TextAlignmentRole).toInt() & Qt::AlignRight);
    EXPECT_TRUE(form.internetList->columnCount() == 3) << "no stored count: the columns stay";

    // Saving it again keeps the per-column values Qt has no place for.
    ASSERT_TRUE(form.FormStorage2->SaveSettings());
    EXPECT_EQ(stored(columns, QStringLiteral("Item2_Tag")), QStringLiteral("5"));
}

TEST_F(FormStorageTest, ComponentReferencesAcrossWindows)
{
    TMainForm form(m_store);
    QWidget other;
    other.setObjectName(QStringLiteral("OptionsForm"));
    auto *images = new QObject(&other);
    images->setObjectName(QStringLiteral("Skins"));
    other.show();
    QWidget unnamed;
    auto *icons = new QObject(&unnamed);
    icons->setObjectName(QStringLiteral("Icons"));

    const struct
    {
        QObject *target;
        const char *text;
    } cases[] = {
        {nullptr, "(null)"},
        {form.smallImages, "ImageList1"},
        {images, "OptionsForm.Skins"},
        {icons, "QWidget.Icons"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(orv::frontend::componentReferenceText(c.target, &form), QString::fromLatin1(c.text)) << c.text;
    EXPECT_EQ(orv::frontend::resolveComponentReference(u"optionsform.skins", &form), images);
    EXPECT_EQ(orv::frontend::resolveComponentReference(u"imagelist2", &form), form.largeImages);
    EXPECT_EQ(orv::frontend::resolveComponentReference(u"(NULL)", &form), nullptr);
    EXPECT_EQ(orv::frontend::resolveComponentReference(u"NoSuchForm.Skins", &form), nullptr);
    EXPECT_EQ(orv::frontend::resolveComponentReference(u"Missing", &form), nullptr);
}

TEST_F(FormStorageTest, PlacementIsAppliedOnlyWhenItFitsTheScreen)
{
    const QString section = key(QStringLiteral("Repeat\\Default"));
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    const QString suffix = QStringLiteral("(%1x%2)").arg(screen.width()).arg(screen.height());
    const int ppi = qRound(QGuiApplication::primaryScreen()->logicalDotsPerInch());
    const struct
    {
        const char *name;
        QString ppi;
        QString norm;
        QString normForScreen;
        QRect expected; // null: the window keeps its place
    } cases[] = {
        {"plain NormPos", QString::number(ppi), QStringLiteral("10,20,310,220"), QString(), QRect(10, 20, 300, 200)},
        {"screen-specific NormPos wins", QString::number(ppi), QStringLiteral("10,20,310,220"),
         QStringLiteral("30,40,130,140"), QRect(30, 40, 100, 100)},
        {"other pixels per inch", QString::number(ppi + 24), QStringLiteral("10,20,310,220"), QString(), QRect()},
        {"left not below right", QString::number(ppi), QStringLiteral("310,20,10,220"), QString(), QRect()},
        {"no position stored", QString::number(ppi), QString(), QString(), QRect()},
    };
    for (const auto &c : cases) {
        ASSERT_TRUE(m_store.deleteKey(section));
        ASSERT_TRUE(m_store.setString(section, u"PixelsPerInch", c.ppi));
        if (!c.norm.isEmpty()) {
            ASSERT_TRUE(m_store.setString(section, u"NormPos", c.norm));
        }
        if (!c.normForScreen.isEmpty()) {
            ASSERT_TRUE(m_store.setString(section, QStringLiteral("NormPos") + suffix, c.normForScreen));
        }
        TRepeatForm form(m_store);
        form.setGeometry(500, 400, 250, 150);
        const QRect before = form.geometry();
        ASSERT_TRUE(form.FormStorage2->LoadSettings());
        EXPECT_EQ(form.geometry(), c.expected.isNull() ? before : c.expected) << c.name;
    }

    // A window that cannot be resized takes only the stored left and top.
    ASSERT_TRUE(m_store.deleteKey(section));
    ASSERT_TRUE(m_store.setString(section, u"NormPos", QStringLiteral("10,20,310,220")));
    TRepeatForm fixed(m_store);
    fixed.setFixedSize(250, 150);
    ASSERT_TRUE(fixed.FormStorage2->LoadSettings());
    EXPECT_EQ(fixed.geometry(), QRect(10, 20, 250, 150));
}

TEST_F(FormStorageTest, ShowStateFollowsTheOptions)
{
    const QString section = key(QStringLiteral("Repeat\\Default"));
    ASSERT_TRUE(m_store.setString(section, u"ShowCmd", QStringLiteral("3")));
    TRepeatForm form(m_store);
    ASSERT_TRUE(form.FormStorage2->LoadSettings());
    EXPECT_FALSE(form.windowState() & Qt::WindowMaximized) << "fpState is not among the options";
    form.FormStorage2->setOptions(TPlacementOption::fpState);
    ASSERT_TRUE(form.FormStorage2->LoadSettings());
    EXPECT_TRUE(form.windowState() & Qt::WindowMaximized);
    ASSERT_TRUE(m_store.setString(section, u"ShowCmd", QStringLiteral("9")));
    ASSERT_TRUE(form.FormStorage2->LoadSettings());
    EXPECT_FALSE(form.windowState() & (Qt::WindowMaximized | Qt::WindowMinimized));
}

TEST_F(FormStorageTest, LinkedCheckListKeepsItsStatesInItsOwnKey)
{
    {
        TRepeatForm form(m_store);
        ASSERT_TRUE(form.FormStorage2->LoadSettings());
        form.rules->item(0)->setCheckState(Qt::Checked);
        form.rules->item(2)->setCheckState(Qt::PartiallyChecked);
        ASSERT_TRUE(form.FormStorage2->SaveSettings());
    }
    const QString listKey = key(QStringLiteral("Repeat\\Default\\TRepeatFormWhenRuleRight"));
    EXPECT_EQ(m_store.valueNames(listKey), (QStringList{QStringLiteral("Count"), QStringLiteral("Item0"),
                                                        QStringLiteral("Item1"), QStringLiteral("Item2")}));
    EXPECT_EQ(stored(listKey, QStringLiteral("Item0")), QStringLiteral("1"));
    EXPECT_EQ(stored(listKey, QStringLiteral("Item2")), QStringLiteral("2"));

    const struct
    {
        const char *count;
        Qt::CheckState third; // the third line's state after loading onto a list whose lines are all checked
    } cases[] = {{"5", Qt::PartiallyChecked}, {"2", Qt::Checked}, {"garbage", Qt::Checked}};
    for (const auto &c : cases) {
        ASSERT_TRUE(m_store.setString(listKey, u"Count", QString::fromLatin1(c.count)));
        ASSERT_TRUE(m_store.setString(listKey, u"Item3", QStringLiteral("1")));
        ASSERT_TRUE(m_store.setString(listKey, u"Item4", QStringLiteral("1")));
        TRepeatForm form(m_store);
        for (int i = 0; i < 3; ++i)
            form.rules->item(i)->setCheckState(Qt::Checked);
        ASSERT_TRUE(form.FormStorage2->LoadSettings());
        EXPECT_EQ(form.rules->count(), 3) << c.count;
        EXPECT_EQ(form.rules->item(2)->checkState(), c.third) << c.count;
    }

    // Switching the section moves the list with it; an empty section drops the backslash.
    TRepeatForm form(m_store);
    ASSERT_TRUE(form.FormStorage2->LoadSettings());
    form.FormStorage2->setIniSection(QStringLiteral("Repeat\\Fast"));
    ASSERT_TRUE(form.FormStorage2->SaveSettings());
    EXPECT_TRUE(m_store.keyExists(key(QStringLiteral("Repeat\\Fast\\TRepeatFormWhenRuleRight"))));
    form.FormStorage2->setIniSection(QString());
    ASSERT_TRUE(form.FormStorage2->SaveSettings());
    EXPECT_TRUE(m_store.keyExists(key(QStringLiteral("TRepeatFormWhenRuleRight"))));
}

TEST_F(FormStorageTest, SingleValuesDefaultsAndErrors)
{
    TRepeatForm form(m_store);
    TFormStorage &s = *form.FormStorage2;
    s.setIniSection(QStringLiteral("Players"));
    EXPECT_EQ(s.ReadValue(QStringLiteral("Team index"), QStringLiteral("def")).value(), QStringLiteral("def"));
    EXPECT_TRUE(m_store.keyExists(kBase));
    ASSERT_TRUE(s.WriteIntValue(QStringLiteral("Team index"), 2));
    EXPECT_EQ(s.ReadIntValue(QStringLiteral("team INDEX"), 0).value(), 2);
    ASSERT_TRUE(s.WriteValue(QStringLiteral("Bad"), QStringLiteral("2x")));
    EXPECT_EQ(s.ReadIntValue(QStringLiteral("Bad"), 9).value(), 9);
    EXPECT_EQ(s.ReadIntValue(QStringLiteral("Missing"), -4).value(), -4);
    ASSERT_TRUE(m_store.setDWord(key(QStringLiteral("Players")), u"Binary", 1));
    const auto wrongType = s.ReadValue(QStringLiteral("Binary"), QString());
    ASSERT_FALSE(wrongType);
    EXPECT_EQ(wrongType.error().message, QStringLiteral("Failed to get data for 'Binary'"));

    // "Main form state" and "Main form state\" name the same key.
    s.setIniSection(QStringLiteral("Main form state\\"));
    ASSERT_TRUE(s.WriteValue(QStringLiteral("NewOptions"), QStringLiteral("1")));
    s.setIniSection(QStringLiteral("Main form state"));
    EXPECT_EQ(s.ReadValue(QStringLiteral("NewOptions"), QString()).value(), QStringLiteral("1"));

    ASSERT_TRUE(s.WriteValue(QStringLiteral("x"), QStringLiteral("y")));
    s.setIniSection(QStringLiteral("Players\\Nick"));
    ASSERT_TRUE(s.WriteValue(QStringLiteral("x"), QStringLiteral("y")));
    ASSERT_TRUE(s.DeleteSection(key(QStringLiteral("Players"))));
    EXPECT_FALSE(m_store.keyExists(key(QStringLiteral("Players\\Nick"))));
    EXPECT_FALSE(m_store.keyExists(key(QStringLiteral("Players"))));
    EXPECT_TRUE(m_store.keyExists(key(QStringLiteral("Main form state"))));
    EXPECT_TRUE(s.DeleteSection(key(QStringLiteral("Players"))));
}

TEST_F(FormStorageTest, StoreThatCannotBeWrittenReportsTheKeyItCouldNotCreate)
{
    const QString blocker = m_dir.filePath(QStringLiteral("blocked"));
    ASSERT_TRUE(testsupport::writeFile(blocker, "a file where the folder should be"));
    RegistryStore broken(RegistryRoot::CurrentUser, blocker + QStringLiteral("/HKEY_CURRENT_USER.reg"));
    broken.setWarningHandler([](const QString &) {});
    TRepeatForm form(broken);
    QStringList errors;
    form.FormStorage2->setErrorHandler([&errors](const QString &e) { errors.append(e); });
    form.show();
    EXPECT_EQ(errors, QStringList{QStringLiteral("Failed to create key SOFTWARE\\Orvane")});
    EXPECT_TRUE(form.isVisible()) << "the window still shows";
    const platform::Status written = form.FormStorage2->WriteValue(QStringLiteral("A"), QStringLiteral("1"));
    ASSERT_FALSE(written);
    EXPECT_EQ(written.error().message, QStringLiteral("Failed to create key SOFTWARE\\Orvane"));
    EXPECT_FALSE(form.FormStorage2->ExportSettings(m_dir.filePath(QStringLiteral("export.reg"))));
}

TEST_F(FormStorageTest, NewerStoredVersionIsNotLoaded)
{
    const QString section = key(QStringLiteral("Repeat\\Default"));
    ASSERT_TRUE(m_store.setString(section, u"FormVersion", QStringLiteral("1")));
    ASSERT_TRUE(m_store.setString(section, u"AlertSound_Text", QStringLiteral("stored.wav")));
    TRepeatForm form(m_store);
    form.FormStorage2->setVersion(2);
    ASSERT_TRUE(form.FormStorage2->LoadSettings());
    EXPECT_TRUE(form.FormStorage2->isRestored());
    EXPECT_EQ(form.alertSound->text(), QStringLiteral("alert.wav"));
    form.FormStorage2->setVersion(1);
    ASSERT_TRUE(form.FormStorage2->LoadSettings());
    EXPECT_EQ(form.alertSound->text(), QStringLiteral("stored.wav"));
}

TEST_F(FormStorageTest, StoredPropsDropItemsThatNameNothing)
{
    TRepeatForm form(m_store);
    form.FormStorage2->setStoredProps({QStringLiteral(" AlertSound . Text "), QStringLiteral("NoDot"),
                                       QStringLiteral(".Text"), QStringLiteral("AlertSound."),
                                       QStringLiteral("Missing.Text"), QStringLiteral("minimizewin.Checked")});
    EXPECT_EQ(form.FormStorage2->StoredProps(),
              (QStringList{QStringLiteral(" AlertSound . Text "), QStringLiteral("minimizewin.Checked")}));
    ASSERT_TRUE(form.FormStorage2->LoadSettings());
    ASSERT_TRUE(form.FormStorage2->SaveSettings());
    const QString section = key(QStringLiteral("Repeat\\Default"));
    EXPECT_EQ(stored(section, QStringLiteral("AlertSound_Text")), QStringLiteral("alert.wav"));
    EXPECT_EQ(stored(section, QStringLiteral("minimizewin_Checked")), QStringLiteral("False"));
}

TEST_F(FormStorageTest, ExportWritesTheTreeBelowTheBaseKey)
{
    TRepeatForm form(m_store);
    ASSERT_TRUE(form.FormStorage2->WriteValue(QStringLiteral("Path"), QStringLiteral("C:\\UT\\\"x\"")));
    ASSERT_TRUE(m_store.setString(u"SOFTWARE\\Unrelated", u"x", QStringLiteral("y")));
    form.FormStorage2->setIniFileName(kBase + u'\\');
    const QString file = m_dir.filePath(QStringLiteral("settings.reg"));
    ASSERT_TRUE(form.FormStorage2->ExportSettings(file));
    EXPECT_EQ(testsupport::readFile(file), QByteArray("REGEDIT4\r\n"
                                                      "\r\n[HKEY_CURRENT_USER\\SOFTWARE\\Orvane]\r\n"
                                                      "\r\n[HKEY_CURRENT_USER\\SOFTWARE\\Orvane\\Repeat]\r\n"
                                                      "\r\n[HKEY_CURRENT_USER\\SOFTWARE\\Orvane\\Repeat\\Default]\r\n"
                                                      "\"Path\"=\"C:\\\\UT\\\\\\\"x\\\"\"\r\n"));
    EXPECT_FALSE(form.FormStorage2->ExportSettings(m_dir.filePath(QStringLiteral("no/such/folder/x.reg"))));
}

TEST_F(FormStorageTest, WindowsCanBindTheirOwnPropertyKinds)
{
    auto table = std::make_shared<orv::frontend::PropertyTable>(orv::frontend::PropertyTable::standard());
    table->add("QLineEdit", QStringLiteral("MaxLength"),
               orv::frontend::PropertyBinding::ofScalar(orv::frontend::ScalarBinding{
                   orv::frontend::ScalarFormat::integer(),
                   [](const QObject *o) { return QVariant(qobject_cast<const QLineEdit *>(o)->maxLength()); },
                   [](QObject *o, const QVariant &v) { qobject_cast<QLineEdit *>(o)->setMaxLength(v.toInt()); }}));
    const QString section = key(QStringLiteral("Repeat\\Default"));
    ASSERT_TRUE(m_store.setString(section, u"AlertSound_MaxLength", QStringLiteral("12")));
    ASSERT_TRUE(m_store.setString(section, u"RepeatDelay_ToolTip", QStringLiteral("every n seconds")));
    TRepeatForm form(m_store);
    form.FormStorage2->setPropertyTable(table);
    form.FormStorage2->setStoredProps({QStringLiteral("AlertSound.MaxLength"), QStringLiteral("RepeatDelay.toolTip")});
    ASSERT_TRUE(form.FormStorage2->LoadSettings());
    EXPECT_EQ(form.alertSound->maxLength(), 12);
    // No table entry: a Qt property of that name is used.
    EXPECT_EQ(form.delay->toolTip(), QStringLiteral("every n seconds"));
}

#include "formstorage_test.moc"
