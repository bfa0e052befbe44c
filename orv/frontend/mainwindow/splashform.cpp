// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/frontend/mainwindow/splashform.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include "orv/frontend/mainwindow/iconprovider.h"

namespace orv::frontend {

namespace {

void centreOnScreen(QWidget *widget)
{
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame = widget->frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        widget->move(frame.topLeft());
    }
}

const char *const kProgressStyle = "QProgressBar { background: #101010; border: none; }"
                                   "QProgressBar::chunk { background: #32ff32; }";

} // namespace

TSplashForm::TSplashForm(QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , m_bar(new QProgressBar(this))
    , m_timer(new QTimer(this))
{
    setObjectName(QStringLiteral("SplashForm"));
    setFixedSize(320, 240);
    auto *picture = new QLabel(this);
    picture->setPixmap(IconProvider::splashPicture());
    picture->setGeometry(0, 0, 320, 240);
    m_bar->setRange(0, kSteps);
    m_bar->setTextVisible(false);
    m_bar->setGeometry(0, 234, 320, 6);
    m_bar->setStyleSheet(QLatin1String(kProgressStyle));
    m_timer->setSingleShot(true);
    m_timer->setInterval(2500);
    connect(m_timer, &QTimer::timeout, this, &QWidget::close);
    centreOnScreen(this);
}

void TSplashForm::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    m_timer->start();
}

void TSplashForm::setProgress(int value)
{
    m_bar->setValue(value);
    repaint();
}

int TSplashForm::progress() const
{
    return m_bar->value();
}

void TSplashForm::stepIt()
{
    setProgress(qMin(m_bar->value() + 1, kSteps));
}

TBuldingListForm::TBuldingListForm(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , m_bar(new QProgressBar(this))
{
    setObjectName(QStringLiteral("BuldingListForm"));
    setWindowTitle(QStringLiteral("Please wait building list"));
    setFixedSize(268, 52);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setBrush(QPalette::Window, QBrush(IconProvider::panelTile()));
    setPalette(palette);

    auto *label = new QLabel(QStringLiteral("Please wait! Building list."), this);
    label->setAlignment(Qt::AlignCenter);
    label->setStyleSheet(QStringLiteral("color: white; font-weight: bold; background: transparent;"));
    label->setGeometry(0, 8, 268, 20);
    m_bar->setGeometry(13, 33, 241, 10);
    m_bar->setTextVisible(false);
    m_bar->setStyleSheet(QLatin1String(kProgressStyle));
}

void TBuldingListForm::start(int maximum)
{
    m_bar->setRange(0, qMax(0, maximum));
    m_bar->setValue(0);
    centreOnScreen(this);
    show();
    // Paint before the long work begins.
    QCoreApplication::processEvents();
}

void TBuldingListForm::setPosition(int position)
{
    m_bar->setValue(position);
}

void TBuldingListForm::stepIt()
{
    m_bar->setValue(qMin(m_bar->value() + 1, m_bar->maximum()));
}

int TBuldingListForm::position() const
{
    return m_bar->value();
}

int TBuldingListForm::maximum() const
{
    return m_bar->maximum();
}

void TBuldingListForm::finish()
{
    close();
}

} // namespace orv::frontend
