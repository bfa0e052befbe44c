// SPDX-License-Identifier: GPL-3.0-or-later
// The game options' skins, faces and voices: their fields, menus and pictures, and the
// skin tables behind them.
#include "orv/frontend/gameforms/gameoptionsform.h"

#include <QAction>
#include <QCursor>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPixmap>
#include <QStyle>
#include <QToolButton>

#include "orv/frontend/mainwindow/splashform.h"

namespace orv::frontend {

using namespace orv::core;

namespace {

const QString kNotAvailable = QStringLiteral("N/A");

} // namespace

void TUnrealOptionsForm::buildSkinFields(QWidget *playersBox, QGridLayout *pg)
{
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

} // namespace orv::frontend
