// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

#include "orv/core/gamefilesearch.h"

namespace orv::frontend {

// Runs orv::core::findFiles on a worker thread while the caller's window keeps processing events.
QStringList findFilesResponsively(const QStringList &roots, const QStringList &names);

// "Please wait!" while the disks are searched: borderless, on top, centred.
class TSearchNoticeForm : public QWidget
{
    Q_OBJECT

public:
    explicit TSearchNoticeForm(QWidget *parent = nullptr);
};

} // namespace orv::frontend
