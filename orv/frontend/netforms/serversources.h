// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

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
// the call and downloads with the wait window; DiscoverLocal runs the beacon broadcast with
// the current options. Owns the downloader, so other windows (the clans directory) can
// download through it too.
class ServerSources : public QObject
{
    Q_OBJECT

public:
    ServerSources(engine::QueryEngine &engine, TOptionsForm &options, TServersForm &servers,
                  QWidget *dialogParent = nullptr, QObject *parent = nullptr);
    ~ServerSources() override;

    net::BuildOutcome BuildInternetList();
    void DiscoverLocal();

    net::FileDownloader &downloader() { return m_downloader; }
    net::InternetListBuilder &builder() { return m_builder; }
    net::LocalDiscovery &discovery() { return m_discovery; }
    TWhatListForm *whatListForm() const { return m_whatList; }
    TmyWEBWaitForm *waitForm() const { return m_wait; }
    bool isDownloadBusy() const { return m_downloader.isBusy(); }

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
};

} // namespace orv::frontend
