// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>

#include "orv/net/internetlistbuilder.h"

namespace orv::net {

// The master-list entries a fresh installation starts with. They live in the data file
// "masters.txt" shipped with the program, so that they can follow the masters of the day
// without a new build:
//
//   # comment
//   [unreal]
//   gamespy://master.example:28900
//   -http://lists.example/unreal.txt      (a leading "-": unchecked)
//   [ut]
//   ...
//
// Entries that are no master source (see parseMasterSource) and entries outside a section
// are left out.
struct DefaultMasters
{
    QList<MasterUrl> unreal;
    QList<MasterUrl> ut;
};

inline constexpr char kDefaultMastersFile[] = "masters.txt";

DefaultMasters parseDefaultMasters(QByteArrayView text);

// Reads kDefaultMastersFile from the folder, by default the program's shipped data folder.
// Both lists are empty when the file is missing.
DefaultMasters loadDefaultMasters(const QString &folder = QString());

} // namespace orv::net
