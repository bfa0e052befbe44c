// SPDX-License-Identifier: GPL-3.0-or-later
#include <memory>
#include <vector>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>
#include <QWidget>

#include <benchmark/benchmark.h>

#include "orv/frontend/formstorage/formstorage.h"
#include "platform/registrystore.h"
#include "platform/textfile.h"

using orv::frontend::TFormStorage;
using orv::frontend::TPlacementOption;

// Splitting the text of a large list file into lines.
static void BM_SplitLines(benchmark::State &state)
{
    QByteArray text;
    for (int i = 0; i < 100000; ++i)
        text += "203.0.113." + QByteArray::number(i % 250) + " 7777 7778\r\n";
    for (auto _ : state)
        benchmark::DoNotOptimize(platform::textfile::splitLines(text));
    state.SetBytesProcessed(state.iterations() * text.size());
}
BENCHMARK(BM_SplitLines)->Unit(benchmark::kMillisecond);

namespace {

// One storage of the browser's windows: section, options and stored properties as the
// windows declare them.
struct StorageSpec
{
    const char *section;
    bool active;
    QStringList props;
    QStringList checkLists;
};

struct WindowSpec
{
    const char *name;
    std::vector<StorageSpec> storages;
};

QStringList items(std::initializer_list<const char *> list)
{
    QStringList out;
    for (const char *s : list)
        out << QString::fromLatin1(s);
    return out;
}

// The browser's windows and their storages, with controls of the kinds the windows use.
std::vector<WindowSpec> browserWindows()
{
    return {
        {"TMainForm",
         {{"Main form state\\",
           true,
           items({"InternetList.Columns", "FavoritesList.Columns", "LocalList.Columns"}),
           {}},
          {"Main form state",
           true,
           items({"PlayersList.ViewStyle", "PlayersPanel.Height", "InternetList.SmallImages",
                  "InternetList.LargeImages", "LocalList.LargeImages", "LocalList.SmallImages",
                  "FavoritesList.SmallImages", "FavoritesList.LargeImages", "InternetList.Tag", "LocalList.Tag",
                  "FavoritesList.Tag", "InternetList.Font", "LocalList.Font", "FavoritesList.Font", "PlayersList.Font",
                  "Reiterativefilter1.Checked"}),
           {}}}},
        {"TOptionsForm",
         {{"Main options",
           true,
           items(
               {"AlwaysRefresh.Checked",  "AutoOpen.ItemIndex",    "BeaconPort.Text",        "InternetServTimeOut.Text",
                "LocalServTimeOut.Text",  "Reloadlist.ItemIndex",  "ServerBeaconPort.Text",  "WhenStart.ItemIndex",
                "ServerTry.Text",         "AllowNotfull.Checked",  "SmallImage.Checked",     "ServerTry.Enabled",
                "ContRefr.Checked",       "BeaconPort2.Text",      "BeaconSign1.Text",       "BeaconSign2.Text",
                "ServerBeaconPort2.Text", "ProxyEnabling.Checked", "ProxyPort.Enabled",      "ProxyPort.Text",
                "ProxyHost.Text",         "ProxyHost.Enabled",     "MinimizetoTray.Checked", "UsePing.Checked",
                "UseSounds.Checked",      "Merge.ItemIndex",       "SndSelect.Enabled"}),
           {}}}},
        {"TSoundsForm", {{"Main options", true, items({"Exit.Text", "Refresh.Text", "Startgame.Text"}), {}}}},
        {"TUnrealOptionsForm",
         {{"Uneral options\\",
           true,
           items({"NickName.Items", "NickName.Text", "GamePath1.Text", "GamePath2.Text", "GamePath3.Text",
                  "GamePath4.Text"}),
           {}},
          {"Players\\Player",
           true,
           items({"SkinClass.Text", "YourPass.Text", "YourSkin.Text", "YourTeam.Text", "SkinClassT.Text",
                  "YourSkinT.Text", "YourFaceT.Text", "Addcmd1.Text", "Addcmd2.Text", "ServerCmd1.Text",
                  "ServerCmd2.Text", "YourVoiceT.Text", "Image1.Tag", "Image2.Tag"}),
           {}}}},
        {"TServersForm",
         {{"Servers list", true,
           items({"AddText.Text", "Color95Button1.Down", "Color95Button2.Down", "Notebook1.PageIndex"}),
           items({"UServersList", "UTServersList"})},
          {"Servers list\\", false, items({"UServersList.Items", "UTServersList.Items"}), {}}}},
        {"TRepeatForm",
         {{"Repeat\\Default", true, items({"RepeatPresets.Items", "RepeatPresets.Text"}), {}},
          {"Repeat\\Default", true,
           items({"MinimizeWin.Checked", "AlertSound.Text", "Notice.Text", "PlayerPreset.Text", "Prg.Items",
                  "RepeatDelay.Value"}),
           items({"WhenRuleRight"})}}},
        {"TRepeatListForm", {{"Repeat\\List\\WinPos", true, {}, {}}}},
        {"TSReplaceFrom", {{"String Replacer\\", true, items({"UseinRepeat.Checked"}), {}}}},
        {"TINIForm", {{"INI editor", true, items({"CFullPath.Checked"}), {}}}},
        {"TFindForm", {{"Find form", true, items({"FindText.Text"}), {}}}},
        {"TDebugForm", {{"Debug windows", true, items({"SaveDialog1.FileName", "SaveDialog1.InitialDir"}), {}}}},
    };
}

QObject *makeControl(QWidget *form, const QString &component, const QString &property)
{
    if (QObject *existing = form->findChild<QObject *>(component))
        return existing;
    QObject *made = nullptr;
    if (component.endsWith(QStringLiteral("List")) && component != QStringLiteral("PlayersList")) {
        if (component.startsWith(QStringLiteral("U"))) {
            auto *list = new QListWidget(form);
            list->setProperty("CheckList", true);
            for (int i = 0; i < 12; ++i) {
                auto *item =
                    new QListWidgetItem(QStringLiteral("http://master%1.example.net/servers.txt").arg(i), list);
                item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
                item->setCheckState(i % 2 ? Qt::Checked : Qt::Unchecked);
            }
            made = list;
        } else {
            // The server lists: a caption column and 25 value columns.
            auto *tree = new QTreeWidget(form);
            QStringList captions;
            for (int i = 0; i < 26; ++i)
                captions << QStringLiteral("Column %1").arg(i);
            tree->setHeaderLabels(captions);
            made = tree;
        }
    } else if (property == QLatin1String("ViewStyle")) {
        made = new QTreeView(form);
    } else if (property == QLatin1String("Checked")) {
        made = new QCheckBox(form);
    } else if (property == QLatin1String("Down")) {
        auto *button = new QToolButton(form);
        button->setCheckable(true);
        made = button;
    } else if (property == QLatin1String("PageIndex")) {
        auto *pages = new QStackedWidget(form);
        pages->addWidget(new QWidget(pages));
        pages->addWidget(new QWidget(pages));
        made = pages;
    } else if (property == QLatin1String("Value")) {
        made = new QSpinBox(form);
    } else if (property == QLatin1String("ItemIndex") || property == QLatin1String("Items")) {
        if (component == QLatin1String("Prg")) {
            auto *edit = new QPlainTextEdit(form);
            QStringList lines;
            for (int i = 0; i < 15; ++i)
                lines << QStringLiteral("Players > %1 and Ping < 150").arg(i);
            edit->setPlainText(lines.join(u'\n'));
            made = edit;
        } else {
            auto *combo = new QComboBox(form);
            combo->setEditable(true);
            for (int i = 0; i < 10; ++i)
                combo->addItem(QStringLiteral("Entry %1").arg(i));
            made = combo;
        }
    } else if (property == QLatin1String("FileName") || property == QLatin1String("InitialDir")) {
        made = new QObject(form);
        made->setProperty("FileName", QStringLiteral("orvane.log"));
        made->setProperty("InitialDir", QStringLiteral("/home/player"));
    } else if (property == QLatin1String("Text") || property == QLatin1String("Enabled")) {
        made = new QLineEdit(QStringLiteral("value of ") + component, form);
    } else {
        made = new QWidget(form);
    }
    made->setObjectName(component);
    return made;
}

struct Browser
{
    std::vector<std::unique_ptr<QWidget>> windows;
    std::vector<TFormStorage *> storages;
};

Browser buildBrowser(platform::RegistryStore &store)
{
    Browser b;
    for (const WindowSpec &w : browserWindows()) {
        auto form = std::make_unique<QWidget>();
        form->setObjectName(QString::fromLatin1(w.name).mid(1));
        for (const StorageSpec &s : w.storages) {
            for (const QString &item : s.props)
                makeControl(form.get(), item.section(u'.', 0, 0), item.section(u'.', 1));
            auto *storage = new TFormStorage(form.get(), store);
            storage->setIniSection(QString::fromLatin1(s.section));
            storage->setActive(s.active);
            storage->setOptions(TPlacementOption::fpPosition);
            storage->setStoredProps(s.props);
            for (const QString &list : s.checkLists)
                storage->linkCheckList(form->findChild<QListWidget *>(list));
            (void)storage->LoadSettings();
            b.storages.push_back(storage);
        }
        b.windows.push_back(std::move(form));
    }
    return b;
}

int countValues(const platform::RegistryStore &store, const QString &key)
{
    int n = int(store.valueNames(key).size());
    for (const QString &sub : store.subKeyNames(key))
        n += countValues(store, key + u'\\' + sub);
    return n;
}

} // namespace

// Every window of the browser saves its storages inside one batch, as at program end:
// one lock and one file write for all values.
static void BM_SaveEveryWindowInOneBatch(benchmark::State &state)
{
    QTemporaryDir dir;
    platform::RegistryStore store(platform::RegistryRoot::CurrentUser, dir.filePath(QStringLiteral("hkcu.reg")));
    Browser browser = buildBrowser(store);
    for (auto _ : state) {
        platform::RegistryStore::Batch batch(store);
        for (TFormStorage *s : browser.storages)
            benchmark::DoNotOptimize(s->SaveSettings());
        benchmark::DoNotOptimize(batch.commit());
    }
    state.counters["values"] = countValues(store, QStringLiteral("SOFTWARE\\Orvane"));
}
BENCHMARK(BM_SaveEveryWindowInOneBatch)->Unit(benchmark::kMillisecond);

// The same, with each storage saving on its own (one file write per storage).
static void BM_SaveEveryWindowSeparately(benchmark::State &state)
{
    QTemporaryDir dir;
    platform::RegistryStore store(platform::RegistryRoot::CurrentUser, dir.filePath(QStringLiteral("hkcu.reg")));
    Browser browser = buildBrowser(store);
    for (auto _ : state)
        for (TFormStorage *s : browser.storages)
            benchmark::DoNotOptimize(s->SaveSettings());
    state.counters["values"] = countValues(store, QStringLiteral("SOFTWARE\\Orvane"));
}
BENCHMARK(BM_SaveEveryWindowSeparately)->Unit(benchmark::kMillisecond);

// The main window alone: two storages, three 26-column lists, four fonts.
static void BM_SaveMainWindow(benchmark::State &state)
{
    QTemporaryDir dir;
    platform::RegistryStore store(platform::RegistryRoot::CurrentUser, dir.filePath(QStringLiteral("hkcu.reg")));
    Browser browser = buildBrowser(store);
    for (auto _ : state) {
        platform::RegistryStore::Batch batch(store);
        benchmark::DoNotOptimize(browser.storages[0]->SaveSettings());
        benchmark::DoNotOptimize(browser.storages[1]->SaveSettings());
        benchmark::DoNotOptimize(batch.commit());
    }
    state.counters["values"] = countValues(store, QStringLiteral("SOFTWARE\\Orvane\\Main form state"));
}
BENCHMARK(BM_SaveMainWindow)->Unit(benchmark::kMillisecond);

// Loading every window's storages, each value read on its own as the windows do.
static void BM_LoadEveryWindow(benchmark::State &state)
{
    QTemporaryDir dir;
    platform::RegistryStore store(platform::RegistryRoot::CurrentUser, dir.filePath(QStringLiteral("hkcu.reg")));
    Browser browser = buildBrowser(store);
    {
        platform::RegistryStore::Batch batch(store);
        for (TFormStorage *s : browser.storages)
            (void)s->SaveSettings();
    }
    for (auto _ : state)
        for (TFormStorage *s : browser.storages)
            benchmark::DoNotOptimize(s->LoadSettings());
}
BENCHMARK(BM_LoadEveryWindow)->Unit(benchmark::kMillisecond);
