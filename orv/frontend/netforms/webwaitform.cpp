// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/frontend/netforms/webwaitform.h"

#include <limits>

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "orv/net/filedownloader.h"
#include "orv/net/masterfetch.h"

namespace orv::frontend {

TmyWEBWaitForm::TmyWEBWaitForm(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("myWEBWaitForm"));
    auto *text = new QLabel(tr("Please wait!") + QLatin1Char('\n') + tr("Orvane download file from WEB.."), this);
    text->setAlignment(Qt::AlignCenter);
    m_progressL = new QLabel(QStringLiteral("-- // --"), this);
    m_progressL->setObjectName(QStringLiteral("ProgressL"));
    m_progressL->setAlignment(Qt::AlignCenter);
    // A long URL must not widen the window.
    m_progressL->setMinimumWidth(1);
    m_progressBar1 = new QProgressBar(this);
    m_progressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    m_progressBar1->setRange(0, 100);
    m_progressBar1->setTextVisible(false);
    m_cancel = new QPushButton(tr("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("CancelButton"));
    connect(m_cancel, &QPushButton::clicked, this, [this] { emit clickSound(QStringLiteral("shot.wav")); });
    connect(m_cancel, &QPushButton::clicked, this, &TmyWEBWaitForm::CancelClick);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(2);
    layout->addWidget(text);
    layout->addWidget(m_progressL);
    auto *row = new QHBoxLayout;
    row->addWidget(m_progressBar1, 1);
    row->addWidget(m_cancel);
    layout->addLayout(row);
    setFixedSize(QSize(280, 76).expandedTo(minimumSizeHint()));
}

template <typename Source> void TmyWEBWaitForm::follow(Source &source)
{
    connect(&source, &Source::waitStarted, this, &TmyWEBWaitForm::start);
    connect(&source, &Source::progressTextChanged, m_progressL, &QLabel::setText);
    connect(&source, &Source::progressRangeChanged, this, &TmyWEBWaitForm::setRange);
    connect(&source, &Source::progressChanged, this, &TmyWEBWaitForm::setValue);
    connect(&source, &Source::waitFinished, this, &QWidget::close);
}

void TmyWEBWaitForm::attach(net::FileDownloader &downloader)
{
    m_downloader = &downloader;
    follow(downloader);
}

void TmyWEBWaitForm::attach(net::MasterFetch &fetch)
{
    m_fetch = &fetch;
    follow(fetch);
}

void TmyWEBWaitForm::start()
{
    m_progressBar1->setRange(0, 100);
    m_progressBar1->setValue(0);
    m_progressL->setText(tr("Dowonload"));
    if (const QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    show();
    raise();
}

void TmyWEBWaitForm::setRange(qint64 maximum)
{
    m_progressBar1->setRange(0, static_cast<int>(std::min<qint64>(maximum, std::numeric_limits<int>::max())));
}

void TmyWEBWaitForm::setValue(qint64 value)
{
    m_progressBar1->setValue(static_cast<int>(std::min<qint64>(value, m_progressBar1->maximum())));
}

void TmyWEBWaitForm::CancelClick()
{
    if (m_downloader)
        m_downloader->cancel();
    if (m_fetch)
        m_fetch->cancel();
    close();
}

} // namespace orv::frontend
