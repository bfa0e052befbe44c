// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QList>

#include "orv/net/internetlistbuilder.h"

class QKeyEvent;
class QLineEdit;
class QListWidget;
class QPushButton;
class QStackedWidget;

namespace platform {
class RegistryStore;
}

namespace orv::frontend {

class TFormStorage;

// The master-list editor: one list of URLs for Unreal and one for Unreal Tournament, each
// line with a check mark; only checked URLs are downloaded. The URL lines live in
// "Servers list\" and are saved after every change; the check marks, the page shown and
// the edit box live in "Servers list".
class TServersForm : public QDialog
{
    Q_OBJECT

public:
    explicit TServersForm(platform::RegistryStore &store, QWidget *parent = nullptr);
    ~TServersForm() override;

    TFormStorage *formStorage() const { return m_storage1; }
    TFormStorage *listsStorage() const { return m_storage2; }

    QList<net::MasterUrl> unrealUrls() const;
    QList<net::MasterUrl> utUrls() const;
    QListWidget *UServersList() const { return m_uServersList; }
    QListWidget *UTServersList() const { return m_utServersList; }
    QLineEdit *AddText() const { return m_addText; }
    int pageIndex() const;

    void Color95Button1Click();
    void Color95Button2Click();
    void addbuttonClick();
    void SpeedButton2Click();

signals:
    // A button was clicked whose click sound this is; the browser plays it.
    void clickSound(const QString &name);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QListWidget *currentList() const;
    void saveUrlLists();

    TFormStorage *m_storage1 = nullptr;
    TFormStorage *m_storage2 = nullptr;
    QPushButton *m_unrealButton = nullptr;
    QPushButton *m_utButton = nullptr;
    QStackedWidget *m_notebook = nullptr;
    QListWidget *m_uServersList = nullptr;
    QListWidget *m_utServersList = nullptr;
    QLineEdit *m_addText = nullptr;
};

} // namespace orv::frontend
