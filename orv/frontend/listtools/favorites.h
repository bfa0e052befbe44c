// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <optional>

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QString>

#include "orv/engine/addresslist.h"
#include "orv/engine/serverlist.h"

namespace orv::engine {
class QueryEngine;
}

namespace orv::frontend {

class TAddForm;
class TMainForm;

// The favorites commands of the main window: show the favorites, add the selected server,
// a typed server or every server of one ping class, delete one or all. The favorites live
// in the engine's favorites store ("favorites.lst" in the program folder), whose file is
// rewritten (atomically) after every change. Rows of servers that are favorites
// carry their state icon raised by 5.
class Favorites : public QObject
{
    Q_OBJECT

public:
    // Shows a message box of the given kind; tests put their own in.
    using MessageSink = std::function<void(QMessageBox::Icon kind, const QString &text)>;
    // Asks for a custom server; nothing when the user did not confirm.
    using CustomServerDialog = std::function<std::optional<orv::engine::AddressWords>()>;

    // Connects itself to the favorites commands of the form. The browser's composition
    // root routes the form's "show favorites" work to showFavorites().
    Favorites(TMainForm &form, orv::engine::QueryEngine &engine, QObject *parent = nullptr);

    // The engine's favorites file.
    QString fileName() const;
    void setFileName(const QString &path);
    void setMessageSink(MessageSink sink) { m_messages = std::move(sink); }
    void setCustomServerDialog(CustomServerDialog dialog) { m_customDialog = std::move(dialog); }

    // The commands.
    void showFavorites();
    void addSelected();
    void deleteSelected();
    // pingClass 0 good, 1 normal, 2 bad; returns how many servers were added.
    int addByPing(int pingClass);
    void addCustom();
    void clearAll();

    // Writes the favorites list to the file; a failure is shown as "Cannot create file".
    bool save();

signals:
    // A button of the custom server dialog was clicked whose click sound this is.
    void clickSound(const QString &name);

private:
    bool ensureLoaded();
    // Logs a favorites file that exists but could not be read.
    void reportLoad(const platform::Status &status);
    void notePageShown(orv::engine::ServerPage page);
    std::optional<orv::engine::AddressWords> askCustomServer();
    void message(QMessageBox::Icon kind, const QString &text);

    TMainForm &m_form;
    orv::engine::QueryEngine &m_engine;
    MessageSink m_messages;
    CustomServerDialog m_customDialog;
    QPointer<TAddForm> m_addForm;
    // Which page showed before the latest page change, so "Favorites" can tell whether
    // its page was already showing when the command came.
    orv::engine::ServerPage m_shownPage;
    bool m_favoritesJustShown = false;
};

} // namespace orv::frontend
