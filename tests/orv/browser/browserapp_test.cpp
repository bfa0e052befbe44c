// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSignalSpy>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QStyle>
#include <QSystemTrayIcon>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolTip>
#include <QTreeView>

#include <gtest/gtest.h>

#include "orv/browser/browserapp.h"
#include "orv/demo/demonetwork.h"
#include "orv/demo/fakegameserver.h"
#include "orv/engine/serverlistmodel.h"
#include "orv/frontend/gameforms/gameoptionsform.h"
#include "orv/frontend/mainwindow/aboutform.h"
#include "orv/frontend/mainwindow/debugform.h"
#include "orv/frontend/mainwindow/serverview.h"
#include "orv/frontend/mainwindow/soundbank.h"
#include "orv/frontend/netforms/addform.h"
#include "orv/frontend/netforms/optionsform.h"
#include "orv/frontend/netforms/serversform.h"
#include "orv/frontend/netforms/webwaitform.h"
#include "orv/frontend/netforms/whatlistform.h"
#include "orv/tools/ui/tiniform.h"
#include "platform/paths.h"
#include "tests/support/enginewait.h"
#include "tests/support/testpaths.h"

using orv::browser::BrowserApp;
using orv::engine::ServerPage;
using orv::frontend::MainAction;

namespace {

// The application-wide look, as main() prepares it once before the first browser.
void prepareApplicationOnce()
{
    static const bool prepared = [] {
        BrowserApp::prepareApplication(*qApp);
        return true;
    }();
    (void)prepared;
}

QString settingsFile()
{
    return QDir(platform::paths::configFolder()).filePath(QStringLiteral("HKEY_CURRENT_USER.reg"));
}

// A settings file: the demo user who has started before, with the given values written
// below "SOFTWARE\Orvane" (section, then "name=value" lines). The master lists hold one
// unchecked loopback address each, so nothing can reach a real master.
bool writeProfile(const QList<std::pair<QString, QStringList>> &sections)
{
    QByteArray text = "REGEDIT4\r\n";
    QList<std::pair<QString, QStringList>> all = {
        {QStringLiteral("Main form state"), {QStringLiteral("NewOptions=false")}},
        {QStringLiteral("Servers list\\.UServersList_Items"),
         {QStringLiteral("Count=1"), QStringLiteral("Item0=http://127.0.0.1:9/none.txt")}},
        {QStringLiteral("Servers list\\.UTServersList_Items"),
         {QStringLiteral("Count=1"), QStringLiteral("Item0=http://127.0.0.1:9/none.txt")}},
        {QStringLiteral("Servers list\\TServersFormUServersList"),
         {QStringLiteral("Count=1"), QStringLiteral("Item0=0")}},
        {QStringLiteral("Servers list\\TServersFormUTServersList"),
         {QStringLiteral("Count=1"), QStringLiteral("Item0=0")}},
    };
    all.append(sections);
    for (const auto &[section, values] : all) {
        text += "\r\n[HKEY_CURRENT_USER\\SOFTWARE\\Orvane\\" + section.toUtf8() + "]\r\n";
        for (const QString &value : values) {
            const qsizetype eq = value.indexOf(u'=');
            QString data = value.mid(eq + 1);
            data.replace(u'\\', QStringLiteral("\\\\"));
            text += "\"" + value.left(eq).toUtf8() + "\"=\"" + data.toUtf8() + "\"\r\n";
        }
    }
    return testsupport::writeFile(settingsFile(), text);
}

// Shows the browser and lets its start sequence (settings, skins) run.
void start(BrowserApp &browser)
{
    browser.show();
    QTest::qWait(100);
}

// Answers every modal window that comes up while it lives: message boxes with their
// default button (their texts are kept), anything else through the given handler.
class ModalAnswerer
{
public:
    explicit ModalAnswerer(std::function<void(QWidget *)> other = {})
        : m_other(std::move(other))
    {
        m_timer.setInterval(20);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            QWidget *modal = QApplication::activeModalWidget();
            if (!modal)
                return;
            if (auto *box = qobject_cast<QMessageBox *>(modal)) {
                texts.append(box->text());
                box->done(QMessageBox::Ok);
            } else if (m_other) {
                m_other(modal);
            } else {
                texts.append(modal->windowTitle());
                modal->close();
            }
        });
        m_timer.start();
    }

    QStringList texts;

private:
    std::function<void(QWidget *)> m_other;
    QTimer m_timer;
};

QPushButton *buttonCaptioned(const QWidget *window, const QString &caption)
{
    for (QPushButton *button : window->findChildren<QPushButton *>())
        if (button->text() == caption)
            return button;
    return nullptr;
}

QStringList fileNames(const QSignalSpy &spy)
{
    QStringList names;
    for (const QList<QVariant> &call : spy)
        names.append(QFileInfo(call.at(0).toString()).fileName());
    return names;
}

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
           "\"UsePing_Checked\"=\"false\"\r\n"
           // One server at a time, so the tests see a refresh in the middle of its run.
           "\"QueriesAtOnce_Text\"=\"1\"\r\n\r\n"
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
// while it stays open count from the next server on: pinging switched on. Exit in the
// middle of that refresh stops it at once and ends the program once; every window closes.
TEST(BrowserApp, OpensTheInternetPageAndExitsOnceDuringARefresh)
{
    prepareApplicationOnce();
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

    QStringList pings;
    QObject::connect(&browser.engine(), &orv::engine::QueryEngine::logLine, &form, [&pings](const QString &line) {
        static const QRegularExpression ping(QStringLiteral("^Host:\\S+ Ping=(\\d+)$"));
        if (const auto match = ping.match(line); match.hasMatch())
            pings.append(match.captured(1));
    });

    // The checks ride on a timer that fires while the refresh runs.
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
    const bool ended =
        QTest::qWaitFor([&] { return !finished.isEmpty() && !browser.engine().isRefreshActive(); }, 60000);
    ASSERT_TRUE(ended);
    // Whatever the unwinding refresh still delivers must not end the program a second time.
    QTest::qWait(300);
    EXPECT_EQ(finished.count(), 1);
    EXPECT_GT(answeredAtExit, answeredAtChange);
    EXPECT_TRUE(refreshingAtExit);
    // Before the change every answering server went unpinged; after it, each is pinged.
    ASSERT_GT(pingsAtChange, 0);
    ASSERT_GT(pings.size(), pingsAtChange);
    for (qsizetype i = 0; i < pings.size(); ++i)
        EXPECT_EQ(pings.at(i) == QStringLiteral("9999"), i < pingsAtChange) << i;
    EXPECT_FALSE(form.isVisible());
    for (const QWidget *window : QApplication::topLevelWidgets())
        EXPECT_FALSE(window->isVisible()) << window->objectName().toStdString();
}

// Clicks on the Internet list's column header, as the user makes them: the marker shows on
// "Ping" from the start; a click sorts by that column (descending first, as text), moves the
// marker and is taken in the middle of a refresh too, whose end keeps the chosen order.
TEST(BrowserApp, SortsByTheColumnWhoseHeaderIsClickedIdleAndDuringARefresh)
{
    prepareApplicationOnce();
    orv::demo::DemoNetwork network;
    orv::demo::DemoNetworkOptions options;
    options.servers = 12;
    options.firstAddress = QHostAddress(QStringLiteral("127.0.22.2"));
    options.beacons = false;
    options.churnIntervalMs = 0;
    QString error;
    ASSERT_TRUE(network.start(options, &error)) << error.toStdString();
    ASSERT_TRUE(testsupport::writeFile(settingsFile(), demoProfile(network)));

    BrowserApp browser;
    orv::frontend::TMainForm &form = browser.mainForm();
    orv::frontend::ServerView *view = form.view(ServerPage::Internet);
    QHeaderView *header = view->report()->header();
    const auto *model = qobject_cast<const orv::engine::ServerListModel *>(view->model());
    ASSERT_TRUE(model);
    auto clickHeader = [header](int column) {
        const QPoint centre(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                            header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, centre);
    };
    auto sortedDescending = [model](int column) {
        for (int row = 1; row < model->size(); ++row)
            if (model->row(row - 1).column(column).toUtf8() < model->row(row).column(column).toUtf8())
                return false;
        return true;
    };
    auto markerPixels = [header](int column) {
        const QImage image = header->viewport()->grab().toImage();
        int green = 0;
        for (int x = header->sectionViewportPosition(column);
             x < header->sectionViewportPosition(column) + header->sectionSize(column); ++x)
            for (int y = 0; y < image.height(); ++y)
                green += image.pixelColor(x, y) == QColor(0x32, 0xff, 0x32) ? 1 : 0;
        return green;
    };

    constexpr int kMap = 4;
    bool clickedDuringRefresh = false;
    bool sortedAtClick = false;
    int answeredAtClick = 0;
    QTimer watch;
    watch.setInterval(20);
    QObject::connect(&watch, &QTimer::timeout, &form, [&] {
        const int answered = answeredRows(form);
        if (answered < 2 || !browser.engine().isRefreshActive())
            return;
        watch.stop();
        answeredAtClick = answered;
        clickHeader(kMap);
        clickedDuringRefresh = browser.engine().isRefreshActive();
        sortedAtClick = sortedDescending(kMap);
    });
    watch.start();
    browser.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.action(MainAction::Log)->trigger();
    EXPECT_TRUE(header->sectionsClickable());
    EXPECT_EQ(header->sortIndicatorSection(), 1);
    EXPECT_GT(markerPixels(1), 0);

    ASSERT_TRUE(QTest::qWaitFor([&] { return answeredAtClick > 0 && !browser.engine().isRefreshActive(); }, 60000));
    EXPECT_TRUE(clickedDuringRefresh);
    EXPECT_TRUE(sortedAtClick);
    EXPECT_GT(answeredRows(form), answeredAtClick);
    EXPECT_TRUE(sortedDescending(kMap));
    EXPECT_EQ(header->sortIndicatorSection(), kMap);
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::DescendingOrder);
    QTest::qWait(50);
    EXPECT_EQ(markerPixels(1), 0);
    EXPECT_GT(markerPixels(kMap), 0);
    // The log shows the answers as they came, "Recived : 127.0.22.x >\\hostname\\…".
    const auto *log = form.findChild<orv::frontend::TDebugForm *>();
    ASSERT_TRUE(log);
    const QString shown = log->findChild<QTextBrowser *>()->toPlainText();
    EXPECT_TRUE(shown.contains(QRegularExpression(QStringLiteral(R"(Recived : 127\.0\.22\.\d+ >\\)"))))
        << log->lineCount() << " lines, the last: " << log->lines().mid(log->lineCount() - 5).join(u'\n').toStdString();
    EXPECT_FALSE(shown.contains(QStringLiteral("&gt;")));

    // Idle: the next click on the same column sorts ascending, a click on "Ping" flips again.
    clickHeader(kMap);
    QStringList maps;
    for (int row = 0; row < model->size(); ++row)
        maps.append(model->row(row).column(kMap));
    QStringList ascending = maps;
    std::sort(ascending.begin(), ascending.end(),
              [](const QString &a, const QString &b) { return a.toUtf8() < b.toUtf8(); });
    EXPECT_EQ(maps, ascending);
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::AscendingOrder);
    clickHeader(1);
    EXPECT_TRUE(sortedDescending(1));
    EXPECT_EQ(header->sortIndicatorSection(), 1);
    EXPECT_EQ(view->tag(), 1);
}

// What the user chose is there from the start, and what the windows keep comes back at the
// next start: small images off, the INI editor in the game's folder, the log window's
// place and save file; with no stored place the main window is centred.
TEST(BrowserApp, StartsWithWhatItStoredAndKeepsItForTheNextStart)
{
    prepareApplicationOnce();
    QTemporaryDir game;
    const QDir root(game.path());
    for (const char *file : {"System/Unreal.exe", "System/Unreal.ini", "System/User.ini"})
        ASSERT_TRUE(testsupport::writeFile(root.filePath(QString::fromLatin1(file)), "x"));
    ASSERT_TRUE(root.mkpath(QStringLiteral("Maps")));
    ASSERT_TRUE(writeProfile({{QStringLiteral("Main options"),
                               {QStringLiteral("AutoOpen_ItemIndex=0"), QStringLiteral("UseSounds_Checked=False"),
                                QStringLiteral("SmallImage_Checked=False")}},
                              {QStringLiteral("Uneral options"),
                               {QStringLiteral("GamePath1_Text=") + root.filePath("System/Unreal.exe")}}}));
    const QString savedLog = root.filePath(QStringLiteral("logs/session.txt"));
    {
        BrowserApp browser;
        orv::frontend::TMainForm &form = browser.mainForm();
        start(browser);
        const QRect screen = form.screen()->availableGeometry();
        // Centred up to the window frame, which is not known before the window shows.
        EXPECT_LE((form.frameGeometry().center() - screen.center()).manhattanLength(), 8);
        EXPECT_EQ(form.view(ServerPage::Internet)->report()->iconSize(), QSize(32, 32));

        form.action(MainAction::INIEd)->trigger();
        auto *ini = form.findChild<orv::tools::TINIForm *>();
        ASSERT_TRUE(ini && ini->isVisible());
        QStringList listed;
        for (int i = 0; i < ini->iniList()->count(); ++i)
            listed.append(ini->iniList()->item(i)->text());
        EXPECT_EQ(listed, QStringList({"Unreal.ini", "User.ini"}));
        EXPECT_EQ(QDir(ini->mapsFolder()), QDir(root.filePath(QStringLiteral("Maps"))));
        ini->close();

        form.action(MainAction::Log)->trigger();
        auto *log = form.findChild<orv::frontend::TDebugForm *>();
        ASSERT_TRUE(log && log->isVisible());
        log->move(123, 77);
        log->setSaveFileName(savedLog);
        log->setSaveInitialDir(QFileInfo(savedLog).absolutePath());
    }
    BrowserApp again;
    start(again);
    EXPECT_EQ(again.mainForm().view(ServerPage::Favorites)->report()->iconSize(), QSize(32, 32));
    again.mainForm().action(MainAction::Log)->trigger();
    auto *log = again.mainForm().findChild<orv::frontend::TDebugForm *>();
    ASSERT_TRUE(log && log->isVisible());
    EXPECT_EQ(log->pos(), QPoint(123, 77));
    EXPECT_EQ(log->saveFileName(), savedLog);
    EXPECT_EQ(log->saveInitialDir(), QFileInfo(savedLog).absolutePath());
}

// The sound the user chose for the end of a refresh in the tray, the click sounds of the
// smaller windows, and the about tune, which keeps quiet once sounds are switched off.
TEST(BrowserApp, PlaysTheSoundsTheUserChoseAndNoneWhenSoundsAreOff)
{
    prepareApplicationOnce();
    const QDir program(platform::paths::programFolder());
    const QString chosen = program.filePath(QStringLiteral("done.wav"));
    QFile::remove(chosen);
    ASSERT_TRUE(QFile::copy(QDir(platform::paths::shippedDataFolder()).filePath("whawhaw.wav"), chosen));
    // One favorite on loopback that never answers: the refresh of the page ends at once.
    ASSERT_TRUE(testsupport::writeFile(program.filePath(QStringLiteral("favorites.lst")), "127.0.23.2 7777 7778\r\n"));
    ASSERT_TRUE(writeProfile({{QStringLiteral("Main options"),
                               {QStringLiteral("AutoOpen_ItemIndex=0"), QStringLiteral("UseSounds_Checked=True"),
                                QStringLiteral("UsePing_Checked=False"), QStringLiteral("InternetServTimeOut_Text=200"),
                                QStringLiteral("Refresh_Text=") + chosen}}}));
    BrowserApp browser;
    orv::frontend::TMainForm &form = browser.mainForm();
    start(browser);
    QSignalSpy played(&browser.sounds(), &orv::frontend::SoundBank::started);

    auto *tray = form.findChild<QSystemTrayIcon *>(QStringLiteral("Tray"));
    ASSERT_TRUE(tray);
    tray->show();
    form.action(MainAction::Favorites)->trigger();
    EXPECT_TRUE(testsupport::waitForRefresh(browser.engine()));
    tray->hide();
    EXPECT_TRUE(fileNames(played).contains(QStringLiteral("done.wav"))) << fileNames(played).join(u' ').toStdString();
    EXPECT_FALSE(fileNames(played).contains(QStringLiteral("whawhaw.wav")));

    struct Click
    {
        QWidget *window;
        const char *caption;
        const char *sound;
    };
    auto *options = form.findChild<orv::frontend::TOptionsForm *>();
    ASSERT_TRUE(options);
    const Click clicks[] = {
        {form.findChild<orv::tools::TINIForm *>(), "Close", "select.wav"},
        {options, "Servers list font", "dropdown.wav"},
        {options, "Close", "select.wav"},
        {form.findChild<orv::frontend::TServersForm *>(), "Unreal Tournament", "confirm.wav"},
        {form.findChild<orv::frontend::TWhatListForm *>(), "Merge lists", "beep.wav"},
        {form.findChild<orv::frontend::TmyWEBWaitForm *>(), "Cancel", "shot.wav"},
    };
    // The font button's dialog is closed; the custom server dialog, which exists only while
    // the favorites ask for a server, is closed with its own button.
    ModalAnswerer answerer([](QWidget *modal) {
        if (qobject_cast<orv::frontend::TAddForm *>(modal))
            buttonCaptioned(modal, QStringLiteral("Close"))->click();
        else
            modal->close();
    });
    for (const Click &click : clicks) {
        SCOPED_TRACE(click.caption);
        ASSERT_TRUE(click.window);
        QPushButton *button = buttonCaptioned(click.window, QString::fromLatin1(click.caption));
        ASSERT_TRUE(button);
        played.clear();
        button->click();
        EXPECT_EQ(fileNames(played).value(0), QString::fromLatin1(click.sound));
    }
    played.clear();
    form.action(MainAction::AddCustomToFavorites)->trigger();
    EXPECT_EQ(fileNames(played), QStringList{QStringLiteral("select.wav")});

    auto *about = form.findChild<orv::frontend::TAboutForm *>();
    ASSERT_TRUE(about);
    played.clear();
    about->show();
    about->startCredits();
    EXPECT_EQ(played.count(), 1);
    about->close();
    auto *useSounds = options->findChild<QCheckBox *>(QStringLiteral("UseSounds"));
    ASSERT_TRUE(useSounds && useSounds->isChecked());
    useSounds->click();
    played.clear();
    about->show();
    about->startCredits();
    EXPECT_TRUE(about->isRollingCredits());
    EXPECT_EQ(played.count(), 0);
    about->close();
    QFile::remove(program.filePath(QStringLiteral("favorites.lst")));
}

// A settings file that cannot be read is shown to the user once; the program runs on
// without it, asks no first-run questions, and leaves the file as it is.
TEST(BrowserApp, ShowsASettingsFileItCannotReadOnceAndKeepsRunning)
{
    prepareApplicationOnce();
    const QString path = settingsFile();
    QFile::remove(path);
    // A folder where the file should be: nothing can read or replace it.
    ASSERT_TRUE(testsupport::writeFile(QDir(path).filePath(QStringLiteral("keep.txt")), "mine"));
    {
        ModalAnswerer answerer;
        BrowserApp browser;
        orv::frontend::TMainForm &form = browser.mainForm();
        start(browser);
        form.action(MainAction::GeneralOptions)->trigger();
        form.findChild<orv::frontend::TOptionsForm *>()->close();
        QTest::qWait(50);
        int boxes = 0;
        for (const QWidget *window : QApplication::topLevelWidgets()) {
            if (const auto *box = qobject_cast<const QMessageBox *>(window); box && box->isVisible()) {
                ++boxes;
                EXPECT_TRUE(box->text().contains(path)) << box->text().toStdString();
            }
        }
        EXPECT_EQ(boxes, 1);
        EXPECT_TRUE(answerer.texts.isEmpty()) << answerer.texts.join(u'|').toStdString();
        EXPECT_TRUE(form.isVisible());
        EXPECT_TRUE(browser.settingsProblems().boxShown());
    }
    EXPECT_TRUE(QFileInfo(path).isDir());
    EXPECT_EQ(testsupport::readFile(QDir(path).filePath(QStringLiteral("keep.txt"))), QByteArray("mine"));
    QDir(path).removeRecursively();
}

// "Load servers list from saved file" with a saved list that cannot be read: the error
// is shown and the Internet page stays closed.
TEST(BrowserApp, LeavesTheInternetPageClosedWhenTheSavedListCannotBeLoaded)
{
    prepareApplicationOnce();
    const QString cache = QDir(platform::paths::programFolder()).filePath(QStringLiteral("internet.lst"));
    QFile::remove(cache);
    ASSERT_TRUE(QDir().mkpath(cache));
    ASSERT_TRUE(writeProfile({{QStringLiteral("Main options"),
                               {QStringLiteral("AutoOpen_ItemIndex=0"), QStringLiteral("UseSounds_Checked=False"),
                                QStringLiteral("Reloadlist_ItemIndex=1")}}}));
    {
        BrowserApp browser;
        start(browser);
        ModalAnswerer answerer;
        browser.mainForm().action(MainAction::Internet)->trigger();
        ASSERT_EQ(answerer.texts.size(), 1);
        EXPECT_TRUE(answerer.texts.first().startsWith(QStringLiteral("Cannot open file")));
        EXPECT_EQ(browser.mainForm().modeText(), QStringLiteral("Not selected"));
    }
    QDir(cache).removeRecursively();
}

// On an 800 x 600 screen the game options show whole; a menu item's hint leaves the
// refresh progress in sight; hints are light blue, come soon and go after 3.5 seconds.
TEST(BrowserApp, FitsTheSmallestScreenAndShowsHintsTheWayTheDesignSays)
{
    prepareApplicationOnce();
    ASSERT_TRUE(writeProfile({{QStringLiteral("Main options"),
                               {QStringLiteral("AutoOpen_ItemIndex=0"), QStringLiteral("UseSounds_Checked=False")}}}));
    BrowserApp browser;
    orv::frontend::TMainForm &form = browser.mainForm();
    start(browser);

    form.action(MainAction::UnrealOptions)->trigger();
    auto *options = form.findChild<orv::frontend::TUnrealOptionsForm *>();
    ASSERT_TRUE(options && options->isVisible());
    EXPECT_LE(options->frameGeometry().width(), 800);
    EXPECT_LE(options->frameGeometry().height(), 600);
    EXPECT_TRUE(options->screen()->availableGeometry().contains(options->frameGeometry()));
    for (const char *caption : {"Close", "String Replacer", "Auto search path"}) {
        const QPushButton *button = buttonCaptioned(options, QString::fromLatin1(caption));
        ASSERT_TRUE(button);
        EXPECT_TRUE(options->rect().contains(QRect(button->mapTo(options, QPoint(0, 0)), button->size()))) << caption;
    }
    options->close();

    // The whole window on the screen, with every button of it inside the window: the game
    // options, the general options (one section per page), the INI editor (centred).
    const QRect available = form.screen()->availableGeometry();
    auto fits = [&available](QWidget *window, const QStringList &captions) {
        EXPECT_TRUE(available.contains(window->frameGeometry())) << window->objectName().toStdString();
        auto *pages = window->findChild<QTabWidget *>();
        for (const QString &caption : captions) {
            QPushButton *button = buttonCaptioned(window, caption);
            ASSERT_TRUE(button) << caption.toStdString();
            for (int page = 0; pages && !button->isVisible() && page < pages->count(); ++page)
                pages->setCurrentIndex(page);
            EXPECT_TRUE(button->isVisible()) << caption.toStdString();
            EXPECT_TRUE(window->rect().contains(QRect(button->mapTo(window, QPoint(0, 0)), button->size())))
                << caption.toStdString();
        }
    };
    form.action(MainAction::GeneralOptions)->trigger();
    auto *general = form.findChild<orv::frontend::TOptionsForm *>();
    ASSERT_TRUE(general && general->isVisible());
    fits(general, {QStringLiteral("Close"), QStringLiteral("Select, Delete, Add  server address"),
                   QStringLiteral("Servers list font"), QStringLiteral("Players list font"),
                   QStringLiteral("Export all settings")});
    general->close();
    form.action(MainAction::INIEd)->trigger();
    auto *ini = form.findChild<orv::tools::TINIForm *>();
    ASSERT_TRUE(ini && ini->isVisible());
    fits(ini, {QStringLiteral("Save INI"), QStringLiteral("Save INI as.."), QStringLiteral("Close"),
               QStringLiteral("Browse INI folder")});
    EXPECT_LE((ini->frameGeometry().center() - available.center()).manhattanLength(), 8);
    ini->close();
    EXPECT_TRUE(available.contains(form.frameGeometry()));
    EXPECT_TRUE(form.rect().contains(form.statusBar()->geometry()));

    // The list choice, asked when the Internet page opens, has room for its whole caption.
    int choiceWidth = 0;
    int captionWidth = 0;
    {
        ModalAnswerer answerer([&](QWidget *modal) {
            if (auto *choice = qobject_cast<orv::frontend::TWhatListForm *>(modal)) {
                choiceWidth = choice->width();
                captionWidth = choice->fontMetrics().horizontalAdvance(choice->windowTitle());
            }
            modal->close();
        });
        form.action(MainAction::Internet)->trigger();
        ASSERT_TRUE(QTest::qWaitFor([&] { return choiceWidth > 0; }, 5000));
    }
    EXPECT_GE(choiceWidth, captionWidth + 96);

    // Panel 0 shows the counts of a large list whole.
    const auto *progress = form.findChild<QLabel *>(QStringLiteral("StatusPanel0"));
    ASSERT_TRUE(progress);
    form.setStatusText(orv::frontend::StatusPanel::Progress, QStringLiteral("12086 of 15000"));
    QTest::qWait(20);
    EXPECT_GE(progress->contentsRect().width(), progress->fontMetrics().horizontalAdvance(progress->text()));

    form.setStatusText(orv::frontend::StatusPanel::Progress, QStringLiteral("3/12"));
    QStatusTipEvent tip(QStringLiteral("Show internet servers"));
    QApplication::sendEvent(&form, &tip);
    EXPECT_TRUE(form.statusBar()->currentMessage().isEmpty());
    EXPECT_TRUE(progress->isVisible());
    EXPECT_EQ(progress->text(), QStringLiteral("3/12"));

    EXPECT_EQ(QApplication::style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay), 100);
    // Window activation and focus changes hide a hint at once; let those of closing the
    // game options pass first.
    QTest::qWait(200);
    QPushButton *about = form.commandButton(MainAction::About);
    QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), about->mapToGlobal(QPoint(5, 5)));
    QElapsedTimer shown;
    shown.start();
    QApplication::sendEvent(about, &help);
    ASSERT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), QStringLiteral("Who createt the Orvane"));
    QWidget *tipLabel = nullptr;
    for (QWidget *window : QApplication::topLevelWidgets())
        if (window->inherits("QTipLabel") && window->isVisible())
            tipLabel = window;
    ASSERT_TRUE(tipLabel);
    const QImage picture = tipLabel->grab().toImage();
    EXPECT_EQ(picture.pixelColor(2, picture.height() / 2), QColor(0x93, 0x93, 0xff));
    // The toolkit's own time would be ten seconds for a hint this short.
    EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 9000));
    EXPECT_GE(shown.elapsed(), 3000);
}

namespace {

// A fake server on loopback for a link: the given game, reporting gamePortOffset from its
// query port as its game port.
std::unique_ptr<orv::demo::FakeGameServer> linkServer(const char *address, const QByteArray &game, int gamePortOffset,
                                                      bool dead = false)
{
    auto server = std::make_unique<orv::demo::FakeGameServer>();
    orv::demo::ServerBehaviour behaviour;
    behaviour.dead = dead;
    server->setBehaviour(behaviour);
    bool listening = false;
    for (int attempt = 0; attempt < 20 && !listening; ++attempt)
        listening = server->listen(QHostAddress(QString::fromLatin1(address)), 0);
    EXPECT_TRUE(listening);
    orv::demo::ServerDescription d;
    d.gameName = game;
    d.hostName = "Linked " + game;
    d.hostPort = server->queryPort() + gamePortOffset;
    server->setDescription(d);
    return server;
}

QString linkTo(const orv::demo::FakeGameServer &server, const QString &options = {})
{
    return QStringLiteral("unreal://%1:%2/%3")
        .arg(server.address().toString())
        .arg(server.queryPort() - 1)
        .arg(options);
}

// A game file that records the folder it runs in and its arguments.
QString recordingGame(const QString &path, const QString &record)
{
    EXPECT_TRUE(testsupport::writeFile(path, "#!/bin/sh\n{ pwd; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } > " +
                                                 QFile::encodeName(record) + ".tmp && mv " + QFile::encodeName(record) +
                                                 ".tmp " + QFile::encodeName(record) + "\n"));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return QFileInfo(path).absolutePath();
}

QStringList waitForRecord(const QString &record)
{
    for (int i = 0; i < 250 && !QFile::exists(record); ++i)
        QTest::qWait(20);
    return QString::fromUtf8(testsupport::readFile(record)).split(u'\n', Qt::SkipEmptyParts);
}

} // namespace

// "orv unreal://…" started for the link alone: the server tells its game and game port,
// and that game starts in its own folder with the default preset and the link's password;
// the UT game is the one set up, the Unreal one is found on the disk. The main window is
// never shown and nothing waits for an answer. A silent server and a bad link say why.
TEST(BrowserApp, FollowsServerLinksWithoutShowingTheWindow)
{
    prepareApplicationOnce();
    QTemporaryDir games;
    const QString utRecord = games.filePath("ut.txt");
    const QString unrealRecord = games.filePath("unreal.txt");
    const QString utFolder = recordingGame(games.filePath("UT/System64/ut-bin-amd64"), utRecord);
    const QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    const QString unrealFolder =
        recordingGame(dataHome + QStringLiteral("/OldUnreal/UnrealGold/System64/unreal-bin-amd64"), unrealRecord);
    ASSERT_TRUE(writeProfile({{QStringLiteral("Uneral options"),
                               {QStringLiteral("GamePath3_Text=") + games.filePath("UT/System64/ut-bin-amd64")}}}));

    auto ut = linkServer("127.0.23.2", "ut", 10);
    auto unreal = linkServer("127.0.23.3", "unreal", -1);
    auto silent = linkServer("127.0.23.4", "ut", -1, true);

    BrowserApp browser;
    QStringList messages;
    browser.setLinkMessageSink([&messages](const QString &message) { messages.append(message); });

    EXPECT_EQ(browser.openLink(linkTo(*ut, QStringLiteral("?password=s3cret")), false), 0);
    EXPECT_EQ(waitForRecord(utRecord),
              QStringList({utFolder, QStringLiteral("127.0.23.2?port=%1?Name=Player?Team=255?Password=s3cret")
                                         .arg(ut->queryPort() + 10)}));

    EXPECT_EQ(browser.openLink(linkTo(*unreal, QStringLiteral("index.unr")), false), 0);
    EXPECT_EQ(waitForRecord(unrealRecord),
              QStringList({unrealFolder,
                           QStringLiteral("127.0.23.3?port=%1?Name=Player?Team=255").arg(unreal->queryPort() - 1)}));
    EXPECT_TRUE(messages.isEmpty()) << messages.join(u'\n').toStdString();
    EXPECT_FALSE(browser.mainForm().isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    EXPECT_EQ(browser.openLink(linkTo(*silent), false), 1);
    EXPECT_EQ(browser.openLink(QStringLiteral("unreal://127.0.23.2:99999"), false), 1);
    ASSERT_EQ(messages.size(), 2);
    EXPECT_EQ(messages[0], QStringLiteral("The server 127.0.23.4:%1 does not answer.").arg(silent->queryPort() - 1));
    EXPECT_TRUE(messages[1].contains(QStringLiteral("is not a server link")));
}
