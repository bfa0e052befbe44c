// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

#include <QObject>

#include "orv/net/filedownloader.h"
#include "orv/net/internetlistbuilder.h"
#include "orv/net/localdiscovery.h"

namespace orv::engine {
class QueryEngine;
}

namespace orv::frontend {

class TOptionsForm;
class TServersForm;
class TWhatListForm;
class TmyWEBWaitForm;

// Where the Internet and Local lists come from, for the main window's page commands:
// BuildInternetList reads the options and URL lists from their windows at the moment of
// the call and downloads every master source at once with the wait window; DiscoverLocal
// runs the beacon broadcast with the current options. Both return at once and call their
// done function when through. Owns the downloader, so other windows (the clans directory)
// can download through it too.
class ServerSources : public QObject
{
    Q_OBJECT

public:
    ServerSources(engine::QueryEngine &engine, TOptionsForm &options, TServersForm &servers,
                  QWidget *dialogParent = nullptr, QObject *parent = nullptr);
    ~ServerSources() override;

    // False (done is not called) while a build runs.
    bool BuildInternetList(std::function<void(net::BuildOutcome)> done = {});
    // False (done is not called) while a discovery runs.
    bool DiscoverLocal(std::function<void()> done = {});

    net::FileDownloader &downloader() { return m_downloader; }
    net::InternetListBuilder &builder() { return m_builder; }
    net::LocalDiscovery &discovery() { return m_discovery; }
    TWhatListForm *whatListForm() const { return m_whatList; }
    TmyWEBWaitForm *waitForm() const { return m_wait; }
    bool isDownloadBusy() const { return m_downloader.isBusy() || m_builder.isBuilding(); }

signals:
    void logLine(const QString &line);
    // A button of the list choice or the download wait window was clicked.
    void clickSound(const QString &name);

private:
    engine::QueryEngine &m_engine;
    TOptionsForm &m_options;
    TServersForm &m_servers;
    net::FileDownloader m_downloader;
    net::InternetListBuilder m_builder;
    net::LocalDiscovery m_discovery;
    TWhatListForm *m_whatList = nullptr;
    TmyWEBWaitForm *m_wait = nullptr;
    std::function<void()> m_localDone;
};

} // namespace orv::frontend
