// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/frontend/gameforms/executablesearch.h"

#include <atomic>

#include <QEventLoop>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QThread>
#include <QVBoxLayout>

namespace orv::frontend {

QStringList findFilesResponsively(const QStringList &roots, const QStringList &names)
{
    QStringList found;
    std::atomic_bool cancel = false;
    QThread *worker = QThread::create([&] { found = orv::core::findFiles(roots, names, &cancel); });
    QEventLoop loop;
    QObject::connect(worker, &QThread::finished, &loop, &QEventLoop::quit);
    // A quit of the application while searching stops the walk at its next folder.
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, &loop, [&cancel] { cancel = true; });
    worker->start();
    if (!worker->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    worker->wait();
    delete worker;
    return found;
}

TSearchNoticeForm::TSearchNoticeForm(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("SearchNoticeForm"));
    setFixedSize(269, 62);
    setAutoFillBackground(true);
    setStyleSheet(QStringLiteral("QWidget#SearchNoticeForm { background: black; border: 1px solid #3c8c00; }"
                                 "QLabel { color: white; font-weight: bold; }"));
    auto *layout = new QVBoxLayout(this);
    auto *first = new QLabel(tr("Please wait!"), this);
    auto *second = new QLabel(tr("Orvane search games on your HD..."), this);
    first->setAlignment(Qt::AlignCenter);
    second->setAlignment(Qt::AlignCenter);
    layout->addWidget(first);
    layout->addWidget(second);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

} // namespace orv::frontend
