// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/frontend/netforms/serversources.h"

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
    connect(m_wait, &TmyWEBWaitForm::clickSound, this, &ServerSources::clickSound);
    connect(m_whatList, &TWhatListForm::clickSound, this, &ServerSources::clickSound);
    connect(&m_downloader, &net::FileDownloader::logLine, this, &ServerSources::logLine);
    connect(&m_builder, &net::InternetListBuilder::logLine, this, &ServerSources::logLine);
    connect(&m_discovery, &net::LocalDiscovery::logLine, this, &ServerSources::logLine);
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

net::BuildOutcome ServerSources::BuildInternetList()
{
    net::InternetListOptions options;
    options.reloadList = m_options.reloadList();
    options.merge = m_options.merge();
    options.proxy = m_options.proxySettings();
    options.unrealUrls = m_servers.unrealUrls();
    options.utUrls = m_servers.utUrls();
    // The builder works on a list of its own; what it loaded becomes the Internet list, and
    // a fresh download empties the Internet view.
    engine::ServerList internet;
    internet.addresses = m_engine.addresses(engine::ServerPage::Internet);
    const net::BuildOutcome outcome = m_builder.BuildInternetList(options, internet);
    m_engine.setAddresses(engine::ServerPage::Internet, std::move(internet.addresses));
    if (outcome == net::BuildOutcome::Downloaded)
        m_engine.clearRows(engine::ServerPage::Internet);
    return outcome;
}

void ServerSources::DiscoverLocal()
{
    m_discovery.DiscoverLocal();
}

} // namespace orv::frontend
