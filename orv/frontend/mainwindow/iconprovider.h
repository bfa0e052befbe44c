// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QList>
#include <QPixmap>
#include <QString>

namespace orv::frontend {

// The browser's pictures, looked up by meaning rather than by file path. Everything is
// drawn from the SVG sources in the program's resources, so icons stay crisp at any size.
class IconProvider
{
public:
    // Makes the resources compiled into the front-end library available; call once.
    static void initResources();

    // Row state icons 0-9: ping classes good, normal, bad, no ping and dead, then the same
    // five with the favorite mark. Image 10 is the descending and 11 the ascending marker.
    static constexpr int kDescendingMarker = 10;
    static constexpr int kAscendingMarker = 11;
    static QIcon rowIcon(int index);
    static QPixmap rowPixmap(int index, int size);

    static QIcon programIcon();
    // Tray animation frames: idle (the program waits) or busy (a refresh is running).
    static QList<QIcon> trayFrames(bool busy);

    static QPixmap splashPicture();
    static QPixmap aboutPicture();
    static QPixmap creditsPicture();
    // The tiled background of the top bar and the left button column.
    static QPixmap panelTile();

    // Renders an SVG resource (":/icons/<name>.svg") at the given size.
    static QPixmap render(const QString &name, QSize size);
};

} // namespace orv::frontend
