// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <optional>
#include <vector>

#include <QDialog>
#include <QFont>
#include <QString>

#include "orv/engine/engineoptions.h"
#include "orv/net/internetlistbuilder.h"
#include "orv/net/proxysettings.h"

class QCheckBox;
class QGridLayout;
class QKeyEvent;
class QComboBox;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace platform {
class RegistryStore;
}

namespace orv::frontend {

class TFormStorage;
class TRadioGroup;

// The general options: time-outs, retries, proxy, beacon settings, how the Internet list
// is loaded and the interface choices. The engine's options are parsed here, where they are
// typed: a number box takes a text that is a number in its range at once, and on leaving the
// box refuses any other text with a message naming the field and shows the value in use
// again. Each change is announced as one value (engineOptionsChanged). Other settings are
// read from the controls when needed. Kept, as the boxes' texts, in the section "Main
// options" of the settings store.
class TOptionsForm : public QDialog
{
    Q_OBJECT

public:
    using ProxyReader = std::function<std::optional<QString>()>;
    using FontChooser = std::function<std::optional<QFont>(const QFont &initial)>;
    using FileChooser = std::function<QString()>;
    using ErrorShower = std::function<void(const QString &message)>;

    static const QString kProxyError;

    explicit TOptionsForm(platform::RegistryStore &store, QWidget *parent = nullptr);
    ~TOptionsForm() override;

    TFormStorage *formStorage() const { return m_storage; }

    // The engine's options as last applied.
    const engine::EngineOptions &engineOptions() const { return m_engineOptions; }
    net::ProxySettings proxySettings() const;
    net::ListLoad reloadList() const;
    net::ListMerge merge() const;
    int autoOpen() const;
    int whenStart() const;
    bool minimizeToTray() const;
    bool useSounds() const;
    bool smallImages() const;
    bool continueRefresh() const;

    // Collaborators; the defaults read the desktop's proxy and show the usual dialogs.
    void setProxyReader(ProxyReader reader) { m_proxyReader = std::move(reader); }
    void setFontChooser(FontChooser chooser) { m_fontChooser = std::move(chooser); }
    void setExportFileChooser(FileChooser chooser) { m_exportChooser = std::move(chooser); }
    void setErrorShower(ErrorShower shower) { m_showError = std::move(shower); }
    // The fonts the two font buttons start from (those of the internet and players lists).
    void setCurrentFonts(const QFont &serversList, const QFont &playersList);
    // The program's default list font: MS Sans Serif, 11 pixels high.
    static QFont defaultListFont();

    // The click handlers, public so the main window and tests can run them as a click does.
    void ReloadlistClick();
    void MergeClick();
    void AllowNotfullClick();
    void ProxyEnablingClick();
    void ProxyHostButtonClick();
    void UseSoundsClick();
    void SmallImageClick();
    void Color95Button1Click();
    void Color95Button3Click();
    void SpeedButton1Click();
    void SpeedButton2Click();
    void Color95Button4Click();

signals:
    // Sounds on or off, after a click on "Sounds" and after the options were loaded.
    void soundsSwitched(bool on);
    void soundsWindowRequested();
    void serversListsWindowRequested();
    // True: 16-pixel row images, false: 32-pixel ones.
    void smallImagesChanged(bool small);
    void serversListFontChanged(const QFont &font);
    void playersListFontChanged(const QFont &font);
    // A button was clicked whose click sound this is; the browser plays it.
    void clickSound(const QString &name);
    // The engine's options changed: a box took a new number, a check box or a sign changed,
    // or the stored options were loaded.
    void engineOptionsChanged(const orv::engine::EngineOptions &options);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void buildInternetSection(QGridLayout *grid, int &row);
    void buildLocalSection(QGridLayout *grid, int &row);
    void buildInterfaceSection(QGridLayout *grid, int &row);
    void showError(const QString &message);

    // A number box of the engine's options: its field name for messages, range and member.
    struct NumberField
    {
        QWidget *box = nullptr;
        QString name;
        engine::OptionRange range;
        int engine::EngineOptions::*number = nullptr;
        quint16 engine::EngineOptions::*port = nullptr;
    };
    void wireEngineOptions();
    static QString boxText(const QWidget *box);
    static void setBoxText(QWidget *box, const QString &text);
    int fieldValue(const NumberField &field) const;
    // Takes the box's text when it is a number in range. committed: the user left the box,
    // so any other text is refused with a message and replaced by the value in use.
    void takeNumber(const NumberField &field, bool committed);
    // Takes every control over (after loading): texts that are no numbers in range are
    // replaced by the values in use, without a message.
    void takeAllEngineOptions();
    void takeSwitchesAndSigns();
    void setEngineOptions(const engine::EngineOptions &options);

    engine::EngineOptions m_engineOptions;
    std::vector<NumberField> m_numberFields;
    TFormStorage *m_storage = nullptr;
    ProxyReader m_proxyReader;
    FontChooser m_fontChooser;
    FileChooser m_exportChooser;
    ErrorShower m_showError;
    QFont m_serversListFont;
    QFont m_playersListFont;
    // Set once a proxy setting has been read; a later failure then keeps proxy use.
    bool m_proxyRead = false;

    QPushButton *m_color95Button2 = nullptr;
    TRadioGroup *m_merge = nullptr;
    TRadioGroup *m_reloadlist = nullptr;
    QCheckBox *m_proxyEnabling = nullptr;
    QLineEdit *m_proxyHost = nullptr;
    QLineEdit *m_proxyPort = nullptr;
    QCheckBox *m_allowNotfull = nullptr;
    QComboBox *m_serverTry = nullptr;
    QComboBox *m_queriesAtOnce = nullptr;
    QCheckBox *m_contRefr = nullptr;
    QCheckBox *m_usePing = nullptr;
    QComboBox *m_internetServTimeOut = nullptr;
    QLineEdit *m_beaconSign1 = nullptr;
    QLineEdit *m_beaconPort = nullptr;
    QLineEdit *m_serverBeaconPort = nullptr;
    QLineEdit *m_beaconSign2 = nullptr;
    QLineEdit *m_beaconPort2 = nullptr;
    QLineEdit *m_serverBeaconPort2 = nullptr;
    QComboBox *m_localServTimeOut = nullptr;
    TRadioGroup *m_autoOpen = nullptr;
    TRadioGroup *m_whenStart = nullptr;
    QCheckBox *m_alwaysRefresh = nullptr;
    QCheckBox *m_smallImage = nullptr;
    QCheckBox *m_useSounds = nullptr;
    QToolButton *m_sndSelect = nullptr;
    QCheckBox *m_minimizetoTray = nullptr;
};

} // namespace orv::frontend
