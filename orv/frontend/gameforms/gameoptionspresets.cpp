// SPDX-License-Identifier: GPL-3.0-or-later
// The game options' player presets: the nickname list, the preset fields and the two
// storages that keep the paths and each nickname's preset.
#include "orv/frontend/gameforms/gameoptionsform.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

#include "orv/frontend/formstorage/formstorage.h"
#include "orv/frontend/mainwindow/soundbank.h"

namespace orv::frontend {

using namespace orv::core;

void TUnrealOptionsForm::buildPresetFields(QWidget *playersBox, QGridLayout *pg)
{
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
}

void TUnrealOptionsForm::buildStorages(platform::RegistryStore &store)
{
    // Declared first, so it loads after the preset storage and then switches to the preset
    // of the nickname it restored.
    m_storage1 = new TFormStorage(this, store);
    m_storage1->setObjectName(QStringLiteral("FormStorage1"));
    m_storage1->setIniSection(QStringLiteral("Uneral options\\"));
    m_storage1->setOptions(TPlacementOption::fpPosition);
    m_storage1->setStoredProps({QStringLiteral("NickName.Items"), QStringLiteral("NickName.Text"),
                                QStringLiteral("GamePath1.Text"), QStringLiteral("GamePath2.Text"),
                                QStringLiteral("GamePath3.Text"), QStringLiteral("GamePath4.Text"),
                                QStringLiteral("GameCommand1.Text"), QStringLiteral("GameCommand2.Text")});
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

void TUnrealOptionsForm::takeGamePlayer(const GamePlayer &player, bool ut)
{
    if (!player.name.isEmpty())
        m_nickName->setEditText(player.name.left(kMaxNicknameLength));
    const int team = player.team == 255 ? 0 : player.team + 1;
    if (team >= 0 && team < m_yourTeam->count())
        m_yourTeam->setCurrentIndex(team);
    auto take = [](QLineEdit *field, const QString &value) {
        if (!value.isEmpty())
            field->setText(value.left(field->maxLength()));
    };
    if (ut) {
        take(m_skinClassT, player.playerClass);
        take(m_yourSkinT, player.skin);
        take(m_yourFaceT, player.face);
        take(m_yourVoiceT, player.voice);
    } else {
        take(m_skinClass, player.playerClass);
        take(m_yourSkin, player.skin);
    }
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

} // namespace orv::frontend
