// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/frontend/gameforms/gameoptionsform.h"

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "orv/frontend/formstorage/formstorage.h"
#include "orv/frontend/gameforms/executablesearch.h"
#include "orv/frontend/mainwindow/soundbank.h"
#include "platform/paths.h"

namespace orv::frontend {

using namespace orv::core;

namespace {

const QString kSeparator = QStringLiteral("-");

void setLed(QLabel *led, bool lit, const QColor &on)
{
    const QColor colour = lit ? on : on.darker(400);
    led->setProperty("lit", lit);
    led->setStyleSheet(
        QStringLiteral("background: %1; border: 1px solid #202020; border-radius: 5px;").arg(colour.name()));
}

QLabel *makeLed(QWidget *parent, const QString &name)
{
    auto *led = new QLabel(parent);
    led->setObjectName(name);
    led->setFixedSize(10, 10);
    setLed(led, false, QColor(0x00, 0xff, 0x00));
    return led;
}

// Keeps processing window messages for a while, so a menu choice takes effect first.
void delay(int milliseconds)
{
    QDeadlineTimer deadline(milliseconds);
    while (!deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

} // namespace

const QStringList &TUnrealOptionsForm::commandSwitches()
{
    static const QStringList items = {
        QString(),
        QStringLiteral("-alladmin"),
        QStringLiteral("-firstrun"),
        QStringLiteral("-nobind"),
        QStringLiteral("-nohard"),
        QStringLiteral("-noreplace"),
        QStringLiteral("-make"),
        QStringLiteral("-make -h"),
        QStringLiteral("-editor"),
        QStringLiteral("-showdep"),
        QStringLiteral("-strict"),
        kSeparator,
        QStringLiteral("-changevideo"),
        QStringLiteral("-conflicts"),
        QStringLiteral("-log"),
        QStringLiteral("-noddraw"),
        QStringLiteral("-nodsound"),
        QStringLiteral("-nogc"),
        QStringLiteral("-nohard"),
        QStringLiteral("-nok6"),
        QStringLiteral("-nolog"),
        QStringLiteral("-nokni"),
        QStringLiteral("-nommx"),
        QStringLiteral("-nosound"),
        QStringLiteral("-nowarn"),
        QStringLiteral("-profile"),
        QStringLiteral("-safe"),
        QStringLiteral("-server"),
        QStringLiteral("-silent"),
        kSeparator,
        QStringLiteral("INI=inifilename"),
        QStringLiteral("USER=userinifilename"),
        QStringLiteral("LOG=logfilename"),
        QStringLiteral("MULTIHOME=169.254.0.2"),
        QStringLiteral("PORT=num"),
        QStringLiteral("READINI=inifilename"),
    };
    return items;
}

const QStringList &TUnrealOptionsForm::teamColours()
{
    static const QStringList colours = {QStringLiteral("None"), QStringLiteral("Red"), QStringLiteral("Blue"),
                                        QStringLiteral("Green"), QStringLiteral("Gold")};
    return colours;
}

TUnrealOptionsForm::TUnrealOptionsForm(platform::RegistryStore &store, SoundBank &sounds, QWidget *parent)
    : QDialog(parent)
    , m_sounds(sounds)
    , m_dataFolder(platform::paths::programFolder())
{
    setObjectName(QStringLiteral("UnrealOptionsForm"));
    setWindowTitle(tr("Unreal Options"));
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint);

    auto *outer = new QVBoxLayout(this);
    outer->addWidget(buildGamePathsBox());
    auto *playersBox = new QGroupBox(tr("Players options"), this);
    auto *pg = new QGridLayout(playersBox);
    outer->addWidget(playersBox);
    buildPresetFields(playersBox, pg);
    buildSkinFields(playersBox, pg);
    // Wider windows give the room to the text fields.
    for (const int fieldColumn : {1, 3, 7})
        pg->setColumnStretch(fieldColumn, 1);
    outer->addLayout(buildButtonRow());

    // The design's client area, grown only as far as the fonts need: on the smallest
    // screen the program supports (800 x 600) the whole window stays visible.
    adjustSize();
    resize(size().expandedTo(QSize(665, 309)));
    if (const QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());

    buildStorages(store);
    refreshLeds();
}

TUnrealOptionsForm::~TUnrealOptionsForm()
{
    TFormStorage::formDestroying(this);
}

QGroupBox *TUnrealOptionsForm::buildGamePathsBox()
{
    auto *pathsBox = new QGroupBox(tr("Game path and cmd..."), this);
    auto *pathsRow = new QHBoxLayout(pathsBox);

    const QString extraHint = tr("Additional commands to run game");
    const QString serverHint = tr("Command to run dedicaded server");
    auto gameBox = [&](const QString &caption, int firstPath, const QString &addName, const QString &serverName,
                       QLineEdit *&add, QLineEdit *&server, QLineEdit *&wrapper) {
        auto *box = new QGroupBox(caption, pathsBox);
        auto *g = new QGridLayout(box);
        const QString labels[] = {tr("Game file"), tr("Editor")};
        for (int i = 0; i < 2; ++i) {
            const int field = firstPath + i;
            m_paths[field] = pathField(box, QStringLiteral("GamePath%1").arg(field + 1));
            m_leds[field] = makeLed(box, QStringLiteral("LightCheck%1").arg(field + 1));
            g->addWidget(new QLabel(labels[i], box), i, 0);
            g->addWidget(m_paths[field], i, 1);
            g->addWidget(m_leds[field], i, 2);
        }
        add = textField(box, addName, QString(), 32767);
        server = textField(box, serverName, QStringLiteral("-server"), 32767);
        QToolButton *addButton = menuButton(box, extraHint);
        QToolButton *serverButton = menuButton(box, serverHint);
        connect(addButton, &QToolButton::clicked, this, [this, add, addButton] { commandMenu(add, addButton); });
        connect(serverButton, &QToolButton::clicked, this,
                [this, server, serverButton] { commandMenu(server, serverButton); });
        g->addWidget(new QLabel(tr("Additional run cmd."), box), 2, 0);
        g->addWidget(add, 2, 1);
        g->addWidget(addButton, 2, 2);
        g->addWidget(new QLabel(tr("Server start cmd."), box), 3, 0);
        g->addWidget(server, 3, 1);
        g->addWidget(serverButton, 3, 2);
        // The program that runs the game, e.g. "gamemoderun %command%"; empty: the game itself.
        wrapper = textField(box, QStringLiteral("GameCommand%1").arg(firstPath / 2 + 1), QString(), 32767);
        wrapper->setPlaceholderText(QStringLiteral("%command%"));
        wrapper->setToolTip(tr("Runs the game through another program: %command% stands for the game and its "
                               "arguments,\ne.g. \"gamemoderun %command%\". Empty: the game runs by itself."));
        g->addWidget(new QLabel(tr("Command"), box), 4, 0);
        g->addWidget(wrapper, 4, 1);
        pathsRow->addWidget(box);
    };
    gameBox(tr("Unreal"), 0, QStringLiteral("Addcmd1"), QStringLiteral("ServerCmd1"), m_addcmd1, m_serverCmd1,
            m_command1);
    gameBox(tr("Unreal Tournament"), 2, QStringLiteral("Addcmd2"), QStringLiteral("ServerCmd2"), m_addcmd2,
            m_serverCmd2, m_command2);
    return pathsBox;
}

QHBoxLayout *TUnrealOptionsForm::buildButtonRow()
{
    auto *buttons = new QHBoxLayout;
    auto *searchButton = new QPushButton(tr("Auto search path"), this);
    searchButton->setObjectName(QStringLiteral("SearchButton"));
    m_searchCheck = makeLed(this, QStringLiteral("SearchCheck"));
    setLed(m_searchCheck, false, QColor(0xff, 0xff, 0x00));
    connect(searchButton, &QPushButton::clicked, this, [this] {
        m_sounds.click(QStringLiteral("respawn.wav"));
        SearchButtonClick();
    });
    auto *replacer = new QPushButton(tr("String Replacer"), this);
    replacer->setObjectName(QStringLiteral("Color95Button1"));
    replacer->setToolTip(tr("Replace strings when they are show server information"));
    connect(replacer, &QPushButton::clicked, this, [this] {
        m_sounds.click(QStringLiteral("dropdown.wav"));
        emit stringReplacerRequested();
    });
    auto *exitButton = new QPushButton(tr("Close"), this);
    exitButton->setObjectName(QStringLiteral("ExitButton"));
    connect(exitButton, &QPushButton::clicked, this, [this] {
        m_sounds.click(QStringLiteral("select.wav"));
        accept();
    });
    buttons->addWidget(searchButton);
    buttons->addWidget(m_searchCheck);
    buttons->addStretch();
    buttons->addWidget(replacer);
    buttons->addWidget(exitButton);
    return buttons;
}

QLineEdit *TUnrealOptionsForm::pathField(QWidget *parent, const QString &name)
{
    auto *field = new QLineEdit(parent);
    field->setObjectName(name);
    field->setToolTip(tr("Path to EXE file"));
    field->setMinimumWidth(kPathFieldMinWidth);
    QAction *browseAction =
        field->addAction(style()->standardIcon(QStyle::SP_DirOpenIcon), QLineEdit::TrailingPosition);
    browseAction->setToolTip(tr("Auto search game in your HD"));
    const int index = name.right(1).toInt() - 1;
    connect(browseAction, &QAction::triggered, this, [this, index] { browse(index); });
    connect(field, &QLineEdit::textChanged, this, [this, field](const QString &text) {
        if (text.contains(u'"')) {
            QString cleaned = text;
            cleaned.remove(u'"');
            field->setText(cleaned);
            return; // the change this causes refreshes the LEDs
        }
        refreshLeds();
    });
    return field;
}

QLineEdit *TUnrealOptionsForm::textField(QWidget *parent, const QString &name, const QString &text, int maxLength)
{
    auto *field = new QLineEdit(text, parent);
    field->setObjectName(name);
    field->setMaxLength(maxLength);
    if (maxLength == kSkinFieldLength)
        field->setMinimumWidth(kSkinFieldMinWidth); // room for short "package.name" texts
    return field;
}

QToolButton *TUnrealOptionsForm::menuButton(QWidget *parent, const QString &hint)
{
    auto *button = new QToolButton(parent);
    button->setArrowType(Qt::DownArrow);
    button->setToolTip(hint);
    return button;
}

void TUnrealOptionsForm::commandMenu(QLineEdit *field, QToolButton *button)
{
    QMenu menu(this);
    for (const QString &item : commandSwitches()) {
        if (item == kSeparator) {
            menu.addSeparator();
            continue;
        }
        const qsizetype colon = item.indexOf(u':');
        menu.addAction(colon < 0 ? item : item.left(colon));
    }
    QAction *chosen = menu.exec(button->mapToGlobal(QPoint(0, button->height())));
    delay(200);
    appendCommand(field, chosen ? chosen->text() : QString());
}

void TUnrealOptionsForm::appendCommand(QLineEdit *field, const QString &chosen)
{
    if (field)
        field->setText(field->text() + u' ' + chosen);
}

QLineEdit *TUnrealOptionsForm::commandField(const QString &name) const
{
    for (QLineEdit *field : {m_addcmd1, m_addcmd2, m_serverCmd1, m_serverCmd2}) {
        if (field->objectName() == name)
            return field;
    }
    return nullptr;
}

QString TUnrealOptionsForm::gamePath(int field) const
{
    return field >= 1 && field <= 4 ? m_paths[field - 1]->text() : QString();
}

void TUnrealOptionsForm::setGamePath(int field, const QString &path)
{
    if (field >= 1 && field <= 4)
        m_paths[field - 1]->setText(path);
}

QString TUnrealOptionsForm::extraText(bool ut) const
{
    return (ut ? m_addcmd2 : m_addcmd1)->text();
}

QString TUnrealOptionsForm::commandLine(bool ut) const
{
    return (ut ? m_command2 : m_command1)->text();
}

void TUnrealOptionsForm::setCommandLine(bool ut, const QString &text)
{
    (ut ? m_command2 : m_command1)->setText(text);
}

QString TUnrealOptionsForm::serverText(bool ut) const
{
    return (ut ? m_serverCmd2 : m_serverCmd1)->text();
}

bool TUnrealOptionsForm::isLedLit(int field) const
{
    return field >= 1 && field <= 4 && m_leds[field - 1]->property("lit").toBool();
}

void TUnrealOptionsForm::refreshLeds()
{
    for (size_t i = 0; i < m_paths.size(); ++i) {
        const QString path = m_paths[i]->text();
        setLed(m_leds[i], !path.isEmpty() && QFileInfo(path).isFile(), QColor(0x00, 0xff, 0x00));
    }
}

bool TUnrealOptionsForm::SearchButtonClick()
{
    const QStringList roots = m_searchRoots.isEmpty() ? defaultSearchRoots() : m_searchRoots;
    setLed(m_searchCheck, true, QColor(0xff, 0xff, 0x00));
    auto *notice = new TSearchNoticeForm(this);
    notice->show();
    const QStringList found = findFilesResponsively(roots, gameExecutableNames());
    notice->close();
    notice->deleteLater();
    setLed(m_searchCheck, false, QColor(0xff, 0xff, 0x00));
    if (!applyFoundPaths(found)) {
        message(MessageKind::Error, tr("I`m can not find file on your hard drives!"));
        return false;
    }
    return true;
}

bool TUnrealOptionsForm::applyFoundPaths(const QStringList &found)
{
    const FoundGamePaths paths = assignFoundPaths(found);
    for (int i = 0; i < 4; ++i) {
        if (paths.paths[i])
            m_paths[static_cast<size_t>(i)]->setText(*paths.paths[i]);
    }
    return paths.any();
}

bool TUnrealOptionsForm::searchQuietly()
{
    const QStringList roots = m_searchRoots.isEmpty() ? defaultSearchRoots() : m_searchRoots;
    return applyFoundPaths(findFilesResponsively(roots, gameExecutableNames()));
}

void TUnrealOptionsForm::browse(int field)
{
    QLineEdit *edit = m_paths[static_cast<size_t>(field)];
    QString chosen;
    if (m_chooseFile) {
        chosen = m_chooseFile(edit->text());
    } else {
        chosen = QFileDialog::getOpenFileName(this, tr("Path.."), QFileInfo(edit->text()).absolutePath(),
                                              tr("Games (ut-bin* unreal-bin* *.exe *.lnk *.sh);;"
                                                 "All Exec`s (*.exe *.lnk);;All files (*)"));
    }
    if (!chosen.isEmpty())
        edit->setText(chosen);
}

void TUnrealOptionsForm::message(MessageKind kind, const QString &text)
{
    if (m_showMessage) {
        m_showMessage(kind, text);
        return;
    }
    if (kind == MessageKind::Error)
        QMessageBox::critical(this, windowTitle(), text);
    else
        QMessageBox::information(this, windowTitle(), text);
}

void TUnrealOptionsForm::showEvent(QShowEvent *event)
{
    refreshLeds();
    // Command lines and "package.name" texts are read from their start; a path field shows
    // its file's name at the end.
    for (QLineEdit *field :
         {m_command1, m_command2, m_yourSkin, m_skinClass, m_yourFaceT, m_yourSkinT, m_skinClassT, m_yourVoiceT})
        field->setCursorPosition(0);
    m_chosenFromList = false;
    loadSkinLists();
    QDialog::showEvent(event);
}

void TUnrealOptionsForm::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TUnrealOptionsForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && (watched == m_nickName || watched == m_nickName->lineEdit())) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down)
            return true;
    }
    if (watched == m_nickName->view() && event->type() == QEvent::Show)
        m_chosenFromList = true;
    return QDialog::eventFilter(watched, event);
}

} // namespace orv::frontend
