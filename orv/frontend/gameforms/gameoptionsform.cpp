// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/frontend/gameforms/gameoptionsform.h"

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QCursor>
#include <QDeadlineTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "orv/frontend/gameforms/executablesearch.h"
#include "orv/frontend/formstorage/formstorage.h"
#include "orv/frontend/mainwindow/soundbank.h"
#include "orv/frontend/mainwindow/splashform.h"
#include "platform/paths.h"

namespace orv::frontend {

using namespace orv::core;

namespace {

constexpr int kSkinFieldLength = 50;
const QString kNotAvailable = QStringLiteral("N/A");
const QString kSeparator = QStringLiteral("-");

void setLed(QLabel *led, bool lit, const QColor &on)
{
    const QColor colour = lit ? on : on.darker(400);
    led->setProperty("lit", lit);
    led->setStyleSheet(
        QStringLiteral("background: %1; border: 1px solid #202020; border-radius: 5px;").arg(colour.name()));
}

QLabel *makeLed(QWidget *parent, const QString &name)
{
    auto *led = new QLabel(parent);
    led->setObjectName(name);
    led->setFixedSize(10, 10);
    setLed(led, false, QColor(0x00, 0xff, 0x00));
    return led;
}

// Keeps processing window messages for a while, so a menu choice takes effect first.
void delay(int milliseconds)
{
    QDeadlineTimer deadline(milliseconds);
    while (!deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

} // namespace

const QStringList &TUnrealOptionsForm::commandSwitches()
{
    static const QStringList items = {
        QString(),
        QStringLiteral("-alladmin"),
        QStringLiteral("-firstrun"),
        QStringLiteral("-nobind"),
        QStringLiteral("-nohard"),
        QStringLiteral("-noreplace"),
        QStringLiteral("-make"),
        QStringLiteral("-make -h"),
        QStringLiteral("-editor"),
        QStringLiteral("-showdep"),
        QStringLiteral("-strict"),
        kSeparator,
        QStringLiteral("-changevideo"),
        QStringLiteral("-conflicts"),
        QStringLiteral("-log"),
        QStringLiteral("-noddraw"),
        QStringLiteral("-nodsound"),
        QStringLiteral("-nogc"),
        QStringLiteral("-nohard"),
        QStringLiteral("-nok6"),
        QStringLiteral("-nolog"),
        QStringLiteral("-nokni"),
        QStringLiteral("-nommx"),
        QStringLiteral("-nosound"),
        QStringLiteral("-nowarn"),
        QStringLiteral("-profile"),
        QStringLiteral("-safe"),
        QStringLiteral("-server"),
        QStringLiteral("-silent"),
        kSeparator,
        QStringLiteral("INI=inifilename"),
        QStringLiteral("USER=userinifilename"),
        QStringLiteral("LOG=logfilename"),
        QStringLiteral("MULTIHOME=169.254.0.2"),
        QStringLiteral("PORT=num"),
        QStringLiteral("READINI=inifilename"),
    };
    return items;
}

const QStringList &TUnrealOptionsForm::teamColours()
{
    static const QStringList colours = {QStringLiteral("None"), QStringLiteral("Red"), QStringLiteral("Blue"),
                                        QStringLiteral("Green"), QStringLiteral("Gold")};
    return colours;
}

TUnrealOptionsForm::TUnrealOptionsForm(platform::RegistryStore &store, SoundBank &sounds, QWidget *parent)
    : QDialog(parent)
    , m_sounds(sounds)
    , m_dataFolder(platform::paths::programFolder())
{
    setObjectName(QStringLiteral("UnrealOptionsForm"));
    setWindowTitle(tr("Unreal Options"));
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint);

    auto *outer = new QVBoxLayout(this);
    auto *pathsBox = new QGroupBox(tr("Game path and cmd..."), this);
    auto *pathsRow = new QHBoxLayout(pathsBox);
    outer->addWidget(pathsBox);

    const QString extraHint = tr("Additional commands to run game");
    const QString serverHint = tr("Command to run dedicaded server");
    auto gameBox = [&](const QString &caption, int firstPath, const QString &addName, const QString &serverName,
                       QLineEdit *&add, QLineEdit *&server) {
        auto *box = new QGroupBox(caption, pathsBox);
        auto *g = new QGridLayout(box);
        const QString labels[] = {tr("Game file"), tr("Editor")};
        for (int i = 0; i < 2; ++i) {
            const int field = firstPath + i;
            m_paths[field] = pathField(box, QStringLiteral("GamePath%1").arg(field + 1));
            m_leds[field] = makeLed(box, QStringLiteral("LightCheck%1").arg(field + 1));
            g->addWidget(new QLabel(labels[i], box), i, 0);
            g->addWidget(m_paths[field], i, 1);
            g->addWidget(m_leds[field], i, 2);
        }
        add = textField(box, addName, QString(), 32767);
        server = textField(box, serverName, QStringLiteral("-server"), 32767);
        QToolButton *addButton = menuButton(box, extraHint);
        QToolButton *serverButton = menuButton(box, serverHint);
        connect(addButton, &QToolButton::clicked, this, [this, add, addButton] { commandMenu(add, addButton); });
        connect(serverButton, &QToolButton::clicked, this,
                [this, server, serverButton] { commandMenu(server, serverButton); });
        g->addWidget(new QLabel(tr("Additional run cmd."), box), 2, 0);
        g->addWidget(add, 2, 1);
        g->addWidget(addButton, 2, 2);
        g->addWidget(new QLabel(tr("Server start cmd."), box), 3, 0);
        g->addWidget(server, 3, 1);
        g->addWidget(serverButton, 3, 2);
        pathsRow->addWidget(box);
    };
    gameBox(tr("Unreal"), 0, QStringLiteral("Addcmd1"), QStringLiteral("ServerCmd1"), m_addcmd1, m_serverCmd1);
    gameBox(tr("Unreal Tournament"), 2, QStringLiteral("Addcmd2"), QStringLiteral("ServerCmd2"), m_addcmd2,
            m_serverCmd2);

    auto *playersBox = new QGroupBox(tr("Players options"), this);
    auto *pg = new QGridLayout(playersBox);
    outer->addWidget(playersBox);

    m_nickName = new QComboBox(playersBox);
    m_nickName->setObjectName(QStringLiteral("NickName"));
    m_nickName->setEditable(true);
    m_nickName->setInsertPolicy(QComboBox::NoInsert);
    m_nickName->lineEdit()->setMaxLength(kMaxNicknameLength);
    m_nickName->setEditText(QStringLiteral("Player"));
    m_nickName->setToolTip(tr("Your nick name"));
    m_nickName->installEventFilter(this);
    m_nickName->lineEdit()->installEventFilter(this);
    m_nickName->view()->installEventFilter(this);
    connect(m_nickName, &QComboBox::currentTextChanged, this, &TUnrealOptionsForm::nicknameChanged);
    auto *addPreset = new QToolButton(playersBox);
    addPreset->setObjectName(QStringLiteral("SpeedButton1"));
    addPreset->setText(QStringLiteral("+"));
    addPreset->setToolTip(tr("Add player preset.."));
    connect(addPreset, &QToolButton::clicked, this, [this] {
        m_sounds.click(QStringLiteral("beep.wav"));
        SpeedButton1Click();
    });
    auto *deletePreset = new QToolButton(playersBox);
    deletePreset->setObjectName(QStringLiteral("SpeedButton2"));
    deletePreset->setText(QStringLiteral("-"));
    deletePreset->setToolTip(tr("Delete player preset..."));
    connect(deletePreset, &QToolButton::clicked, this, [this] {
        m_sounds.click(QStringLiteral("beep.wav"));
        SpeedButton2Click();
    });

    m_yourPass = textField(playersBox, QStringLiteral("YourPass"), QString(), kMaxNicknameLength);
    m_yourPass->setEchoMode(QLineEdit::Password);
    m_yourPass->setToolTip(tr("Password needed for play game with passworded servers"));
    m_yourTeam = new QComboBox(playersBox);
    m_yourTeam->setObjectName(QStringLiteral("YourTeam"));
    m_yourTeam->addItems(teamColours());
    m_yourTeam->setToolTip(tr("Your team color"));

    auto *nickRow = new QHBoxLayout;
    nickRow->addWidget(m_nickName, 1);
    nickRow->addWidget(addPreset);
    nickRow->addWidget(deletePreset);
    pg->addWidget(new QLabel(tr("Nick name"), playersBox), 0, 0);
    pg->addLayout(nickRow, 0, 1);
    pg->addWidget(new QLabel(tr("Password"), playersBox), 1, 0);
    pg->addWidget(m_yourPass, 1, 1);
    pg->addWidget(new QLabel(tr("Team color"), playersBox), 2, 0);
    pg->addWidget(m_yourTeam, 2, 1);

    const QString skinButtonHint = tr("Your skin and class") + u'\n' + tr("When you click button you may") + u'\n' +
                                   tr("select it from standart presets");
    auto picture = [playersBox](const QString &name, const QString &hint) {
        auto *image = new QLabel(playersBox);
        image->setObjectName(name);
        image->setFixedSize(kSkinPictureSize + 2, kSkinPictureSize + 2);
        image->setAlignment(Qt::AlignCenter);
        image->setStyleSheet(QStringLiteral("border: 1px solid #3c8c00;"));
        image->setToolTip(hint);
        image->setProperty("Tag", 0);
        return image;
    };

    // Unreal: skin (with its menu) and skin pack.
    m_yourSkin = textField(playersBox, QStringLiteral("YourSkin"), kNotAvailable, kSkinFieldLength);
    m_yourSkin->setToolTip(tr("Your Skin and class"));
    QToolButton *skinButton = menuButton(playersBox, skinButtonHint);
    connect(skinButton, &QToolButton::clicked, this, [this] {
        QMenu *menu = buildUnrealSkinMenu();
        menu->exec(QCursor::pos());
    });
    m_skinClass = textField(playersBox, QStringLiteral("SkinClass"), kNotAvailable, kSkinFieldLength);
    m_skinClass->setToolTip(tr("Game file containing skin"));
    m_image1 = picture(QStringLiteral("Image1"), tr("Your not real photo :)"));
    pg->addWidget(new QLabel(tr("Unreal"), playersBox), 0, 2, 1, 3);
    pg->addWidget(new QLabel(tr("Your skin"), playersBox), 1, 2);
    pg->addWidget(m_yourSkin, 1, 3);
    pg->addWidget(skinButton, 1, 4);
    pg->addWidget(new QLabel(tr("Skin pack"), playersBox), 2, 2);
    pg->addWidget(m_skinClass, 2, 3);
    pg->addWidget(m_image1, 1, 5, 2, 1);

    // Unreal Tournament: face (with its menu), skin, skin pack and voice (with its menu).
    m_yourFaceT = textField(playersBox, QStringLiteral("YourFaceT"), kNotAvailable, kSkinFieldLength);
    m_yourFaceT->setToolTip(tr("Your face"));
    QToolButton *faceButton = menuButton(playersBox, skinButtonHint);
    connect(faceButton, &QToolButton::clicked, this, [this] {
        QMenu *menu = buildUTSkinMenu();
        menu->exec(QCursor::pos());
    });
    m_yourSkinT = textField(playersBox, QStringLiteral("YourSkinT"), kNotAvailable, kSkinFieldLength);
    m_yourSkinT->setToolTip(tr("Skin and class"));
    m_skinClassT = textField(playersBox, QStringLiteral("SkinClassT"), kNotAvailable, kSkinFieldLength);
    m_skinClassT->setToolTip(tr("Game file containing skin"));
    m_yourVoiceT = textField(playersBox, QStringLiteral("YourVoiceT"), kNotAvailable, kSkinFieldLength);
    m_yourVoiceT->setToolTip(tr("Your Voice"));
    QToolButton *voiceButton = menuButton(playersBox, tr("Your Voice"));
    connect(voiceButton, &QToolButton::clicked, this, [this] {
        QMenu *menu = buildVoiceMenu();
        menu->exec(QCursor::pos());
    });
    m_image2 = picture(QStringLiteral("Image2"), tr("Your not real][ photo :)"));
    pg->addWidget(new QLabel(tr("Unreal Tournament"), playersBox), 0, 6, 1, 3);
    pg->addWidget(new QLabel(tr("Your face"), playersBox), 1, 6);
    pg->addWidget(m_yourFaceT, 1, 7);
    pg->addWidget(faceButton, 1, 8);
    pg->addWidget(new QLabel(tr("Your skin"), playersBox), 2, 6);
    pg->addWidget(m_yourSkinT, 2, 7);
    pg->addWidget(new QLabel(tr("Skin pack"), playersBox), 3, 6);
    pg->addWidget(m_skinClassT, 3, 7);
    pg->addWidget(new QLabel(tr("Your voice"), playersBox), 4, 6);
    pg->addWidget(m_yourVoiceT, 4, 7);
    pg->addWidget(voiceButton, 4, 8);
    pg->addWidget(m_image2, 1, 9, 2, 1);
    connect(m_yourSkin, &QLineEdit::textChanged, this, &TUnrealOptionsForm::showPictures);
    connect(m_yourFaceT, &QLineEdit::textChanged, this, &TUnrealOptionsForm::showPictures);

    auto *buttons = new QHBoxLayout;
    auto *searchButton = new QPushButton(tr("Auto search path"), this);
    searchButton->setObjectName(QStringLiteral("SearchButton"));
    m_searchCheck = makeLed(this, QStringLiteral("SearchCheck"));
    setLed(m_searchCheck, false, QColor(0xff, 0xff, 0x00));
    connect(searchButton, &QPushButton::clicked, this, [this] {
        m_sounds.click(QStringLiteral("respawn.wav"));
        SearchButtonClick();
    });
    auto *replacer = new QPushButton(tr("String Replacer"), this);
    replacer->setObjectName(QStringLiteral("Color95Button1"));
    replacer->setToolTip(tr("Replace strings when they are show server information"));
    connect(replacer, &QPushButton::clicked, this, [this] {
        m_sounds.click(QStringLiteral("dropdown.wav"));
        emit stringReplacerRequested();
    });
    auto *exitButton = new QPushButton(tr("Close"), this);
    exitButton->setObjectName(QStringLiteral("ExitButton"));
    connect(exitButton, &QPushButton::clicked, this, [this] {
        m_sounds.click(QStringLiteral("select.wav"));
        accept();
    });
    buttons->addWidget(searchButton);
    buttons->addWidget(m_searchCheck);
    buttons->addStretch();
    buttons->addWidget(replacer);
    buttons->addWidget(exitButton);
    outer->addLayout(buttons);

    resize(size().expandedTo(QSize(665, 309)));
    if (const QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());

    // Declared first, so it loads after the preset storage and then switches to the preset
    // of the nickname it restored.
    m_storage1 = new TFormStorage(this, store);
    m_storage1->setObjectName(QStringLiteral("FormStorage1"));
    m_storage1->setIniSection(QStringLiteral("Uneral options\\"));
    m_storage1->setOptions(TPlacementOption::fpPosition);
    m_storage1->setStoredProps({QStringLiteral("NickName.Items"), QStringLiteral("NickName.Text"),
                                QStringLiteral("GamePath1.Text"), QStringLiteral("GamePath2.Text"),
                                QStringLiteral("GamePath3.Text"), QStringLiteral("GamePath4.Text")});
    m_storage2 = new TFormStorage(this, store);
    m_storage2->setObjectName(QStringLiteral("FormStorage2"));
    m_storage2->setIniSection(QStringLiteral("Players"));
    m_storage2->setOptions({});
    m_storage2->setStoredProps({
        QStringLiteral("SkinClass.Text"),
        QStringLiteral("YourPass.Text"),
        QStringLiteral("YourSkin.Text"),
        QStringLiteral("YourTeam.Text"),
        QStringLiteral("SkinClassT.Text"),
        QStringLiteral("YourSkinT.Text"),
        QStringLiteral("YourFaceT.Text"),
        QStringLiteral("Addcmd1.Text"),
        QStringLiteral("Addcmd2.Text"),
        QStringLiteral("ServerCmd1.Text"),
        QStringLiteral("ServerCmd2.Text"),
        QStringLiteral("YourVoiceT.Text"),
        QStringLiteral("Image1.Tag"),
        QStringLiteral("Image2.Tag"),
    });
    connect(m_storage2, &TFormStorage::OnRestorePlacement, this, &TUnrealOptionsForm::presetLoaded);
    connect(m_storage2, &TFormStorage::OnSavePlacement, this,
            [this] { (void)m_storage2->WriteIntValue(QStringLiteral("Team index"), m_yourTeam->currentIndex()); });
    connect(m_storage1, &TFormStorage::OnRestorePlacement, this, &TUnrealOptionsForm::switchPreset);
    refreshLeds();
}

TUnrealOptionsForm::~TUnrealOptionsForm()
{
    TFormStorage::formDestroying(this);
}

QLineEdit *TUnrealOptionsForm::pathField(QWidget *parent, const QString &name)
{
    auto *field = new QLineEdit(parent);
    field->setObjectName(name);
    field->setToolTip(tr("Path to EXE file"));
    field->setMinimumWidth(180);
    QAction *browseAction =
        field->addAction(style()->standardIcon(QStyle::SP_DirOpenIcon), QLineEdit::TrailingPosition);
    browseAction->setToolTip(tr("Auto search game in your HD"));
    const int index = name.right(1).toInt() - 1;
    connect(browseAction, &QAction::triggered, this, [this, index] { browse(index); });
    connect(field, &QLineEdit::textChanged, this, [this, field](const QString &text) {
        if (text.contains(u'"')) {
            QString cleaned = text;
            cleaned.remove(u'"');
            field->setText(cleaned);
            return; // the change this causes refreshes the LEDs
        }
        refreshLeds();
    });
    return field;
}

QLineEdit *TUnrealOptionsForm::textField(QWidget *parent, const QString &name, const QString &text, int maxLength)
{
    auto *field = new QLineEdit(text, parent);
    field->setObjectName(name);
    field->setMaxLength(maxLength);
    if (maxLength == kSkinFieldLength)
        field->setMinimumWidth(170); // room for "package.name" texts
    return field;
}

QToolButton *TUnrealOptionsForm::menuButton(QWidget *parent, const QString &hint)
{
    auto *button = new QToolButton(parent);
    button->setArrowType(Qt::DownArrow);
    button->setToolTip(hint);
    return button;
}

void TUnrealOptionsForm::commandMenu(QLineEdit *field, QToolButton *button)
{
    QMenu menu(this);
    for (const QString &item : commandSwitches()) {
        if (item == kSeparator) {
            menu.addSeparator();
            continue;
        }
        const qsizetype colon = item.indexOf(u':');
        menu.addAction(colon < 0 ? item : item.left(colon));
    }
    QAction *chosen = menu.exec(button->mapToGlobal(QPoint(0, button->height())));
    delay(200);
    appendCommand(field, chosen ? chosen->text() : QString());
}

void TUnrealOptionsForm::appendCommand(QLineEdit *field, const QString &chosen)
{
    if (field)
        field->setText(field->text() + u' ' + chosen);
}

QLineEdit *TUnrealOptionsForm::commandField(const QString &name) const
{
    for (QLineEdit *field : {m_addcmd1, m_addcmd2, m_serverCmd1, m_serverCmd2}) {
        if (field->objectName() == name)
            return field;
    }
    return nullptr;
}

PlayerPreset TUnrealOptionsForm::currentPreset() const
{
    PlayerPreset preset;
    preset.nickname = m_nickName->currentText();
    preset.password = m_yourPass->text();
    preset.team = m_yourTeam->currentIndex() >= 0 ? m_yourTeam->currentText() : QString();
    preset.skin = m_yourSkin->text();
    preset.skinClass = m_skinClass->text();
    preset.skinT = m_yourSkinT->text();
    preset.skinClassT = m_skinClassT->text();
    preset.faceT = m_yourFaceT->text();
    preset.voiceT = m_yourVoiceT->text();
    preset.addCmd1 = m_addcmd1->text();
    preset.addCmd2 = m_addcmd2->text();
    preset.serverCmd1 = m_serverCmd1->text();
    preset.serverCmd2 = m_serverCmd2->text();
    return preset;
}

QString TUnrealOptionsForm::gamePath(int field) const
{
    return field >= 1 && field <= 4 ? m_paths[field - 1]->text() : QString();
}

void TUnrealOptionsForm::setGamePath(int field, const QString &path)
{
    if (field >= 1 && field <= 4)
        m_paths[field - 1]->setText(path);
}

QString TUnrealOptionsForm::extraText(bool ut) const
{
    return (ut ? m_addcmd2 : m_addcmd1)->text();
}

QString TUnrealOptionsForm::serverText(bool ut) const
{
    return (ut ? m_serverCmd2 : m_serverCmd1)->text();
}

bool TUnrealOptionsForm::isLedLit(int field) const
{
    return field >= 1 && field <= 4 && m_leds[field - 1]->property("lit").toBool();
}

void TUnrealOptionsForm::refreshLeds()
{
    for (size_t i = 0; i < m_paths.size(); ++i) {
        const QString path = m_paths[i]->text();
        setLed(m_leds[i], !path.isEmpty() && QFileInfo(path).isFile(), QColor(0x00, 0xff, 0x00));
    }
}

QStringList TUnrealOptionsForm::presets() const
{
    QStringList list;
    for (int i = 0; i < m_nickName->count(); ++i)
        list.append(m_nickName->itemText(i));
    return list;
}

QStringList TUnrealOptionsForm::presetNames() const
{
    QStringList names;
    for (int i = 0; i < m_nickName->count(); ++i)
        names.append(m_nickName->itemText(i));
    return names;
}

QString TUnrealOptionsForm::nickname() const
{
    return m_nickName->currentText();
}

void TUnrealOptionsForm::setNickname(const QString &nickname)
{
    m_nickName->setEditText(nickname);
}

void TUnrealOptionsForm::nicknameChanged()
{
    if (!m_chosenFromList)
        return;
    m_chosenFromList = false;
    switchPreset();
}

void TUnrealOptionsForm::switchPreset()
{
    const QString nick = nickname();
    if (nick.isEmpty())
        return;
    // Errors here are not shown: the values on screen stay either way.
    (void)m_storage2->SaveSettings();
    m_storage2->setIniSection(presetSection(nick));
    (void)m_storage2->LoadSettings();
}

void TUnrealOptionsForm::choosePreset(const QString &nickname)
{
    const int index = m_nickName->findText(nickname, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0) {
        const QSignalBlocker block(m_nickName);
        m_nickName->setCurrentIndex(index);
    } else {
        setNickname(nickname);
    }
    switchPreset();
}

void TUnrealOptionsForm::presetLoaded()
{
    const auto index = m_storage2->ReadIntValue(QStringLiteral("Team index"), m_yourTeam->currentIndex());
    if (index && index.value() >= 0 && index.value() < m_yourTeam->count())
        m_yourTeam->setCurrentIndex(index.value());
    showPictures();
}

void TUnrealOptionsForm::SpeedButton1Click()
{
    const QString nick = nickname();
    switch (checkPresetAdd(presets(), nick)) {
    case PresetAdd::NoName:
    case PresetAdd::Full:
        return;
    case PresetAdd::Duplicate:
        message(MessageKind::Error, tr("This player is already exists!"));
        return;
    case PresetAdd::Add:
        break;
    }
    {
        const QSignalBlocker block(m_nickName);
        m_nickName->addItem(nick);
        m_nickName->setCurrentIndex(m_nickName->count() - 1);
    }
    m_storage2->setIniSection(presetSection(nick));
    (void)m_storage2->SaveSettings();
    emit presetsChanged();
    message(MessageKind::Information, tr("Player preset added!"));
}

void TUnrealOptionsForm::SpeedButton2Click()
{
    const QString nick = nickname();
    if (nick.isEmpty() || m_nickName->count() == 0)
        return;
    const int index = m_nickName->findText(nick, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0) {
        (void)m_storage2->DeleteSection(m_storage2->IniFileName() + u'\\' + presetSection(nick));
        {
            const QSignalBlocker block(m_nickName);
            m_nickName->removeItem(index);
        }
        emit presetsChanged();
        message(MessageKind::Information, tr("Player preset deleted!"));
    }
    // The values shown for the deleted preset are dropped, not saved anywhere.
    if (m_nickName->count() > 0) {
        {
            const QSignalBlocker block(m_nickName);
            m_nickName->setCurrentIndex(0);
        }
        m_storage2->setIniSection(presetSection(m_nickName->itemText(0)));
        (void)m_storage2->LoadSettings();
    } else if (m_storage2->IniSection() == presetSection(nick)) {
        // With no preset left, a later save must not bring the deleted one back.
        m_storage2->setIniSection(QStringLiteral("Players"));
    }
}

bool TUnrealOptionsForm::loadSkinLists()
{
    const SkinTables::LoadResult result = m_tables.load(m_dataFolder);
    const char *failure = nullptr;
    if (result.unreal == SkinTables::LoadOutcome::Failed)
        failure = "Error while load Unreal skins files! Restart programm please!";
    else if (result.ut == SkinTables::LoadOutcome::Failed)
        failure = "Error while load Unreal Tournament skins files! Restart programm please!";
    if (!failure) {
        showPictures();
        return true;
    }
    message(MessageKind::Error, tr(failure));
    emit exitRequested();
    return false;
}

void TUnrealOptionsForm::showPictures()
{
    auto draw = [this](QLabel *image, SkinGame game) {
        const SkinTable &table = m_tables.table(game);
        const SkinEntry *entry = table.entry(image->property("Tag").toInt());
        const QImage picture = entry ? table.picture(entry->pict) : QImage();
        if (picture.isNull())
            image->clear();
        else
            image->setPixmap(QPixmap::fromImage(picture));
    };
    draw(m_image1, SkinGame::Unreal);
    draw(m_image2, SkinGame::UT);
}

int TUnrealOptionsForm::playerIconIndex(const orv::engine::ServerInfo &info, const orv::engine::PlayerEntry &player,
                                        const QString &beaconSign1) const
{
    const SkinTables::PlayerPicture picture = m_tables.playerPicture(info, player, beaconSign1);
    return picture.game == SkinGame::UT ? kUTIconBase + picture.pict : picture.pict;
}

QIcon TUnrealOptionsForm::playerIcon(int iconIndex) const
{
    const bool ut = iconIndex >= kUTIconBase;
    const QImage picture =
        playerPicture(ut ? SkinGame::UT : SkinGame::Unreal, ut ? iconIndex - kUTIconBase : iconIndex);
    return picture.isNull() ? QIcon() : QIcon(QPixmap::fromImage(picture));
}

QMenu *TUnrealOptionsForm::buildUnrealSkinMenu()
{
    if (!m_unrealMenu)
        m_unrealMenu = new QMenu(this);
    const SkinTable &table = m_tables.table(SkinGame::Unreal);
    if (m_progress)
        m_progress->start(table.count);
    m_unrealMenu->clear();
    for (int index : table.menuIndexes()) {
        const SkinEntry &entry = table.entries[index];
        QAction *item = m_unrealMenu->addAction(properCase(entry.name));
        const QImage picture = table.picture(entry.pict);
        if (!picture.isNull())
            item->setIcon(QIcon(QPixmap::fromImage(picture)));
        connect(item, &QAction::triggered, this, [this, index] { chooseUnrealSkin(index); });
    }
    if (m_progress)
        m_progress->finish();
    return m_unrealMenu;
}

QMenu *TUnrealOptionsForm::buildUTSkinMenu()
{
    if (!m_utMenu)
        m_utMenu = new QMenu(this);
    const SkinTable &table = m_tables.table(SkinGame::UT);
    if (m_progress)
        m_progress->start(table.count);
    m_utMenu->clear();
    for (int index : table.menuIndexes()) {
        const SkinEntry &entry = table.entries[index];
        QAction *item = m_utMenu->addAction(entry.name);
        const QImage picture = table.picture(entry.pict);
        if (!picture.isNull())
            item->setIcon(QIcon(QPixmap::fromImage(picture)));
        connect(item, &QAction::triggered, this, [this, index] { chooseUTSkin(index); });
    }
    if (m_progress)
        m_progress->finish();
    return m_utMenu;
}

QMenu *TUnrealOptionsForm::buildVoiceMenu()
{
    if (!m_voiceMenu)
        m_voiceMenu = new QMenu(this);
    const auto voices = SkinTables::loadVoices(m_dataFolder);
    if (!voices)
        return m_voiceMenu;
    m_voiceMenu->clear();
    const QIcon icon = style()->standardIcon(QStyle::SP_MediaVolume);
    for (const QString &voice : *voices) {
        QAction *item = m_voiceMenu->addAction(icon, voice);
        connect(item, &QAction::triggered, this, [this, voice] { chooseVoice(voice); });
    }
    return m_voiceMenu;
}

void TUnrealOptionsForm::chooseUnrealSkin(int index)
{
    const SkinEntry *entry = m_tables.table(SkinGame::Unreal).entry(index);
    if (!entry)
        return;
    const bool spectator = entry->name.compare(u"spectator", Qt::CaseInsensitive) == 0;
    m_image1->setProperty("Tag", index);
    m_yourSkin->setText(spectator ? kNotAvailable : entry->skin);
    m_skinClass->setText(entry->mesh.isEmpty() ? kNotAvailable : entry->mesh);
    showPictures();
    if (m_unrealMenu)
        QMetaObject::invokeMethod(m_unrealMenu, &QMenu::clear, Qt::QueuedConnection);
}

void TUnrealOptionsForm::chooseUTSkin(int index)
{
    const SkinEntry *entry = m_tables.table(SkinGame::UT).entry(index);
    if (!entry)
        return;
    auto orNone = [](const QString &text) { return text.isEmpty() ? kNotAvailable : text; };
    const bool spectator = entry->name.compare(u"spectator", Qt::CaseInsensitive) == 0;
    m_image2->setProperty("Tag", index);
    m_yourSkinT->setText(spectator ? kNotAvailable : entry->skin);
    m_skinClassT->setText(orNone(entry->mesh));
    m_yourFaceT->setText(orNone(entry->face));
    m_yourVoiceT->setText(orNone(entry->talk));
    showPictures();
    if (m_utMenu)
        QMetaObject::invokeMethod(m_utMenu, &QMenu::clear, Qt::QueuedConnection);
}

void TUnrealOptionsForm::chooseVoice(const QString &voice)
{
    m_yourVoiceT->setText(voice);
    if (m_voiceMenu)
        QMetaObject::invokeMethod(m_voiceMenu, &QMenu::clear, Qt::QueuedConnection);
}

bool TUnrealOptionsForm::SearchButtonClick()
{
    const QStringList roots = m_searchRoots.isEmpty() ? defaultSearchRoots() : m_searchRoots;
    setLed(m_searchCheck, true, QColor(0xff, 0xff, 0x00));
    auto *notice = new TSearchNoticeForm(this);
    notice->show();
    const QStringList found = findFilesResponsively(roots, gameExecutableNames());
    notice->close();
    notice->deleteLater();
    setLed(m_searchCheck, false, QColor(0xff, 0xff, 0x00));
    const FoundGamePaths paths = assignFoundPaths(found);
    if (!paths.any()) {
        message(MessageKind::Error, tr("I`m can not find file on your hard drives!"));
        return false;
    }
    for (int i = 0; i < 4; ++i) {
        if (paths.paths[i])
            m_paths[static_cast<size_t>(i)]->setText(*paths.paths[i]);
    }
    return true;
}

void TUnrealOptionsForm::browse(int field)
{
    QLineEdit *edit = m_paths[static_cast<size_t>(field)];
    QString chosen;
    if (m_chooseFile) {
        chosen = m_chooseFile(edit->text());
    } else {
        chosen = QFileDialog::getOpenFileName(this, tr("Path.."), QFileInfo(edit->text()).absolutePath(),
                                              tr("All Exec`s (*.exe *.lnk);;All files (*)"));
    }
    if (!chosen.isEmpty())
        edit->setText(chosen);
}

void TUnrealOptionsForm::message(MessageKind kind, const QString &text)
{
    if (m_showMessage) {
        m_showMessage(kind, text);
        return;
    }
    if (kind == MessageKind::Error)
        QMessageBox::critical(this, windowTitle(), text);
    else
        QMessageBox::information(this, windowTitle(), text);
}

void TUnrealOptionsForm::showEvent(QShowEvent *event)
{
    refreshLeds();
    m_chosenFromList = false;
    loadSkinLists();
    QDialog::showEvent(event);
}

void TUnrealOptionsForm::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TUnrealOptionsForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && (watched == m_nickName || watched == m_nickName->lineEdit())) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down)
            return true;
    }
    if (watched == m_nickName->view() && event->type() == QEvent::Show)
        m_chosenFromList = true;
    return QDialog::eventFilter(watched, event);
}

} // namespace orv::frontend
