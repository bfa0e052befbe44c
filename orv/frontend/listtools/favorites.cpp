// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/frontend/listtools/favorites.h"

#include <QAction>
#include <QLineEdit>
#include <QSet>
#include <QTimer>

#include "orv/engine/queryengine.h"
#include "orv/engine/serverentry.h"
#include "orv/frontend/mainwindow/mainform.h"
#include "orv/frontend/netforms/addform.h"

using orv::engine::AddressList;
using orv::engine::AddressWords;
using orv::engine::ServerEntry;
using orv::engine::ServerPage;

namespace orv::frontend {

namespace {

// A favorites line holds three blank-separated words; a word that is empty or holds a
// blank would shift the words of the line, so such a server is not written.
bool isWritable(const AddressWords &server)
{
    for (const QString *word : {&server.address, &server.gamePort, &server.queryPort}) {
        if (word->isEmpty())
            return false;
        for (QChar c : *word) {
            if (c.isSpace())
                return false;
        }
    }
    return true;
}

const QString kExists = QStringLiteral("This server is exist in Favorites list!");

} // namespace

Favorites::Favorites(TMainForm &form, orv::engine::QueryEngine &engine, QObject *parent)
    : QObject(parent ? parent : &form)
    , m_form(form)
    , m_engine(engine)
    , m_shownPage(form.currentPage())
{
    connect(&form, &TMainForm::pageChanged, this, &Favorites::notePageShown);
    auto on = [this](MainAction command, auto &&work) {
        m_form.onCommand(command, this, std::forward<decltype(work)>(work));
    };
    on(MainAction::AddToFavorites, [this] { addSelected(); });
    on(MainAction::DelFromFavorites, [this] { deleteSelected(); });
    on(MainAction::GoodPing, [this] { addByPing(0); });
    on(MainAction::NormalPing, [this] { addByPing(1); });
    on(MainAction::Badping, [this] { addByPing(2); });
    on(MainAction::AddCustomToFavorites, [this] { addCustom(); });
    on(MainAction::ClearFavorites, [this] { clearAll(); });
}

void Favorites::notePageShown(ServerPage page)
{
    // The main window switches to the page before it asks for the favorites, so the
    // arrival is remembered until control returns to the event loop.
    if (page == ServerPage::Favorites && m_shownPage != ServerPage::Favorites) {
        m_favoritesJustShown = true;
        QTimer::singleShot(0, this, [this] { m_favoritesJustShown = false; });
    }
    m_shownPage = page;
}

void Favorites::message(QMessageBox::Icon kind, const QString &text)
{
    if (m_messages) {
        m_messages(kind, text);
        return;
    }
    const QString title = kind == QMessageBox::Critical      ? QStringLiteral("Error")
                          : kind == QMessageBox::Information ? QStringLiteral("Information")
                                                             : QStringLiteral("Orvane");
    QMessageBox box(kind, title, text, QMessageBox::Ok, &m_form);
    box.exec();
}

QString Favorites::fileName() const
{
    return m_engine.favoritesFile();
}

void Favorites::setFileName(const QString &path)
{
    m_engine.setFavoritesFile(path);
}

void Favorites::reportLoad(const platform::Status &status)
{
    if (!status)
        m_form.log(QStringLiteral("Cannot open file ") + fileName());
}

bool Favorites::ensureLoaded()
{
    // A change made before the favorites were ever read in this run must keep the lines
    // already in the file.
    const platform::Status status = m_engine.ensureFavoritesLoaded();
    reportLoad(status);
    return status.hasValue();
}

bool Favorites::save()
{
    const platform::Status status = m_engine.saveFavorites();
    if (!status) {
        message(QMessageBox::Critical, QStringLiteral("Cannot create file %1").arg(fileName()));
        return false;
    }
    return true;
}

void Favorites::showFavorites()
{
    const bool wasShowing = m_form.currentPage() == ServerPage::Favorites && !m_favoritesJustShown;
    m_favoritesJustShown = false;
    const orv::engine::ServerListModel *view = &m_engine.view(ServerPage::Favorites);
    auto showPage = [this] {
        if (m_form.currentPage() != ServerPage::Favorites || m_engine.currentPage() != ServerPage::Favorites)
            m_form.changePage(ServerPage::Favorites);
    };

    if (!wasShowing && view->size() > 0) {
        showPage();
        return;
    }
    reportLoad(m_engine.loadFavorites());
    showPage();
    const AddressList &favorites = m_engine.favorites();
    if (view->size() > 0 && view->size() == favorites.size())
        return;
    if (favorites.isEmpty()) {
        // Nothing left to show: rows of servers that are no longer favorites go.
        m_engine.RebuildList(ServerPage::Favorites);
        m_engine.clearRows(ServerPage::Favorites);
        m_form.clearPlayers();
        return;
    }
    m_engine.RebuildList(ServerPage::Favorites);
}

void Favorites::addSelected()
{
    const ServerPage page = m_form.currentPage();
    if (page == ServerPage::Favorites)
        return;
    const orv::engine::ServerListModel &view = m_engine.view(page);
    const int row = m_form.currentRow();
    if (row < 0 || row >= view.size())
        return;
    ServerEntry entry = view.row(row);
    const AddressWords server = entry.words();

    ensureLoaded();
    if (m_engine.isFavorite(server)) {
        message(QMessageBox::Critical, kExists);
        return;
    }
    // Only a server that came from this page's address list is taken.
    bool listed = false;
    for (const QString &line : m_engine.addresses(page).lines()) {
        if (AddressList::parseLine(line).address == server.address) {
            listed = true;
            break;
        }
    }
    if (!listed || !isWritable(server))
        return;

    m_engine.setFavoriteMark(page, row, true);
    m_engine.addFavorite(server);
    save();
    entry.icon = orv::engine::withFavoriteMark(entry.icon, true);
    m_engine.appendRow(ServerPage::Favorites, std::move(entry));
    m_form.updateActions();
}

void Favorites::deleteSelected()
{
    const ServerPage page = m_form.currentPage();
    const orv::engine::ServerListModel &pageView = m_engine.view(page);
    const int row = m_form.currentRow();
    if (row < 0 || row >= pageView.size())
        return;
    const AddressWords server = pageView.row(row).words();

    ensureLoaded();
    const AddressList &favorites = m_engine.favorites();
    // The game port is not compared: a server whose game port changed is still found.
    qsizetype match = -1;
    for (qsizetype i = 0; i < favorites.size(); ++i) {
        const QString &line = favorites.lines().at(i);
        if (line.isEmpty())
            continue;
        const AddressWords words = AddressList::parseLine(line);
        if (words.address == server.address && words.queryPort == server.queryPort) {
            match = i;
            break;
        }
    }
    if (match < 0)
        return;

    m_engine.setFavoriteMark(page, row, false);
    m_engine.removeFavoriteAt(match);
    save();

    if (page == ServerPage::Favorites) {
        for (ServerPage other : {ServerPage::Internet, ServerPage::Local}) {
            const orv::engine::ServerListModel &view = m_engine.view(other);
            for (int i = 0; i < view.size(); ++i) {
                const ServerEntry &candidate = view.row(i);
                if (candidate.icon > 4 && candidate.words() == server)
                    m_engine.setFavoriteMark(other, i, false);
            }
        }
        m_engine.removeRow(page, row);
        m_form.clearPlayers();
    }
    m_form.updateActions();
}

int Favorites::addByPing(int pingClass)
{
    const ServerPage page = m_form.currentPage();
    const orv::engine::ServerListModel *view = &m_engine.view(page);
    if (view->size() == 0) {
        message(QMessageBox::Critical, QStringLiteral("Nothing to add to favorites!"));
        return 0;
    }
    ensureLoaded();
    QSet<QString> known;
    for (const QString &line : m_engine.favorites().lines()) {
        if (AddressList::isServerLine(line))
            known.insert(AddressList::parseLine(line).toLine());
    }

    int added = 0;
    for (int i = 0; i < view->size(); ++i) {
        const ServerEntry &row = view->row(i);
        if (row.icon != pingClass)
            continue;
        const AddressWords server = row.words();
        const QString line = server.toLine();
        if (known.contains(line) || !isWritable(server))
            continue;
        m_engine.setFavoriteMark(page, i, true);
        m_engine.addFavorite(server);
        known.insert(line);
        ++added;
    }
    // One write for the whole batch; the file ends the same as after a write per server.
    if (added > 0 && !save())
        return added;
    message(QMessageBox::Information, QStringLiteral("Added") + QLatin1Char(' ') + QString::number(added) +
                                          QLatin1Char(' ') + QStringLiteral("servers to favorite list."));
    m_form.updateActions();
    return added;
}

std::optional<AddressWords> Favorites::askCustomServer()
{
    if (m_customDialog)
        return m_customDialog();
    if (!m_addForm) {
        m_addForm = new TAddForm(&m_form);
        connect(m_addForm, &TAddForm::clickSound, this, &Favorites::clickSound);
    }
    if (m_addForm->exec() != QDialog::Accepted)
        return std::nullopt;
    return AddressWords{m_addForm->Address()->text().trimmed(), m_addForm->Port1()->text().trimmed(),
                        m_addForm->Port2()->text().trimmed()};
}

void Favorites::addCustom()
{
    const std::optional<AddressWords> server = askCustomServer();
    if (!server)
        return;
    if (!isWritable(*server)) {
        m_form.log(QStringLiteral("Not a server address: ") + server->toLine());
        return;
    }
    ensureLoaded();
    if (m_engine.isFavorite(*server)) {
        message(QMessageBox::Critical, kExists);
        return;
    }
    m_engine.stopRefresh();
    m_engine.addFavorite(*server);
    if (!save())
        return;
    // As if the "Favorites" button were pressed: its click sound, then the command.
    m_form.clickCommand(MainAction::Favorites);
}

void Favorites::clearAll()
{
    m_engine.stopRefresh();
    m_engine.clearFavorites();
    m_engine.clearRows(ServerPage::Favorites);
    if (m_form.currentPage() == ServerPage::Favorites)
        m_form.clearPlayers();
    save();
    // The rebuild of the empty list drops the rows a filter hid; they belong to the
    // current page, so only the Favorites page's are dropped.
    if (m_engine.currentPage() == ServerPage::Favorites)
        m_engine.RebuildList(ServerPage::Favorites);
    m_form.updateActions();
}

} // namespace orv::frontend
