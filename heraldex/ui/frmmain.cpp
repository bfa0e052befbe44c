// SPDX-License-Identifier: GPL-3.0-or-later
#include "heraldex/ui/frmmain.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTime>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "heraldex/core/serverini.h"
#include "platform/desktop/sound.h"
#include "platform/paths.h"
#include "platform/registrystore.h"

namespace heraldex::ui {

namespace {

const QString kSaveCaption = QStringLiteral("Save Settings");
const QString kCurrentCaption = QStringLiteral("Current Settings");

// The window's own dialogs: modal boxes over the window, and the sound service.
class WindowDialogs : public UserDialogs
{
public:
    WindowDialogs(QWidget &window, platform::SoundService &sound)
        : m_window(window)
        , m_sound(sound)
    {}

    void message(QMessageBox::Icon icon, const QString &text) override
    {
        QMessageBox box(icon, m_window.windowTitle(), text, QMessageBox::Ok, &m_window);
        box.exec();
    }
    std::optional<QString> inputBox(const QString &prompt) override
    {
        bool ok = false;
        const QString answer =
            QInputDialog::getText(&m_window, m_window.windowTitle(), prompt, QLineEdit::Normal, {}, &ok);
        return ok ? std::optional<QString>(answer) : std::nullopt;
    }
    QString openFile(const QString &startFolder, const QString &filter) override
    {
        return QFileDialog::getOpenFileName(&m_window, QObject::tr("Open"), startFolder, filter);
    }
    bool playSound(const QString &wavPath) override { return m_sound.playAndWait(wavPath); }

private:
    QWidget &m_window;
    platform::SoundService &m_sound;
};

} // namespace

frmMain::frmMain(platform::RegistryStore &machineStore, platform::SoundService &sound, QWidget *parent)
    : QWidget(parent)
    , m_store(machineStore)
    , m_sound(sound)
    , m_registry(machineStore)
    , m_checklist(machineStore)
    , m_poller(machineStore)
{
    m_ownDialogs = std::make_unique<WindowDialogs>(*this, m_sound);
    m_dialogs = m_ownDialogs.get();

    buildWindow();
    buildTray();
    setTabOrder();

    connect(&m_poller, &core::PlayerPoller::pollFinished, this, &frmMain::onPollFinished);
    connect(&m_showClient, &core::ServerPageClient::pageOpened, this, &frmMain::onShowPage);

    Form_Load();
}

frmMain::~frmMain()
{
    if (m_tray)
        m_tray->hide();
}

void frmMain::setDialogs(UserDialogs *dialogs)
{
    m_dialogs = dialogs ? dialogs : m_ownDialogs.get();
}

QString frmMain::pageErrorText(core::PageError error, int httpStatus, std::chrono::milliseconds timeout)
{
    using core::PageError;
    switch (error) {
    case PageError::None:
        return {};
    case PageError::BadAddress:
        return tr("The server address or port is not valid.");
    case PageError::Unreachable:
        return tr("The server's web admin cannot be reached (server down, or wrong address or port).");
    case PageError::Refused:
        return tr("The server refused the admin name or password.");
    case PageError::TimedOut:
        return tr("The server did not answer within %1 seconds.").arg(QString::number(timeout.count() / 1000.0));
    case PageError::TooLarge:
        return tr("The server's page is too large.");
    case PageError::HttpStatus:
        return tr("The server answered with HTTP status %1.").arg(httpStatus);
    }
    return {};
}

void frmMain::buildWindow()
{
    setWindowTitle(QStringLiteral("Heraldex"));
    QFont tahoma = font();
    tahoma.setFamilies({QStringLiteral("Tahoma"), font().family()});
    setFont(tahoma);

    const auto lineEdit = [this](const char *name) {
        auto *edit = new QLineEdit(this);
        edit->setObjectName(QLatin1String(name));
        edit->installEventFilter(this);
        return edit;
    };
    const auto button = [this](const char *name, const QString &caption, const QString &tip) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->setToolTip(tip);
        return b;
    };
    const auto playButton = [this](const char *name) {
        auto *b = new QToolButton(this);
        b->setObjectName(QLatin1String(name));
        b->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
        b->setToolTip(tr("Play Wav File"));
        b->setFocusPolicy(Qt::StrongFocus);
        return b;
    };

    // Admin Options
    m_fraAdmin = new QGroupBox(tr("Admin Options"), this);
    m_fraAdmin->setObjectName(QStringLiteral("fraAdmin"));
    m_cmdSaveSettings = button("cmdSaveSettings", kSaveCaption, tr("Save Setting"));
    m_txtINIfile = lineEdit("txtINIfile");
    m_Command1 = button("Command1", QStringLiteral("..."), tr("Browse for INI files"));
    m_txtIPAddress = lineEdit("txtIPAddress");
    m_txtPortNumber = lineEdit("txtPortNumber");
    m_txtAdminName = lineEdit("txtAdminName");
    m_txtPassword = lineEdit("txtPassword");
    m_txtPassword->setEchoMode(QLineEdit::Password);
    m_txtPassword->setStyleSheet(QStringLiteral("lineedit-password-character: 42")); // '*'
    m_txtFriendWav = lineEdit("txtFriendWav");
    m_CmdBrowseFriend = button("CmdBrowseFriend", QStringLiteral("..."), tr("Browse for WAV files"));
    m_cmdPlayFriend = playButton("cmdPlayFriend");
    m_txtEnemyWav = lineEdit("txtEnemyWav");
    m_cmdBrowseEnemy = button("cmdBrowseEnemy", QStringLiteral("..."), tr("Browse for WAV files"));
    m_cmdPlayEnemy = playButton("cmdPlayEnemy");
    m_fields = {m_txtINIfile,  m_txtIPAddress, m_txtPortNumber, m_txtAdminName,
                m_txtPassword, m_txtFriendWav, m_txtEnemyWav};
    m_txtPortNumber->setMaximumWidth(fontMetrics().horizontalAdvance(QLatin1Char('0')) * 10);
    m_Command1->installEventFilter(this);
    for (QPushButton *browse : {m_Command1, m_CmdBrowseFriend, m_cmdBrowseEnemy})
        browse->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("...")) + 24);

    auto *admin = new QGridLayout(m_fraAdmin);
    admin->addWidget(m_cmdSaveSettings, 0, 0, 1, 6, Qt::AlignRight);
    admin->addWidget(new QLabel(tr("Tournament Server INI File"), m_fraAdmin), 1, 0);
    admin->addWidget(m_txtINIfile, 1, 1, 1, 3);
    admin->addWidget(m_Command1, 1, 4);
    admin->addWidget(new QLabel(tr("Ut Server address"), m_fraAdmin), 2, 0);
    admin->addWidget(m_txtIPAddress, 2, 1);
    admin->addWidget(new QLabel(tr("Port Number"), m_fraAdmin), 2, 2);
    admin->addWidget(m_txtPortNumber, 2, 3);
    admin->addWidget(new QLabel(tr("Admin Name"), m_fraAdmin), 3, 0);
    admin->addWidget(m_txtAdminName, 3, 1);
    admin->addWidget(new QLabel(tr("Password"), m_fraAdmin), 3, 2);
    admin->addWidget(m_txtPassword, 3, 3);
    admin->addWidget(new QLabel(tr("Annouce Friend Wave File"), m_fraAdmin), 4, 0);
    admin->addWidget(m_txtFriendWav, 4, 1, 1, 3);
    admin->addWidget(m_CmdBrowseFriend, 4, 4);
    admin->addWidget(m_cmdPlayFriend, 4, 5);
    admin->addWidget(new QLabel(tr("Annouce Foe Wave File"), m_fraAdmin), 5, 0);
    admin->addWidget(m_txtEnemyWav, 5, 1, 1, 3);
    admin->addWidget(m_cmdBrowseEnemy, 5, 4);
    admin->addWidget(m_cmdPlayEnemy, 5, 5);
    admin->setColumnStretch(1, 1);

    // Annouce Names
    m_fraAnnouce = new QGroupBox(tr("Annouce Names"), this);
    m_fraAnnouce->setObjectName(QStringLiteral("fraAnnouce"));
    m_cmdShowCurrent = button("cmdShowCurrent", tr("Show Current Players"), tr("Show players currently on line."));
    m_optFriend = new QRadioButton(tr("Friend"), this);
    m_optFriend->setObjectName(QStringLiteral("optFriend"));
    m_optFriend->setChecked(true);
    m_optEnemy = new QRadioButton(tr("Foe"), this);
    m_optEnemy->setObjectName(QStringLiteral("optEnemy"));
    const auto list = [this](const char *name) {
        auto *l = new QListWidget(this);
        l->setObjectName(QLatin1String(name));
        l->setSelectionMode(QAbstractItemView::ExtendedSelection);
        return l;
    };
    m_lstPlayers = list("lstPlayers");
    m_lstIP = list("lstIP");
    // The addresses follow the selection of the names; they take the focus only when clicked.
    m_lstIP->setFocusPolicy(Qt::ClickFocus);
    m_lstAdd = list("lstAdd");
    m_lstAdd->installEventFilter(this);
    m_cmdAddName = button("cmdAddName", tr("Add Name ->"), {});
    m_cmdAddIP = button("cmdAddIP", tr("Add IP ->"), {});
    m_cmdAddBoth = button("cmdAddBoth", tr("Add Both ->"), {});
    m_cmdRemoveAll = button("cmdRemoveAll", tr("Remove All"), {});
    m_lblAnnoucing = new QLabel(tr("Annoucing"), this);

    auto *top = new QHBoxLayout;
    top->addWidget(m_cmdShowCurrent);
    top->addStretch(1);
    top->addWidget(m_optFriend);
    top->addWidget(m_optEnemy);

    auto *players = new QGridLayout;
    players->addWidget(new QLabel(tr("Players"), this), 0, 0);
    players->addWidget(new QLabel(tr("IP"), this), 0, 1);
    players->addWidget(m_lstPlayers, 1, 0);
    players->addWidget(m_lstIP, 1, 1);
    players->setColumnStretch(0, 3);
    players->setColumnStretch(1, 2);

    auto *buttons = new QVBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_cmdAddName);
    buttons->addWidget(m_cmdAddIP);
    buttons->addWidget(m_cmdAddBoth);
    buttons->addSpacing(12);
    buttons->addWidget(m_cmdRemoveAll);
    buttons->addStretch(1);

    auto *announcing = new QVBoxLayout;
    announcing->addWidget(m_lblAnnoucing);
    announcing->addWidget(m_lstAdd);

    auto *middle = new QHBoxLayout;
    middle->addLayout(players, 5);
    middle->addLayout(buttons);
    middle->addLayout(announcing, 3);

    auto *annouce = new QVBoxLayout(m_fraAnnouce);
    annouce->addLayout(top);
    annouce->addLayout(middle, 1);

    auto *main = new QVBoxLayout(this);
    main->addWidget(m_fraAdmin);
    main->addWidget(m_fraAnnouce, 1);
    resize(640, 520);

    m_Timer = new QTimer(this);
    m_Timer->setObjectName(QStringLiteral("Timer"));
    connect(m_Timer, &QTimer::timeout, this, &frmMain::Timer_Timer);

    connect(m_cmdSaveSettings, &QPushButton::clicked, this, &frmMain::cmdSaveSettings_Click);
    connect(m_Command1, &QPushButton::clicked, this, &frmMain::Command1_Click);
    connect(m_CmdBrowseFriend, &QPushButton::clicked, this, &frmMain::CmdBrowseFriend_Click);
    connect(m_cmdBrowseEnemy, &QPushButton::clicked, this, &frmMain::cmdBrowseEnemy_Click);
    connect(m_cmdPlayFriend, &QToolButton::clicked, this, &frmMain::cmdPlayFriend_Click);
    connect(m_cmdPlayEnemy, &QToolButton::clicked, this, &frmMain::cmdPlayEnemy_Click);
    connect(m_cmdShowCurrent, &QPushButton::clicked, this, &frmMain::cmdShowCurrent_Click);
    connect(m_cmdAddName, &QPushButton::clicked, this, &frmMain::cmdAddName_Click);
    connect(m_cmdAddIP, &QPushButton::clicked, this, &frmMain::cmdAddIP_Click);
    connect(m_cmdAddBoth, &QPushButton::clicked, this, &frmMain::cmdAddBoth_Click);
    connect(m_cmdRemoveAll, &QPushButton::clicked, this, &frmMain::cmdRemoveAll_Click);
    connect(m_lstPlayers, &QListWidget::itemSelectionChanged, this, &frmMain::lstPlayers_Click);
    // Rows of the two lists belong together, so they scroll together.
    connect(m_lstPlayers->verticalScrollBar(), &QScrollBar::valueChanged, m_lstIP->verticalScrollBar(),
            &QScrollBar::setValue);
    connect(m_lstIP->verticalScrollBar(), &QScrollBar::valueChanged, m_lstPlayers->verticalScrollBar(),
            &QScrollBar::setValue);
    for (QLineEdit *field : m_fields)
        connect(field, &QLineEdit::textChanged, this, [this] { MarkSettingsEdited(); });
}

void frmMain::buildTray()
{
    m_mPopupSys = new QMenu(tr("&SysTray"), this);
    m_mPopupSys->setObjectName(QStringLiteral("mPopupSys"));
    m_mPopRestore = m_mPopupSys->addAction(tr("&Restore"));
    m_mPopRestore->setObjectName(QStringLiteral("mPopRestore"));
    m_mPopExit = m_mPopupSys->addAction(tr("Exit"));
    m_mPopExit->setObjectName(QStringLiteral("mPopExit"));
    connect(m_mPopRestore, &QAction::triggered, this, &frmMain::mPopRestore_Click);
    connect(m_mPopExit, &QAction::triggered, this, &frmMain::mPopExit_Click);

    QIcon icon = QApplication::windowIcon();
    if (icon.isNull())
        icon = style()->standardIcon(QStyle::SP_MessageBoxInformation);
    setWindowIcon(icon);
    m_tray = new QSystemTrayIcon(icon, this);
    m_tray->setToolTip(QStringLiteral("Heraldex"));
    m_tray->setContextMenu(m_mPopupSys);
    connect(m_tray, &QSystemTrayIcon::activated, this, &frmMain::Form_MouseMove);
    if (QSystemTrayIcon::isSystemTrayAvailable())
        m_tray->show();
}

void frmMain::setTabOrder()
{
    const QList<QWidget *> order = {
        m_txtINIfile,     m_Command1,        m_txtIPAddress,  m_txtPortNumber,  m_txtAdminName,   m_txtPassword,
        m_txtFriendWav,   m_CmdBrowseFriend, m_cmdPlayFriend, m_txtEnemyWav,    m_cmdBrowseEnemy, m_cmdPlayEnemy,
        m_cmdShowCurrent, m_optFriend,       m_optEnemy,      m_lstPlayers,     m_cmdAddName,     m_cmdAddIP,
        m_cmdAddBoth,     m_cmdRemoveAll,    m_lstAdd,        m_cmdSaveSettings};
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

void frmMain::Form_Load()
{
    m_loading = true;
    m_txtINIfile->setText(m_registry.RegGetValue(core::kHeraldexKey, core::kIniFileValue));
    if (!m_txtINIfile->text().isEmpty())
        ReadServerIni();
    m_txtIPAddress->setText(m_registry.RegGetValue(core::kHeraldexKey, core::kServerAddressValue));
    m_txtFriendWav->setText(m_registry.RegGetValue(core::kHeraldexKey, core::kFriendValue));
    m_txtEnemyWav->setText(m_registry.RegGetValue(core::kHeraldexKey, core::kEnemyValue));
    enumregkey(core::kChecklistKey.toString());
    m_savedTexts = fieldTexts();
    m_loading = false;

    const auto texts = fieldTexts();
    const auto isEmpty = [](const QString &t) { return t.isEmpty(); };
    const bool anyEmpty = std::any_of(texts.begin(), texts.end(), isEmpty);
    const bool allEmpty = std::all_of(texts.begin(), texts.end(), isEmpty);
    // Settings that are only partly stored still need saving once completed, so the save
    // button starts enabled; complete settings, and a first start, have nothing to save.
    setSaveState(anyEmpty && !allEmpty);
    setPlayerControlsEnabled(!anyEmpty);
}

void frmMain::ReadServerIni()
{
    const core::ServerIniValues values = core::ReadServerIni(m_txtINIfile->text());
    m_txtPortNumber->setText(values.port);
    m_txtAdminName->setText(values.adminName);
    m_txtPassword->setText(values.password);
}

std::array<QString, frmMain::FieldCount> frmMain::fieldTexts() const
{
    std::array<QString, FieldCount> texts;
    for (int i = 0; i < FieldCount; ++i)
        texts[i] = m_fields[i]->text();
    return texts;
}

QString frmMain::saveButtonCaption() const
{
    return m_cmdSaveSettings->text();
}

void frmMain::setSaveState(bool editsPending)
{
    m_cmdSaveSettings->setText(editsPending ? kSaveCaption : kCurrentCaption);
    m_cmdSaveSettings->setEnabled(editsPending);
}

void frmMain::MarkSettingsEdited()
{
    if (m_loading)
        return;
    // Edits are pending while any field differs from what was loaded or saved last, so
    // undoing the edit of one field never hides the pending edit of another.
    setSaveState(fieldTexts() != m_savedTexts);
    UpdatePlayerControls();
}

void frmMain::UpdatePlayerControls()
{
    const bool anySetting = !m_txtINIfile->text().isEmpty() || !m_txtIPAddress->text().isEmpty() ||
                            !m_txtPortNumber->text().isEmpty() || !m_txtAdminName->text().isEmpty() ||
                            !m_txtPassword->text().isEmpty() || !m_txtEnemyWav->text().isEmpty();
    const bool friendOnly = !m_txtFriendWav->text().isEmpty() && m_cmdSaveSettings->text() != kSaveCaption;
    setPlayerControlsEnabled(anySetting || friendOnly);
}

void frmMain::setPlayerControlsEnabled(bool enabled)
{
    for (QWidget *w : std::initializer_list<QWidget *>{m_cmdShowCurrent, m_cmdRemoveAll, m_cmdAddName, m_cmdAddIP,
                                                       m_cmdAddBoth, m_lstPlayers, m_lstAdd, m_optFriend, m_optEnemy})
        w->setEnabled(enabled);
    m_lstIP->setEnabled(enabled);
}

bool frmMain::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn) {
        for (QLineEdit *field : m_fields) {
            if (watched == field)
                m_focusText = field->text();
        }
    } else if (event->type() == QEvent::FocusOut) {
        if (watched == m_Command1 || std::find(m_fields.begin(), m_fields.end(), watched) != m_fields.end())
            MarkSettingsEdited();
    } else if (event->type() == QEvent::KeyPress && watched == m_lstAdd) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool keypadDecimal =
            (key->modifiers() & Qt::KeypadModifier) && (key->key() == Qt::Key_Period || key->key() == Qt::Key_Comma);
        if (key->key() == Qt::Key_Delete || keypadDecimal) {
            lstAdd_KeyDown(keypadDecimal ? 110 : 46);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmMain::cmdSaveSettings_Click()
{
    if (m_txtIPAddress->text().isEmpty() || m_txtPortNumber->text().isEmpty() || m_txtAdminName->text().isEmpty() ||
        m_txtPassword->text().isEmpty()) {
        m_dialogs->message(QMessageBox::Information, tr("Please enter all fields!"));
        return;
    }

    // Every write is attempted, as far as it goes; what failed is then said once.
    QStringList failures;
    const auto note = [&failures](const platform::Status &status, const QString &what) {
        if (!status)
            failures.append(what + QStringLiteral(": ") + status.error().message);
    };
    const QString regRoot = platform::RegistryStore::rootName(platform::RegistryRoot::LocalMachine) + u'\\';
    note(m_registry.RegMakeKey(core::kHeraldexKey), regRoot + core::kHeraldexKey.toString());
    note(m_registry.RegMakeKey(core::kChecklistKey), regRoot + core::kChecklistKey.toString());
    note(m_registry.RegPutValue(core::kHeraldexKey, core::kServerAddressValue, m_txtIPAddress->text()),
         core::kServerAddressValue.toString());
    if (!m_txtINIfile->text().isEmpty()) {
        note(core::WriteServerIni(m_txtINIfile->text(),
                                  {m_txtPortNumber->text(), m_txtAdminName->text(), m_txtPassword->text()}),
             m_txtINIfile->text());
    }
    note(m_registry.RegPutValue(core::kHeraldexKey, core::kIniFileValue, m_txtINIfile->text()),
         core::kIniFileValue.toString());
    note(m_registry.RegPutValue(core::kHeraldexKey, core::kFriendValue, m_txtFriendWav->text()),
         core::kFriendValue.toString());
    note(m_registry.RegPutValue(core::kHeraldexKey, core::kEnemyValue, m_txtEnemyWav->text()),
         core::kEnemyValue.toString());

    if (!failures.isEmpty()) {
        m_dialogs->message(QMessageBox::Warning,
                           tr("The settings could not all be saved:\n%1").arg(failures.join(QLatin1Char('\n'))));
        setSaveState(true);
        UpdatePlayerControls();
        return;
    }
    m_savedTexts = fieldTexts();
    setSaveState(false);
    UpdatePlayerControls();
}

void frmMain::Command1_Click()
{
    m_focusText = m_txtINIfile->text();
    QString folder = m_registry.RegGetValue(core::kGameKey, core::kGameFolderValue);
    // Without a recorded game folder (the usual case outside Windows) start at home.
    const QString start = folder.isEmpty()
                              ? platform::paths::homeFolder()
                              : QDir(QDir::fromNativeSeparators(folder)).filePath(QStringLiteral("System"));
    const QString chosen = m_dialogs->openFile(start, tr("Ini Files (*.ini);;All Files (*)"));
    if (chosen.isEmpty())
        return;
    m_txtINIfile->setText(QDir::toNativeSeparators(chosen));
    ReadServerIni();
    MarkSettingsEdited();
}

void frmMain::browseWav(QLineEdit *field)
{
    m_focusText = field->text();
    QString start = platform::paths::shippedDataFolder();
    if (start.isEmpty())
        start = QCoreApplication::applicationDirPath();
    const QString chosen = m_dialogs->openFile(start, tr("Wav Files (*.wav)"));
    if (chosen.isEmpty())
        return;
    field->setText(QDir::toNativeSeparators(chosen));
    MarkSettingsEdited();
}

void frmMain::CmdBrowseFriend_Click()
{
    browseWav(m_txtFriendWav);
}

void frmMain::cmdBrowseEnemy_Click()
{
    browseWav(m_txtEnemyWav);
}

void frmMain::playWav(const QString &path)
{
    // A file that cannot be played stays silent: no fallback sound, no message.
    if (!path.isEmpty())
        m_dialogs->playSound(path);
}

void frmMain::cmdPlayFriend_Click()
{
    playWav(m_txtFriendWav->text());
}

void frmMain::cmdPlayEnemy_Click()
{
    playWav(m_txtEnemyWav->text());
}

void frmMain::setPollInterval(int milliseconds)
{
    if (milliseconds <= 0) {
        m_Timer->stop();
        m_Timer->setInterval(0);
        return;
    }
    m_Timer->start(milliseconds);
}

void frmMain::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || !isMinimized())
        return;
    setPollInterval(kPollInterval);
    // Without a tray a hidden window could never be brought back, so it then stays an
    // ordinary minimised window (still polling).
    if (QSystemTrayIcon::isSystemTrayAvailable())
        QTimer::singleShot(0, this, [this] {
            if (isMinimized())
                hide();
        });
}

void frmMain::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_centred)
        return;
    m_centred = true;
    if (const QScreen *s = screen())
        move(s->availableGeometry().center() - frameGeometry().center() + pos());
}

void frmMain::restoreWindow()
{
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
}

void frmMain::Form_MouseMove(QSystemTrayIcon::ActivationReason reason)
{
    switch (reason) {
    case QSystemTrayIcon::Trigger:
    case QSystemTrayIcon::DoubleClick:
        // The timer keeps its interval: a window brought back this way goes on polling.
        restoreWindow();
        break;
    case QSystemTrayIcon::Context:
        activateWindow();
        break;
    default:
        break;
    }
}

void frmMain::mPopRestore_Click()
{
    restoreWindow();
    setPollInterval(0);
}

void frmMain::mPopExit_Click()
{
    close();
}

void frmMain::closeEvent(QCloseEvent *event)
{
    m_tray->hide();
    m_poller.abort();
    m_showClient.abort();
    setPollInterval(0);
    event->accept();
    emit programEnded();
}

core::ServerLogin frmMain::login() const
{
    return {m_txtAdminName->text(), m_txtPassword->text(), m_txtIPAddress->text(), m_txtPortNumber->text()};
}

void frmMain::Timer_Timer()
{
    // A tick that comes while the last poll or its sounds are still running is skipped.
    if (m_handlingPoll || m_poller.isBusy())
        return;
    m_poller.PollServer(login());
}

void frmMain::onPollFinished(const QList<core::Announcement> &announcements, core::PageError error)
{
    // The clock's own words: the hint is read at a glance, not parsed.
    const QString now = QTime::currentTime().toString(QStringLiteral("HH:mm:ss"));
    if (error == core::PageError::None) {
        m_lastSuccessTime = now;
    } else {
        m_lastFailure = pageErrorText(error, m_poller.client().lastHttpStatus(), m_poller.client().timeout());
        m_lastFailureTime = now;
        m_lastSuccessTime.clear();
    }
    updateTrayHint();
    m_handlingPoll = true;
    for (const core::Announcement &a : announcements)
        playWav(a.kind == core::EntryKind::Friend ? m_txtFriendWav->text() : m_txtEnemyWav->text());
    m_handlingPoll = false;
    emit pollHandled();
}

void frmMain::cmdShowCurrent_Click()
{
    if (m_showClient.isBusy())
        return;
    m_lstPlayers->clear();
    m_lstIP->clear();
    m_showClient.OpenServerPage(login());
}

void frmMain::updateTrayHint()
{
    QString hint = QStringLiteral("Heraldex");
    if (!m_lastFailure.isEmpty()) {
        if (!m_lastSuccessTime.isEmpty())
            hint += QLatin1Char('\n') + tr("Last poll %1: players read").arg(m_lastSuccessTime);
        hint += QLatin1Char('\n') + tr("Last failed poll %1: %2").arg(m_lastFailureTime, m_lastFailure);
    }
    m_tray->setToolTip(hint);
}

void frmMain::onShowPage(const QString &page, core::PageError error)
{
    // A page that could not be read is no empty server: say why, and leave the checklist.
    if (error != core::PageError::None) {
        m_dialogs->message(QMessageBox::Warning,
                           tr("Cannot read the players on-line.") + QLatin1Char('\n') +
                               pageErrorText(error, m_showClient.lastHttpStatus(), m_showClient.timeout()));
        emit showHandled();
        return;
    }
    if (!core::hasPlayerTable(page)) {
        m_dialogs->message(QMessageBox::Information, tr("No players on-line."));
        emit showHandled();
        return;
    }
    const QList<core::PlayerRow> rows = core::parsePlayerRows(page);
    for (const core::PlayerRow &row : rows) {
        m_lstPlayers->addItem(row.name);
        m_lstIP->addItem(row.ip);
    }
    if (rows.isEmpty()) {
        m_dialogs->message(QMessageBox::Information, tr("No players on-line."));
        (void)m_checklist.resetToYES();
    }
    emit showHandled();
}

void frmMain::lstPlayers_Click()
{
    const QSignalBlocker blocker(m_lstIP);
    for (int i = 0; i < m_lstPlayers->count() && i < m_lstIP->count(); ++i)
        m_lstIP->item(i)->setSelected(m_lstPlayers->item(i)->isSelected());
}

core::EntryKind frmMain::selectedKind() const
{
    return m_optFriend->isChecked() ? core::EntryKind::Friend : core::EntryKind::Foe;
}

bool frmMain::IsOnChecklist(const QString &text) const
{
    for (int i = 0; i < m_lstAdd->count(); ++i) {
        // Key names compare without regard to case in the registry, so do the items.
        if (m_lstAdd->item(i)->text().compare(text, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

void frmMain::addEntries(QListWidget *list, bool addressList)
{
    const core::EntryKind kind = selectedKind();
    QStringList texts;
    if (list->selectedItems().isEmpty()) {
        const bool isFriend = kind == core::EntryKind::Friend;
        const QString prompt = addressList ? (isFriend ? tr("Enter FRIEND IP Address") : tr("Enter FOE IP Address"))
                                           : (isFriend ? tr("Enter FRIEND Player Name") : tr("Enter FOE Player Name"));
        const std::optional<QString> answer = m_dialogs->inputBox(prompt);
        if (!answer || answer->isEmpty())
            return;
        texts.append(*answer);
    } else {
        for (int i = 0; i < list->count(); ++i) {
            if (list->item(i)->isSelected())
                texts.append(list->item(i)->text());
        }
    }

    QStringList refused;
    for (const QString &text : texts) {
        if (!core::Checklist::isValidEntryText(text)) {
            if (!text.isEmpty())
                refused.append(text);
            continue;
        }
        const QString key = core::Checklist::keyName(kind, text);
        if (auto added = m_checklist.addEntry(kind, text); !added) {
            refused.append(text);
            continue;
        }
        // A row already on the checklist under this prefix is armed again, not listed twice.
        if (!IsOnChecklist(key))
            m_lstAdd->addItem(key);
    }
    if (!refused.isEmpty()) {
        m_dialogs->message(
            QMessageBox::Warning,
            tr("These texts could not be put on the checklist:\n%1").arg(refused.join(QLatin1Char('\n'))));
    }
}

void frmMain::cmdAddName_Click()
{
    addEntries(m_lstPlayers, false);
}

void frmMain::cmdAddIP_Click()
{
    addEntries(m_lstIP, true);
}

void frmMain::cmdAddBoth_Click()
{
    cmdAddName_Click();
    cmdAddIP_Click();
}

void frmMain::removeEntries(const QStringList &keyNames)
{
    for (const QString &key : keyNames)
        (void)m_checklist.removeEntry(key);
    m_lstAdd->clear();
    enumregkey(core::kChecklistKey.toString());
}

void frmMain::cmdRemoveAll_Click()
{
    QStringList keys;
    for (int i = 0; i < m_lstAdd->count(); ++i)
        keys.append(m_lstAdd->item(i)->text());
    removeEntries(keys);
}

void frmMain::lstAdd_KeyDown(int keyCode)
{
    if (keyCode != 46 && keyCode != 110)
        return;
    QStringList keys;
    for (const QListWidgetItem *item : m_lstAdd->selectedItems())
        keys.append(item->text());
    removeEntries(keys);
}

void frmMain::enumregkey(const QString &strKey)
{
    m_lstAdd->addItems(m_store.subKeyNames(strKey));
}

} // namespace heraldex::ui
