// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <optional>

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
// is loaded and the interface choices. Other windows read the controls whenever they need
// a value (engineOptions(), proxySettings(), …); nothing is cached. Kept in the section
// "Main options" of the settings store.
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

    // The options as the controls hold them now.
    engine::EngineOptions engineOptions() const;
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

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void buildInternetSection(QGridLayout *grid, int &row);
    void buildLocalSection(QGridLayout *grid, int &row);
    void buildInterfaceSection(QGridLayout *grid, int &row);
    void showError(const QString &message);

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
