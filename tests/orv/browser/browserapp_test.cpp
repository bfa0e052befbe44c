// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "orv/browser/browserapp.h"
#include "orv/demo/demonetwork.h"
#include "orv/engine/serverlistmodel.h"
#include "orv/frontend/mainwindow/serverview.h"
#include "orv/frontend/netforms/optionsform.h"
#include "platform/paths.h"
#include "tests/support/testpaths.h"

using orv::browser::BrowserApp;
using orv::engine::ServerPage;
using orv::frontend::MainAction;

namespace {

// The settings of a user whose master lists are the demo network's and whose browser opens
// the Internet page by itself: no first-run question, no sounds, no pings.
QByteArray demoProfile(const orv::demo::DemoNetwork &network)
{
    return "REGEDIT4\r\n\r\n"
           "[HKEY_CURRENT_USER\\SOFTWARE\\Orvane\\Main form state]\r\n"
           "\"NewOptions\"=\"false\"\r\n\r\n"
           "[HKEY_CURRENT_USER\\SOFTWARE\\Orvane\\Main options]\r\n"
           "\"AutoOpen_ItemIndex\"=\"1\"\r\n"
           "\"Reloadlist_ItemIndex\"=\"0\"\r\n"
           "\"Merge_ItemIndex\"=\"0\"\r\n"
           "\"UseSounds_Checked\"=\"false\"\r\n"
           "\"UsePing_Checked\"=\"false\"\r\n\r\n"
           "[HKEY_CURRENT_USER\\SOFTWARE\\Orvane\\Servers list\\.UServersList_Items]\r\n"
           "\"Count\"=\"1\"\r\n"
           "\"Item0\"=\"" +
           network.unrealListUrl().toEncoded() +
           "\"\r\n\r\n"
           "[HKEY_CURRENT_USER\\SOFTWARE\\Orvane\\Servers list\\.UTServersList_Items]\r\n"
           "\"Count\"=\"1\"\r\n"
           "\"Item0\"=\"" +
           network.utListUrl().toEncoded() +
           "\"\r\n\r\n"
           "[HKEY_CURRENT_USER\\SOFTWARE\\Orvane\\Servers list\\TServersFormUServersList]\r\n"
           "\"Count\"=\"1\"\r\n"
           "\"Item0\"=\"1\"\r\n\r\n"
           "[HKEY_CURRENT_USER\\SOFTWARE\\Orvane\\Servers list\\TServersFormUTServersList]\r\n"
           "\"Count\"=\"1\"\r\n"
           "\"Item0\"=\"1\"\r\n";
}

int answeredRows(const orv::frontend::TMainForm &form)
{
    const auto *model = qobject_cast<const orv::engine::ServerListModel *>(form.view(ServerPage::Internet)->model());
    int answered = 0;
    for (int row = 0; model && row < model->size(); ++row)
        answered += model->row(row).isAnswered() ? 1 : 0;
    return answered;
}

} // namespace

// The program as main() builds it: the Internet page opens by itself, fills from the demo
// network's master lists and refreshes. Options changed in the general options window
// while it stays open count from the next server on: pinging switched on, a longer
// time-out for the close. Exit in the middle of that refresh waits once, that time-out,
// and ends the program once; every window closes.
TEST(BrowserApp, OpensTheInternetPageAndExitsOnceDuringARefresh)
{
    orv::demo::DemoNetwork network;
    orv::demo::DemoNetworkOptions options;
    options.servers = 12;
    // An address range of its own, so suites running side by side never bind the same port.
    options.firstAddress = QHostAddress(QStringLiteral("127.0.21.2"));
    options.beacons = false;
    options.churnIntervalMs = 0;
    QString error;
    ASSERT_TRUE(network.start(options, &error)) << error.toStdString();
    ASSERT_TRUE(testsupport::writeFile(QDir(platform::paths::configFolder()).filePath("HKEY_CURRENT_USER.reg"),
                                       demoProfile(network)));

    BrowserApp browser;
    orv::frontend::TMainForm &form = browser.mainForm();
    QSignalSpy finished(&browser, &BrowserApp::finished);

    QList<int> closeWaits;
    form.setCloseWait([&closeWaits](int milliseconds) { closeWaits.append(milliseconds); });
    QStringList pings;
    QObject::connect(&browser.engine(), &orv::engine::QueryEngine::logLine, &form, [&pings](const QString &line) {
        static const QRegularExpression ping(QStringLiteral("^Host:\\S+ Ping=(\\d+)$"));
        if (const auto match = ping.match(line); match.hasMatch())
            pings.append(match.captured(1));
    });

    // The refresh runs inside the command that started it, so the checks ride on a timer
    // that fires within it.
    int answeredAtChange = 0;
    qsizetype pingsAtChange = 0;
    int answeredAtExit = 0;
    bool refreshingAtExit = false;
    QTimer watch;
    watch.setInterval(20);
    QObject::connect(&watch, &QTimer::timeout, &form, [&] {
        const int answered = answeredRows(form);
        if (answered == 0)
            return;
        if (answeredAtChange == 0) {
            form.action(MainAction::GeneralOptions)->trigger();
            orv::frontend::TOptionsForm *options = nullptr;
            for (QWidget *window : QApplication::topLevelWidgets()) {
                if (auto *found = qobject_cast<orv::frontend::TOptionsForm *>(window))
                    options = found;
            }
            ASSERT_NE(options, nullptr);
            ASSERT_TRUE(options->isVisible());
            options->findChild<QCheckBox *>(QStringLiteral("UsePing"))->setChecked(true);
            auto *timeOut = options->findChild<QComboBox *>(QStringLiteral("InternetServTimeOut"));
            timeOut->setCurrentText(QStringLiteral("900"));
            answeredAtChange = answered;
            pingsAtChange = pings.size();
            return;
        }
        if (answered == answeredAtChange)
            return;
        watch.stop();
        answeredAtExit = answered;
        refreshingAtExit = browser.engine().isRefreshActive();
        form.action(MainAction::Exit)->trigger();
    });
    watch.start();
    browser.show();

    // A generous bound: the program must end at all, not fast.
    const bool ended = QTest::qWaitFor(
        [&] { return !finished.isEmpty() && !browser.engine().isRefreshActive(); }, 60000);
    ASSERT_TRUE(ended);
    // Whatever the unwinding refresh still delivers must not end the program a second time.
    QTest::qWait(300);
    EXPECT_EQ(finished.count(), 1);
    EXPECT_GT(answeredAtExit, answeredAtChange);
    EXPECT_TRUE(refreshingAtExit);
    EXPECT_EQ(closeWaits, QList<int>{900});
    // Before the change every answering server went unpinged; after it, each is pinged.
    ASSERT_GT(pingsAtChange, 0);
    ASSERT_GT(pings.size(), pingsAtChange);
    for (qsizetype i = 0; i < pings.size(); ++i)
        EXPECT_EQ(pings.at(i) == QStringLiteral("9999"), i < pingsAtChange) << i;
    EXPECT_FALSE(form.isVisible());
    for (const QWidget *window : QApplication::topLevelWidgets())
        EXPECT_FALSE(window->isVisible()) << window->objectName().toStdString();
}
