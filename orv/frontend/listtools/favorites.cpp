// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/frontend/listtools/favorites.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QTimer>

#include "orv/engine/queryengine.h"
#include "orv/engine/serverentry.h"
#include "orv/frontend/netforms/addform.h"
#include "orv/frontend/mainwindow/mainform.h"
#include "orv/frontend/mainwindow/playersmodel.h"
#include "orv/frontend/mainwindow/serverview.h"
#include "platform/paths.h"

using orv::engine::AddressList;
using orv::engine::ServerAddress;
using orv::engine::ServerEntry;
using orv::engine::ServerPage;

namespace orv::frontend {

namespace {

constexpr int kMark = orv::engine::kFavoriteIconOffset;

int withMark(int icon)
{
    return icon >= 0 && icon < kMark ? icon + kMark : icon;
}

int withoutMark(int icon)
{
    return icon >= kMark && icon < 2 * kMark ? icon - kMark : icon;
}

// A favorites line holds three blank-separated words; a word that is empty or holds a
// blank would shift the words of the line, so such a server is not written.
bool isWritable(const ServerAddress &server)
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
    , m_fileName(QDir(platform::paths::programFolder()).filePath(QStringLiteral("favorites.lst")))
    , m_shownPage(form.currentPage())
{
    connect(&form, &TMainForm::pageChanged, this, &Favorites::notePageShown);
    auto on = [this](MainAction command, auto &&work) {
        connect(m_form.action(command), &QAction::triggered, this, std::forward<decltype(work)>(work));
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

bool Favorites::loadFile()
{
    auto loaded = AddressList::load(m_fileName);
    if (!loaded) {
        m_form.log(QStringLiteral("Cannot open file ") + m_fileName);
        return false;
    }
    m_engine.favorites() = std::move(loaded.value());
    m_loaded = true;
    return true;
}

void Favorites::ensureLoaded()
{
    // A change made before the favorites were ever read in this run must keep the lines
    // already in the file.
    if (m_loaded)
        return;
    if (m_engine.favorites().isEmpty() && QFileInfo::exists(m_fileName))
        loadFile();
    m_loaded = true;
}

bool Favorites::save()
{
    const platform::Status status = m_engine.favorites().save(m_fileName);
    if (!status) {
        message(QMessageBox::Critical, QStringLiteral("Cannot create file %1").arg(m_fileName));
        return false;
    }
    return true;
}

void Favorites::showFavorites()
{
    const bool wasShowing = m_form.currentPage() == ServerPage::Favorites && !m_favoritesJustShown;
    m_favoritesJustShown = false;
    orv::engine::ServerListModel *view = m_engine.list(ServerPage::Favorites).view;
    auto showPage = [this] {
        if (m_form.currentPage() != ServerPage::Favorites || m_engine.currentPage() != ServerPage::Favorites)
            m_form.changePage(ServerPage::Favorites);
    };

    if (!wasShowing && view->size() > 0) {
        showPage();
        return;
    }
    if (QFileInfo::exists(m_fileName))
        loadFile();
    m_loaded = true;
    showPage();
    AddressList &favorites = m_engine.favorites();
    if (view->size() > 0 && view->size() == favorites.size())
        return;
    if (favorites.isEmpty()) {
        // Nothing left to show: rows of servers that are no longer favorites go.
        m_engine.RebuildList(favorites);
        view->clear();
        m_form.playersModel()->clear();
        return;
    }
    m_engine.RebuildList(favorites);
}

void Favorites::addSelected()
{
    const ServerPage page = m_form.currentPage();
    if (page == ServerPage::Favorites)
        return;
    orv::engine::ServerList &list = m_engine.list(page);
    const int row = m_form.currentView()->currentRow();
    if (row < 0 || row >= list.view->size())
        return;
    ServerEntry entry = list.view->row(row);
    const ServerAddress server = entry.server();

    ensureLoaded();
    AddressList &favorites = m_engine.favorites();
    if (favorites.FindAddress(server.address, server.gamePort, server.queryPort)) {
        message(QMessageBox::Critical, kExists);
        return;
    }
    // Only a server that came from this page's address list is taken.
    bool listed = false;
    for (const QString &line : list.addresses.lines()) {
        if (AddressList::parseLine(line).address == server.address) {
            listed = true;
            break;
        }
    }
    if (!listed || !isWritable(server))
        return;

    entry.icon = withMark(entry.icon);
    list.view->setRow(row, entry);
    favorites.append(server.toLine());
    save();
    m_engine.list(ServerPage::Favorites).view->appendRow(std::move(entry));
    m_form.updateActions();
}

void Favorites::deleteSelected()
{
    const ServerPage page = m_form.currentPage();
    orv::engine::ServerList &list = m_engine.list(page);
    const int row = m_form.currentView()->currentRow();
    if (row < 0 || row >= list.view->size())
        return;
    ServerEntry entry = list.view->row(row);
    const ServerAddress server = entry.server();

    ensureLoaded();
    AddressList &favorites = m_engine.favorites();
    // The game port is not compared: a server whose game port changed is still found.
    qsizetype match = -1;
    for (qsizetype i = 0; i < favorites.size(); ++i) {
        const QString &line = favorites.lines().at(i);
        if (line.isEmpty())
            continue;
        const ServerAddress words = AddressList::parseLine(line);
        if (words.address == server.address && words.queryPort == server.queryPort) {
            match = i;
            break;
        }
    }
    if (match < 0)
        return;

    entry.icon = withoutMark(entry.icon);
    list.view->setRow(row, entry);
    favorites.lines().removeAt(match);
    save();

    if (page == ServerPage::Favorites) {
        for (ServerPage other : {ServerPage::Internet, ServerPage::Local}) {
            orv::engine::ServerListModel *view = m_engine.list(other).view;
            for (int i = 0; i < view->size(); ++i) {
                const ServerEntry &candidate = view->row(i);
                if (candidate.icon > 4 && candidate.server() == server) {
                    ServerEntry lowered = candidate;
                    lowered.icon = withoutMark(lowered.icon);
                    view->setRow(i, std::move(lowered));
                }
            }
        }
        list.view->removeRowAt(row);
        m_form.playersModel()->clear();
    }
    m_form.updateActions();
}

int Favorites::addByPing(int pingClass)
{
    const ServerPage page = m_form.currentPage();
    orv::engine::ServerListModel *view = m_engine.list(page).view;
    if (view->size() == 0) {
        message(QMessageBox::Critical, QStringLiteral("Nothing to add to favorites!"));
        return 0;
    }
    ensureLoaded();
    AddressList &favorites = m_engine.favorites();
    QSet<QString> known;
    for (const QString &line : favorites.lines()) {
        if (AddressList::isServerLine(line))
            known.insert(AddressList::parseLine(line).toLine());
    }

    int added = 0;
    for (int i = 0; i < view->size(); ++i) {
        const ServerEntry &row = view->row(i);
        if (row.icon != pingClass)
            continue;
        const ServerAddress server = row.server();
        const QString line = server.toLine();
        if (known.contains(line) || !isWritable(server))
            continue;
        ServerEntry marked = row;
        marked.icon = withMark(marked.icon);
        view->setRow(i, std::move(marked));
        favorites.append(line);
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

std::optional<ServerAddress> Favorites::askCustomServer()
{
    if (m_customDialog)
        return m_customDialog();
    if (!m_addForm)
        m_addForm = new TAddForm(&m_form);
    if (m_addForm->exec() != QDialog::Accepted)
        return std::nullopt;
    return ServerAddress{m_addForm->Address()->text().trimmed(), m_addForm->Port1()->text().trimmed(),
                         m_addForm->Port2()->text().trimmed()};
}

void Favorites::addCustom()
{
    const std::optional<ServerAddress> server = askCustomServer();
    if (!server)
        return;
    if (!isWritable(*server)) {
        m_form.log(QStringLiteral("Not a server address: ") + server->toLine());
        return;
    }
    ensureLoaded();
    AddressList &favorites = m_engine.favorites();
    if (favorites.FindAddress(server->address, server->gamePort, server->queryPort)) {
        message(QMessageBox::Critical, kExists);
        return;
    }
    m_engine.stopRefresh();
    favorites.append(server->toLine());
    if (!save())
        return;
    // As if the "Favorites" button were pressed: its click sound, then the command.
    if (QPushButton *button = m_form.commandButton(MainAction::Favorites))
        button->click();
    else
        m_form.action(MainAction::Favorites)->trigger();
}

void Favorites::clearAll()
{
    m_engine.stopRefresh();
    m_engine.favorites().clear();
    m_loaded = true;
    m_engine.list(ServerPage::Favorites).view->clear();
    if (m_form.currentPage() == ServerPage::Favorites)
        m_form.playersModel()->clear();
    save();
    // The rebuild of the empty list drops the rows a filter hid; they belong to the
    // current page, so only the Favorites page's are dropped.
    if (m_engine.currentPage() == ServerPage::Favorites)
        m_engine.RebuildList(m_engine.favorites());
    m_form.updateActions();
}

} // namespace orv::frontend
