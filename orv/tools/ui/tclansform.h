// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

#include <QDialog>
#include <QIcon>
#include <QString>
#include <QUrl>

#include "orv/net/proxysettings.h"
#include "orv/tools/clanslist.h"

class QAction;
class QMenu;
class QPushButton;
class QTableWidget;
class QTreeWidget;

namespace orv::net {
class FileDownloader;
}

namespace orv::tools {

// "Unreal Clans": the clans of the downloaded clans list, the members of the selected clan
// and the selected member's details, with a pop-up menu to open home pages, write a mail
// and copy the details, and buttons to download the list again and to open the web site's
// registration and news pages. Every show rereads the file; closing drops it.
//
// The owner wires in the downloader (whose wait window follows it), the proxy options read
// at each download, and connects clickSound() to the sound service and logLine() to the log.
class TClansForm : public QDialog
{
    Q_OBJECT

public:
    explicit TClansForm(net::FileDownloader &downloader, QWidget *parent = nullptr);
    ~TClansForm() override;

    // "clans.lst" in the program folder.
    static QString defaultListPath();
    const QString &listPath() const { return m_listPath; }
    void setListPath(const QString &path) { m_listPath = path; }

    // The web site the list, the registration page and the news page come from.
    const QUrl &webSite() const { return m_webSite; }
    void setWebSite(const QUrl &site) { m_webSite = site; }

    // Called at the start of each download for the proxy options of that moment.
    void setProxySource(std::function<net::ProxySettings()> source) { m_proxySource = std::move(source); }
    // Hands an address to the desktop; by default the platform's opener.
    void setUrlOpener(std::function<bool(const QUrl &)> opener) { m_openUrl = std::move(opener); }

    const orv::tools::ClansList &clans() const { return m_clans; }

    // What showing the window does: refill the lists from the file.
    void reloadList();
    // Selecting a clan row or a member row (-1 or an unknown row only empties the details).
    void selectClan(int row);
    void selectMember(int row);

    // Double-click on a clan, and "Go clane homepage".
    void openClanPage();
    // "Download information": starts fetching the list into listPath(); false when a
    // download runs already. informationDownloaded() follows, after the window reloaded
    // whatever is there (it does either way).
    bool downloadInformation();
    void registerClan();
    void showNews();

    // The pop-up menu's commands.
    void goMemberHomepage();
    void writeMail();
    void copyPersonalInfo();
    // Decides which menu items are enabled, as the menu opens.
    void updateMenu();

    QTreeWidget *clansList() const { return ClansList; }
    QTreeWidget *membersList() const { return MembersList; }
    QTableWidget *personalInfo() const { return PersonalInfo; }
    QMenu *clanesMenu() const { return ClanesMenu; }
    QAction *goClanAction() const { return m_goClan; }
    QAction *goMemberAction() const { return m_goMember; }
    QAction *writeMailAction() const { return m_writeMail; }
    QAction *copyInfoAction() const { return m_copyInfo; }
    QPushButton *downloadButton() const { return m_downloadButton; }
    QPushButton *registerButton() const { return m_registerButton; }
    QPushButton *newsButton() const { return m_newsButton; }
    QPushButton *closeButton() const { return m_closeButton; }

    // The pictures of clan and member rows.
    static QIcon clanIcon();
    static QIcon memberIcon();

public slots:
    // Esc presses "Close".
    void reject() override;

signals:
    // A button's click sound, by name ("shot.wav", "select.wav").
    void clickSound(const QString &name);
    void logLine(const QString &line);
    // The end of "Download information": true when the list was fetched.
    void informationDownloaded(bool ok);

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void buildControls();
    QPushButton *addButton(const QString &caption, const QString &hint, const QString &sound);
    void clearDetails();
    void clearWindow();
    void openAddress(const QString &text);
    void openUrl(const QUrl &url);
    QString detail(int row) const;

    net::FileDownloader &m_downloader;
    orv::tools::ClansList m_clans;
    QString m_listPath;
    QUrl m_webSite;
    std::function<net::ProxySettings()> m_proxySource;
    std::function<bool(const QUrl &)> m_openUrl;

    // Control names as the rest of the program knows them.
    QTreeWidget *ClansList = nullptr;
    QTreeWidget *MembersList = nullptr;
    QTableWidget *PersonalInfo = nullptr;
    QMenu *ClanesMenu = nullptr;
    QAction *m_goClan = nullptr;
    QAction *m_goMember = nullptr;
    QAction *m_writeMail = nullptr;
    QAction *m_copyInfo = nullptr;
    QPushButton *m_downloadButton = nullptr;
    QPushButton *m_registerButton = nullptr;
    QPushButton *m_newsButton = nullptr;
    QPushButton *m_closeButton = nullptr;
};

} // namespace orv::tools
