// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/frontend/mainwindow/mainformstorage.h"

#include <QTreeView>

#include "orv/frontend/formstorage/formstorage.h"
#include "orv/frontend/formstorage/storedproperties.h"
#include "orv/frontend/mainwindow/mainform.h"
#include "orv/frontend/mainwindow/serverview.h"

namespace orv::frontend {

namespace {

// A collection property of the view's report, reached through the ServerView that holds it.
PropertyBinding forwardedToReport(const PropertyBinding &inner)
{
    auto report = [](const QObject *o) -> QObject * {
        const auto *view = qobject_cast<const ServerView *>(o);
        return view ? view->report() : nullptr;
    };
    CollectionBinding b;
    const CollectionBinding c = inner.collection;
    b.count = [c, report](const QObject *o) { return report(o) ? c.count(report(o)) : 0; };
    // The engine's lists have a fixed set of 26 columns: a stored count that differs
    // cannot add or remove any, so the item properties are applied to the columns there are.
    b.recreate = [](QObject *, int) {};
    for (const CollectionItemBinding &item : c.itemProperties) {
        CollectionItemBinding forwarded = item;
        forwarded.get = [item, report](const QObject *o, int i) {
            return report(o) ? item.get(report(o), i) : QVariant();
        };
        forwarded.set = [item, report](QObject *o, int i, const QVariant &v) {
            if (QObject *target = report(o))
                item.set(target, i, v);
        };
        b.itemProperties.append(forwarded);
    }
    return PropertyBinding::ofCollection(b);
}

} // namespace

std::shared_ptr<const PropertyTable> mainFormPropertyTable()
{
    auto table = std::make_shared<PropertyTable>(PropertyTable::standard());
    QTreeView probe;
    if (const PropertyBinding *columns = table->find(&probe, u"Columns"))
        table->add(ServerView::staticMetaObject.className(), QStringLiteral("Columns"), forwardedToReport(*columns));
    table->add(PlayersPanel::staticMetaObject.className(), QStringLiteral("Height"),
               PropertyBinding::ofScalar(ScalarBinding{
                   ScalarFormat::integer(),
                   [](const QObject *o) { return QVariant(static_cast<const PlayersPanel *>(o)->panelHeight()); },
                   [](QObject *o, const QVariant &v) { static_cast<PlayersPanel *>(o)->setPanelHeight(v.toInt()); }}));
    return table;
}

MainFormStorages attachMainFormStorages(TMainForm &form, platform::RegistryStore &store)
{
    const auto table = mainFormPropertyTable();
    MainFormStorages storages;

    // Declared first on the window, so it loads second and saves last.
    storages.storage2 = new TFormStorage(&form, store);
    storages.storage2->setObjectName(QStringLiteral("FormStorage2"));
    storages.storage2->setIniSection(QStringLiteral("Main form state\\"));
    storages.storage2->setOptions(TPlacementOption::fpState | TPlacementOption::fpPosition);
    storages.storage2->setPropertyTable(table);
    storages.storage2->setStoredProps({QStringLiteral("InternetList.Columns"), QStringLiteral("FavoritesList.Columns"),
                                       QStringLiteral("LocalList.Columns")});

    storages.storage1 = new TFormStorage(&form, store);
    storages.storage1->setObjectName(QStringLiteral("FormStorage1"));
    storages.storage1->setIniSection(QStringLiteral("Main form state"));
    storages.storage1->setOptions({});
    storages.storage1->setPropertyTable(table);
    storages.storage1->setStoredProps({
        QStringLiteral("PlayersList.ViewStyle"),
        QStringLiteral("PlayersPanel.Height"),
        QStringLiteral("InternetList.SmallImages"),
        QStringLiteral("InternetList.LargeImages"),
        QStringLiteral("LocalList.LargeImages"),
        QStringLiteral("LocalList.SmallImages"),
        QStringLiteral("FavoritesList.SmallImages"),
        QStringLiteral("FavoritesList.LargeImages"),
        QStringLiteral("InternetList.Tag"),
        QStringLiteral("LocalList.Tag"),
        QStringLiteral("FavoritesList.Tag"),
        QStringLiteral("InternetList.Font"),
        QStringLiteral("LocalList.Font"),
        QStringLiteral("FavoritesList.Font"),
        QStringLiteral("PlayersList.Font"),
        QStringLiteral("Reiterativefilter1.Checked"),
    });

    TFormStorage *storage1 = storages.storage1;
    // Only settings that load can make a first run: when they cannot be read, the welcome
    // and the disk search would come back at every start, their answers never kept.
    form.setFirstRun(false);
    QObject::connect(storages.storage2, &TFormStorage::OnRestorePlacement, &form, [&form, storage1] {
        // "NewOptions" is exactly "true" only until the first start has passed.
        const auto value = storage1->ReadValue(QStringLiteral("NewOptions"), QStringLiteral("true"));
        const bool firstRun = value && *value == QLatin1String("true");
        form.setFirstRun(firstRun);
        if (firstRun)
            (void)storage1->WriteValue(QStringLiteral("NewOptions"), QStringLiteral("false"));
        form.applyStoredSortColumns();
    });
    return storages;
}

} // namespace orv::frontend
