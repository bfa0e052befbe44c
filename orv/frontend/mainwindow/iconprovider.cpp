// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/frontend/mainwindow/iconprovider.h"

#include <QHash>
#include <QPainter>
#include <QSvgRenderer>

static void initOrvResources()
{
    Q_INIT_RESOURCE(orv);
}

namespace orv::frontend {

namespace {

const char *const kStateNames[] = {"row-good", "row-normal", "row-bad", "row-noping", "row-dead"};

QString resourcePath(const QString &name)
{
    return QStringLiteral(":/icons/") + name + QStringLiteral(".svg");
}

} // namespace

void IconProvider::initResources()
{
    initOrvResources();
}

QPixmap IconProvider::render(const QString &name, QSize size)
{
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QSvgRenderer renderer(resourcePath(name));
    if (renderer.isValid()) {
        QPainter painter(&pixmap);
        renderer.render(&painter);
    }
    return pixmap;
}

QPixmap IconProvider::rowPixmap(int index, int size)
{
    if (index == kDescendingMarker || index == kAscendingMarker)
        return render(QLatin1String(index == kDescendingMarker ? "sort-desc" : "sort-asc"), {size, size});
    if (index < 0 || index > 9)
        return {};
    QPixmap pixmap = render(QLatin1String(kStateNames[index % 5]), {size, size});
    if (index >= 5) {
        QPainter painter(&pixmap);
        QSvgRenderer mark(resourcePath(QStringLiteral("favorite-mark")));
        mark.render(&painter);
    }
    return pixmap;
}

QIcon IconProvider::rowIcon(int index)
{
    static QHash<int, QIcon> cache;
    auto it = cache.find(index);
    if (it != cache.end())
        return *it;
    QIcon icon;
    for (int size : {16, 32})
        icon.addPixmap(rowPixmap(index, size));
    cache.insert(index, icon);
    return icon;
}

QIcon IconProvider::programIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128})
        icon.addPixmap(render(QStringLiteral("orvane"), {size, size}));
    return icon;
}

QList<QIcon> IconProvider::trayFrames(bool busy)
{
    QList<QIcon> frames;
    for (int i = 0; i < 8; ++i) {
        const QString name = QStringLiteral("tray-%1-%2").arg(busy ? u"busy" : u"idle").arg(i);
        QIcon icon;
        for (int size : {16, 22, 32})
            icon.addPixmap(render(name, {size, size}));
        frames.append(icon);
    }
    return frames;
}

QPixmap IconProvider::splashPicture()
{
    return render(QStringLiteral("splash"), {320, 240});
}

QPixmap IconProvider::aboutPicture()
{
    return render(QStringLiteral("about"), {400, 300});
}

QPixmap IconProvider::creditsPicture()
{
    return render(QStringLiteral("credits-top"), {200, 48});
}

QPixmap IconProvider::panelTile()
{
    return render(QStringLiteral("panel-tile"), {24, 24});
}

} // namespace orv::frontend
