// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/frontend/listtools/findform.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QHash>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QToolButton>

#include "orv/core/playersearch.h"
#include "orv/engine/queryengine.h"
#include "orv/engine/serverentry.h"
#include "orv/engine/serverlistmodel.h"
#include "orv/engine/textutil.h"
#include "orv/frontend/formstorage/formstorage.h"
#include "orv/frontend/mainwindow/mainform.h"
#include "orv/frontend/mainwindow/soundbank.h"
#include "orv/frontend/mainwindow/splashform.h"

namespace orv::frontend {

using namespace orv::core;

namespace {

const QString kPrompt = QStringLiteral("Enter full player nickname");
constexpr int kProgressStep = 1024;

} // namespace

TFindForm::TFindForm(TMainForm &form, orv::engine::QueryEngine &engine, SoundBank &sounds, TBuldingListForm *progress,
                     QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
    , m_form(form)
    , m_engine(engine)
    , m_sounds(sounds)
    , m_progress(progress)
{
    setObjectName(QStringLiteral("FindForm"));
    setWindowTitle(QStringLiteral("Find player"));
    setFixedSize(404, 71);
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(QStringLiteral(
        "#FindForm { background: black; }"
        "QLabel { color: #32ff32; background: transparent; }"
        "QComboBox { background: black; color: #32ff32; border: 1px solid #3c3c3c; padding: 1px 4px; }"
        "QComboBox QAbstractItemView { background: black; color: #32ff32; selection-background-color: #1f5f1f; }"
        "QPushButton, QToolButton { background: #1f1f1f; color: white; border: 1px solid #3c3c3c;"
        "  border-radius: 3px; }"
        "QPushButton:hover, QToolButton:hover { background: #2d3a2d; border-color: #32ff32; }"
        "QPushButton:pressed, QToolButton:pressed { background: #143214; }"
        "QPushButton:disabled { color: #6a6a6a; border-color: #2a2a2a; }"));

    m_findText = new QComboBox(this);
    m_findText->setObjectName(QStringLiteral("FindText"));
    m_findText->setEditable(true);
    m_findText->setInsertPolicy(QComboBox::NoInsert);
    m_findText->setToolTip(QStringLiteral("Nick name to search"));
    m_findText->setGeometry(8, 10, 168, 22);

    m_speedButton = new QToolButton(this);
    m_speedButton->setObjectName(QStringLiteral("SpeedButton1"));
    m_speedButton->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    m_speedButton->setToolTip(QStringLiteral("Build players list (may take few time)"));
    m_speedButton->setGeometry(178, 10, 22, 22);

    m_findLabel = new QLabel(kPrompt + QLatin1Char(' '), this);
    m_findLabel->setObjectName(QStringLiteral("FindLabel"));
    m_findLabel->setAlignment(Qt::AlignCenter);
    m_findLabel->setWordWrap(true);
    // Wide enough for the prompt on one line, so the players count fits on the second.
    m_findLabel->setGeometry(204, 1, 196, 38);

    m_findButton = new QPushButton(QStringLiteral("Find"), this);
    m_findButton->setObjectName(QStringLiteral("FindButton"));
    m_findButton->setGeometry(40, 40, 100, 24);
    m_findButton->setDefault(true);

    m_exitButton = new QPushButton(QStringLiteral("Close"), this);
    m_exitButton->setObjectName(QStringLiteral("ExitButton"));
    m_exitButton->setGeometry(264, 40, 100, 24);

    connect(m_speedButton, &QToolButton::clicked, this, [this] {
        m_sounds.click(QStringLiteral("respawn.wav"));
        SpeedButton1Click();
    });
    connect(m_findButton, &QPushButton::clicked, this, [this] {
        m_sounds.click(QStringLiteral("beep.wav"));
        FindButtonClick();
    });
    connect(m_exitButton, &QPushButton::clicked, this, [this] {
        m_sounds.click(QStringLiteral("select.wav"));
        close();
    });
    connect(m_findText, &QComboBox::editTextChanged, this, &TFindForm::updateFindButton);
    connect(m_findText->lineEdit(), &QLineEdit::returnPressed, this, [this] { FindButtonClick(); });
    updateFindButton();

    // Centred on the screen; a position the settings storage restores on show wins.
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame = geometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

TFindForm::~TFindForm()
{
    TFormStorage::formDestroying(this);
}

QString TFindForm::settingsSection()
{
    return QStringLiteral("Find form");
}

QStringList TFindForm::storedProperties()
{
    return {QStringLiteral("FindText.Text")};
}

TFormStorage *TFindForm::attachStorage(TFindForm &window, platform::RegistryStore &store)
{
    auto *storage = new TFormStorage(&window, store);
    storage->setObjectName(QStringLiteral("FormStorage2"));
    storage->setIniSection(settingsSection());
    storage->setOptions(TPlacementOption::fpPosition);
    storage->setStoredProps(storedProperties());
    return storage;
}

void TFindForm::updateFindButton()
{
    m_findButton->setEnabled(!m_findText->currentText().isEmpty());
}

void TFindForm::toggle()
{
    if (isVisible())
        close();
    else
        show();
}

void TFindForm::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        m_exitButton->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool TFindForm::FindButtonClick()
{
    const QString name = m_findText->currentText();
    const orv::engine::ServerPage page = m_engine.currentPage();
    const orv::engine::ReplyStore &replies = m_engine.replies(page);
    if (!replies.isEmpty() && !name.isEmpty()) {
        const QList<QByteArray> heads = playersearch::serversWithPlayer(replies, name);
        if (!heads.isEmpty()) {
            // The visible rows by the key their answers are stored under; the first row of
            // each server wins. A row whose line names no server has no answers.
            QHash<QByteArray, int> rowOf;
            const std::vector<orv::engine::ServerEntry> &rows = m_engine.view(page).rows();
            for (int i = static_cast<int>(rows.size()) - 1; i >= 0; --i) {
                const orv::engine::ServerEntry &row = rows[static_cast<size_t>(i)];
                if (row.address)
                    rowOf.insert(orv::engine::ReplyStore::serverKey(*row.address), i);
            }
            for (const QByteArray &head : heads) {
                const auto found = rowOf.constFind(head);
                if (found == rowOf.constEnd())
                    continue;
                m_form.selectRow(page, found.value());
                m_findLabel->setText(QStringLiteral("Player found."));
                if (const int p = m_form.findPlayer(name); p >= 0)
                    m_form.selectPlayer(p);
                return true;
            }
        }
    }
    m_findLabel->setText(QStringLiteral("Player not found"));
    return false;
}

void TFindForm::SpeedButton1Click()
{
    const orv::engine::ReplyStore &replies = m_engine.currentReplies();
    if (replies.isEmpty())
        return;
    const QString text = m_findText->currentText();
    if (m_progress)
        m_progress->start(static_cast<int>(replies.size()));
    QStringList names = playersearch::playerNames(replies, [this](qsizetype line) {
        if (m_progress && line % kProgressStep == 0)
            m_progress->setPosition(static_cast<int>(line));
    });
    playersearch::sortNames(names);
    m_findText->clear();
    m_findText->addItems(names);
    // Emptying the list leaves the typed name in the box.
    m_findText->setEditText(text);
    if (!names.isEmpty())
        m_findLabel->setText(kPrompt + QLatin1Char('\n') + QStringLiteral("Total players") + QStringLiteral(" :") +
                             QString::number(names.size()));
    if (m_progress)
        m_progress->finish();
    m_findText->setEnabled(true);
    updateFindButton();
}

} // namespace orv::frontend
