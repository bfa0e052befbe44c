// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <functional>

#include <QDialog>
#include <QIcon>
#include <QString>
#include <QStringList>

#include "orv/core/playerpresets.h"
#include "orv/core/skintables.h"

class QComboBox;
class QGridLayout;
class QGroupBox;
class QHBoxLayout;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QToolButton;

namespace platform {
class RegistryStore;
}

namespace orv::engine {
struct PlayerEntry;
struct ServerInfo;
} // namespace orv::engine

namespace orv::frontend {

class SoundBank;
class TBuldingListForm;
class TFormStorage;

// The game options: the games' and editors' paths, the command texts and the player's
// identity, kept per nickname as player presets ("Uneral options\" holds the paths and
// the preset list, "Players\<encoded nickname>" each preset). It owns the skin tables
// that its menus and the players list use.
class TUnrealOptionsForm : public QDialog
{
    Q_OBJECT

public:
    enum class MessageKind { Error, Information };
    using MessageShower = std::function<void(MessageKind, const QString &)>;
    using FileChooser = std::function<QString(const QString &currentPath)>;

    static const QStringList &commandSwitches();
    static const QStringList &teamColours();

    TUnrealOptionsForm(platform::RegistryStore &store, SoundBank &sounds, QWidget *parent = nullptr);
    ~TUnrealOptionsForm() override;

    TFormStorage *formStorage() const { return m_storage1; }
    TFormStorage *presetStorage() const { return m_storage2; }

    // Where the skin and voice lists are read (default: the program folder).
    void setDataFolder(const QString &folder) { m_dataFolder = folder; }
    QString dataFolder() const { return m_dataFolder; }
    // Roots of the automatic search (default: defaultSearchRoots()).
    void setSearchRoots(const QStringList &roots) { m_searchRoots = roots; }
    void setMessageShower(MessageShower shower) { m_showMessage = std::move(shower); }
    void setFileChooser(FileChooser chooser) { m_chooseFile = std::move(chooser); }
    void setProgressWindow(TBuldingListForm *progress) { m_progress = progress; }

    // The values the launcher reads.
    orv::core::PlayerPreset currentPreset() const;
    QString gamePath(int field) const; // GamePath1 .. GamePath4
    void setGamePath(int field, const QString &path);
    QString gameExecutable(bool ut) const { return gamePath(ut ? 3 : 1); }
    QString editorExecutable(bool ut) const { return gamePath(ut ? 4 : 2); }
    QString extraText(bool ut) const;
    QString serverText(bool ut) const;
    // The game's "Command" line: the wrapper that runs it ("%command%" stands for the game
    // and its arguments); empty: the game runs by itself.
    QString commandLine(bool ut) const;
    void setCommandLine(bool ut, const QString &text);
    bool isLedLit(int field) const;

    // Takes the shown preset's identity from the player the game was set up with (its
    // User.ini), for a first start; fields the game leaves empty keep their text.
    void takeGamePlayer(const orv::core::GamePlayer &player, bool ut);

    // Player presets.
    QStringList presets() const;
    QString nickname() const;
    // The nicknames of the player presets, in their order.
    QStringList presetNames() const;
    void setNickname(const QString &nickname);
    // Saves the shown preset to its section, then shows the preset of the current nickname.
    void switchPreset();
    // Makes a listed nickname current and loads its preset (the main window's preset menu).
    void choosePreset(const QString &nickname);
    void SpeedButton1Click(); // add preset
    void SpeedButton2Click(); // delete preset

    // Skin lists: false when a list file was unreadable; the error message was shown and
    // exitRequested emitted.
    bool loadSkinLists();
    const orv::core::SkinTables &skinTables() const { return m_tables; }
    QImage playerPicture(orv::core::SkinGame game, int pict) const { return m_tables.table(game).picture(pict); }
    // The players list's pictures as one index space: Unreal pictures keep their number,
    // Unreal Tournament ones are shifted by kUTIconBase (the main window's playerIcon and
    // setPlayerIcons hooks).
    static constexpr int kUTIconBase = 0x10000;
    int playerIconIndex(const orv::engine::ServerInfo &info, const orv::engine::PlayerEntry &player,
                        const QString &beaconSign1) const;
    QIcon playerIcon(int iconIndex) const;

    // The menus as their buttons open them, and the choices they offer.
    QMenu *buildUnrealSkinMenu();
    QMenu *buildUTSkinMenu();
    QMenu *buildVoiceMenu();
    void chooseUnrealSkin(int index);
    void chooseUTSkin(int index);
    void chooseVoice(const QString &voice);
    // Appends a blank and the chosen switch (empty when the menu was dismissed).
    void appendCommand(QLineEdit *field, const QString &chosen);
    QLineEdit *commandField(const QString &name) const;

    // The automatic search; false when nothing was found (the message was shown).
    bool SearchButtonClick();
    // The same search without windows or messages (a link followed before any setup);
    // false when nothing was found.
    bool searchQuietly();
    // Puts the search's finds into the path fields; false when none fits a field.
    bool applyFoundPaths(const QStringList &found);

signals:
    void exitRequested();
    void stringReplacerRequested();
    void presetsChanged();

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The field length that marks a skin, face or voice field.
    static constexpr int kSkinFieldLength = 50;
    static constexpr int kPathFieldMinWidth = 110;
    static constexpr int kSkinFieldMinWidth = 90;

    // The window's parts, in the order the constructor builds them: the game paths with
    // their commands (gameoptionsform.cpp), the player presets (gameoptionspresets.cpp),
    // the skins, faces and voices (gameoptionsskins.cpp), the button row, the storages.
    QGroupBox *buildGamePathsBox();
    void buildPresetFields(QWidget *playersBox, QGridLayout *pg);
    void buildSkinFields(QWidget *playersBox, QGridLayout *pg);
    QHBoxLayout *buildButtonRow();
    void buildStorages(platform::RegistryStore &store);

    QLineEdit *pathField(QWidget *parent, const QString &name);
    QLineEdit *textField(QWidget *parent, const QString &name, const QString &text, int maxLength);
    QToolButton *menuButton(QWidget *parent, const QString &hint);
    void commandMenu(QLineEdit *field, QToolButton *button);
    void refreshLeds();
    void showPictures();
    void presetLoaded();
    void message(MessageKind kind, const QString &text);
    void browse(int field);
    void nicknameChanged();

    TFormStorage *m_storage1 = nullptr;
    TFormStorage *m_storage2 = nullptr;
    SoundBank &m_sounds;
    orv::core::SkinTables m_tables;
    QString m_dataFolder;
    QStringList m_searchRoots;
    MessageShower m_showMessage;
    FileChooser m_chooseFile;
    TBuldingListForm *m_progress = nullptr;

    std::array<QLineEdit *, 4> m_paths{};
    std::array<QLabel *, 4> m_leds{};
    QLineEdit *m_addcmd1 = nullptr;
    QLineEdit *m_addcmd2 = nullptr;
    QLineEdit *m_serverCmd1 = nullptr;
    QLineEdit *m_serverCmd2 = nullptr;
    QLineEdit *m_command1 = nullptr;
    QLineEdit *m_command2 = nullptr;
    QComboBox *m_nickName = nullptr;
    QLineEdit *m_yourPass = nullptr;
    QComboBox *m_yourTeam = nullptr;
    QLineEdit *m_yourSkin = nullptr;
    QLineEdit *m_skinClass = nullptr;
    QLabel *m_image1 = nullptr;
    QLineEdit *m_yourFaceT = nullptr;
    QLineEdit *m_yourSkinT = nullptr;
    QLineEdit *m_skinClassT = nullptr;
    QLineEdit *m_yourVoiceT = nullptr;
    QLabel *m_image2 = nullptr;
    QLabel *m_searchCheck = nullptr;
    QMenu *m_unrealMenu = nullptr;
    QMenu *m_utMenu = nullptr;
    QMenu *m_voiceMenu = nullptr;
    bool m_chosenFromList = false;
};

} // namespace orv::frontend
