// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/frontend/netforms/serversources.h"

#include <utility>

#include <QMessageBox>

#include "orv/engine/queryengine.h"
#include "orv/frontend/netforms/optionsform.h"
#include "orv/frontend/netforms/serversform.h"
#include "orv/frontend/netforms/webwaitform.h"
#include "orv/frontend/netforms/whatlistform.h"

namespace orv::frontend {

ServerSources::ServerSources(engine::QueryEngine &engine, TOptionsForm &options, TServersForm &servers,
                             QWidget *dialogParent, QObject *parent)
    : QObject(parent)
    , m_engine(engine)
    , m_options(options)
    , m_servers(servers)
    , m_builder(m_downloader)
    , m_discovery(engine)
    , m_whatList(new TWhatListForm(dialogParent))
    , m_wait(new TmyWEBWaitForm(dialogParent))
{
    m_wait->attach(m_downloader);
    m_wait->attach(m_builder.fetch());
    connect(m_wait, &TmyWEBWaitForm::clickSound, this, &ServerSources::clickSound);
    connect(m_whatList, &TWhatListForm::clickSound, this, &ServerSources::clickSound);
    connect(&m_downloader, &net::FileDownloader::logLine, this, &ServerSources::logLine);
    connect(&m_builder, &net::InternetListBuilder::logLine, this, &ServerSources::logLine);
    connect(&m_discovery, &net::LocalDiscovery::logLine, this, &ServerSources::logLine);
    connect(&m_discovery, &net::LocalDiscovery::finished, this, [this] {
        if (const auto done = std::exchange(m_localDone, {}))
            done();
    });
    // The refresh writes each server's reported game port into its row and the Internet
    // list; the saved list keeps it too.
    connect(&m_engine, &engine::QueryEngine::serverQueried, this, [this](const engine::ServerQuery &query, int row) {
        if (row >= 0 && m_engine.currentPage() == engine::ServerPage::Internet)
            m_builder.keepReportedPort(query.server, query.reportedPort);
    });
    m_builder.setChoiceAsker([this] { return m_whatList->ask(); });
    m_builder.setMessageShower([dialogParent](net::MessageKind kind, const QString &text) {
        if (kind == net::MessageKind::Warning)
            QMessageBox::warning(dialogParent, QStringLiteral("Warning"), text, QMessageBox::Ok);
        else
            QMessageBox::critical(dialogParent, QStringLiteral("Error"), text, QMessageBox::Ok);
    });
}

ServerSources::~ServerSources()
{
    // The windows were made without a parent when none was given.
    if (!m_whatList->parent())
        delete m_whatList;
    if (!m_wait->parent())
        delete m_wait;
}

bool ServerSources::BuildInternetList(std::function<void(net::BuildOutcome)> done)
{
    net::InternetListOptions options;
    options.reloadList = m_options.reloadList();
    options.merge = m_options.merge();
    options.proxy = m_options.proxySettings();
    options.unrealUrls = m_servers.unrealUrls();
    options.utUrls = m_servers.utUrls();
    // What the builder loaded becomes the Internet list, and a fresh download empties the
    // Internet view.
    return m_builder.BuildInternetList(
        options, [this, done = std::move(done)](net::BuildOutcome outcome, const engine::AddressList *loaded) {
            if (loaded)
                m_engine.setAddresses(engine::ServerPage::Internet, *loaded);
            if (outcome == net::BuildOutcome::Downloaded)
                m_engine.clearRows(engine::ServerPage::Internet);
            if (done)
                done(outcome);
        });
}

bool ServerSources::DiscoverLocal(std::function<void()> done)
{
    if (!m_discovery.DiscoverLocal())
        return false;
    m_localDone = std::move(done);
    return true;
}

} // namespace orv::frontend
