// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/frontend/mainwindow/aboutform.h"

#include <QDir>
#include <QFile>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QTimer>
#include <QToolTip>
#include <QVBoxLayout>

#include "orv/frontend/mainwindow/iconprovider.h"
#include "orv/frontend/mainwindow/soundbank.h"
#include "platform/paths.h"

namespace orv::frontend {

namespace {

const char *const kCredits[] = {
    "ORVANE",
    "",
    "Server browser for",
    "Unreal and Unreal Tournament",
    "",
    "Written by the Orvane team",
    "",
    "Query engine, refresh and ping",
    "Master lists and local network",
    "Server checker",
    "INI editor and clans directory",
    "",
    "Thanks to",
    "every player who still keeps",
    "the servers full after all these years,",
    "the server admins who run them,",
    "and the community patch makers",
    "who keep the games alive on",
    "Linux and Windows.",
    "",
    "Built with Qt",
    "",
    "Server countries: IPFire Location",
    "database through libloc,",
    "data under CC BY-SA 4.0.",
    "Flags: famfamfam flag icons.",
    "",
    "Free software:",
    "GNU General Public License,",
    "version 3 or later.",
    "",
    "See you on the servers!",
};

} // namespace

TAboutForm::TAboutForm(SoundBank &sounds, QWidget *parent)
    : QDialog(parent, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , m_sound(sounds)
    , m_picture(new QLabel(this))
    , m_credits(new QWidget(this))
    , m_creditsText(new QLabel(m_credits))
    , m_scroll(new QTimer(this))
{
    setObjectName(QStringLiteral("AboutForm"));
    setWindowTitle(QStringLiteral("About"));
    setFixedSize(400, 300);
    m_picture->setPixmap(IconProvider::aboutPicture());
    m_picture->setGeometry(0, 0, 400, 300);
    m_picture->setMouseTracking(true);
    m_picture->installEventFilter(this);

    m_credits->setGeometry(0, 0, 400, 300);
    m_credits->setAutoFillBackground(true);
    QPalette palette = m_credits->palette();
    palette.setColor(QPalette::Window, Qt::black);
    // 14811135 as a Windows colour value (0x00BBGGRR): a pale yellow.
    palette.setColor(QPalette::WindowText, QColor(0xFF, 0xFF, 0xE1));
    m_credits->setPalette(palette);
    QStringList lines;
    for (const char *line : kCredits)
        lines.append(QString::fromUtf8(line));
    m_creditsText->setText(lines.join(QLatin1Char('\n')));
    m_creditsText->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_creditsText->setFont(QFont(QStringLiteral("Arial"), 8));
    m_creditsText->setPalette(palette);
    auto *top = new QLabel(m_credits);
    top->setPixmap(IconProvider::creditsPicture());
    top->setGeometry(100, 8, 200, 48);
    m_credits->installEventFilter(this);
    m_creditsText->installEventFilter(this);
    m_credits->hide();

    // The tune is carried inside the program; the sounds are played from files.
    m_tunePath = QDir(platform::paths::tempFolder()).filePath(QStringLiteral("orvane-about-tune.wav"));
    m_scroll->setInterval(50);
    connect(m_scroll, &QTimer::timeout, this, &TAboutForm::scrollStep);
}

bool TAboutForm::isRollingCredits() const
{
    return m_scroll->isActive();
}

void TAboutForm::startCredits()
{
    m_creditsText->adjustSize();
    m_creditsText->setGeometry(0, height(), width(), m_creditsText->sizeHint().height());
    m_credits->show();
    m_credits->raise();
    m_scroll->start();
    if (!QFile::exists(m_tunePath))
        QFile::copy(QStringLiteral(":/sounds/WAVE_1.wav"), m_tunePath);
    m_sound.playLooped(m_tunePath);
}

void TAboutForm::stopCredits()
{
    m_scroll->stop();
    m_sound.stop();
    m_credits->hide();
}

void TAboutForm::scrollStep()
{
    m_creditsText->move(0, m_creditsText->y() - 1);
    if (m_creditsText->y() + m_creditsText->height() < 0)
        stopCredits();
}

bool TAboutForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_picture && event->type() == QEvent::ToolTip) {
        const auto *help = static_cast<QHelpEvent *>(event);
        if (hotSpot().contains(help->pos()))
            QToolTip::showText(help->globalPos(), QStringLiteral(".."), m_picture, hotSpot());
        else
            QToolTip::hideText();
        return true;
    }
    if (event->type() == QEvent::MouseButtonPress) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (watched == m_picture && hotSpot().contains(mouse->position().toPoint()))
            startCredits();
        else
            close();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TAboutForm::mousePressEvent(QMouseEvent *event)
{
    QDialog::mousePressEvent(event);
    close();
}

void TAboutForm::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TAboutForm::hideEvent(QHideEvent *event)
{
    stopCredits();
    QDialog::hideEvent(event);
}

} // namespace orv::frontend
