// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/frontend/netforms/optionsform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "orv/frontend/formstorage/formstorage.h"
#include "orv/frontend/netforms/radiogroup.h"
#include "orv/net/systemproxy.h"

namespace orv::frontend {

const QString TOptionsForm::kProxyError = QStringLiteral("I`m can not get proxy config from your registry!");

namespace {

QComboBox *numberBox(QWidget *parent, const QString &name, const QStringList &choices, const QString &text)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(name);
    box->setEditable(true);
    // A typed number is taken as the box's text; a refused text must not join the choices.
    box->setInsertPolicy(QComboBox::NoInsert);
    box->addItems(choices);
    box->setCurrentText(text);
    return box;
}

QLineEdit *edit(QWidget *parent, const QString &name, const QString &text)
{
    auto *e = new QLineEdit(text, parent);
    e->setObjectName(name);
    return e;
}

QCheckBox *check(QWidget *parent, const QString &name, const QString &caption, bool checked)
{
    auto *c = new QCheckBox(caption, parent);
    c->setObjectName(name);
    c->setChecked(checked);
    return c;
}

} // namespace

TOptionsForm::TOptionsForm(platform::RegistryStore &store, QWidget *parent)
    : QDialog(parent)
    , m_serversListFont(defaultListFont())
    , m_playersListFont(defaultListFont())
{
    setObjectName(QStringLiteral("OptionsForm"));
    setWindowTitle(tr("Options"));
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint);

    // One page per section, so the window fits the smallest screen (800 x 600) with room to
    // spare; each page is titled by its section's caption.
    auto *grid = new QGridLayout(this);
    int row = 0;
    auto *sections = new QTabWidget(this);
    sections->setObjectName(QStringLiteral("Sections"));
    for (auto build : {&TOptionsForm::buildInternetSection, &TOptionsForm::buildLocalSection,
                       &TOptionsForm::buildInterfaceSection}) {
        auto *page = new QWidget(sections);
        auto *pageGrid = new QGridLayout(page);
        int pageRow = 0;
        (this->*build)(pageGrid, pageRow);
        pageGrid->setRowStretch(pageRow, 1);
        auto *box = page->findChild<QGroupBox *>(QString(), Qt::FindDirectChildrenOnly);
        sections->addTab(page, box ? box->title() : QString());
        if (box) {
            box->setTitle(QString());
            box->setFlat(true);
        }
    }
    grid->addWidget(sections, row++, 0, 1, 2);

    auto *exitButton = new QPushButton(tr("Close"), this);
    exitButton->setObjectName(QStringLiteral("ExitButton"));
    connect(exitButton, &QPushButton::clicked, this, [this] { emit clickSound(QStringLiteral("select.wav")); });
    connect(exitButton, &QPushButton::clicked, this, &QDialog::accept);
    auto *bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(exitButton);
    grid->addLayout(bottom, row, 0, 1, 2);

    resize(sizeHint().expandedTo(QSize(468, 400)));
    if (const QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());

    m_storage = new TFormStorage(this, store);
    m_storage->setObjectName(QStringLiteral("FormStorage1"));
    m_storage->setIniSection(QStringLiteral("Main options"));
    m_storage->setOptions(TPlacementOption::fpPosition);
    m_storage->setStoredProps({
        QStringLiteral("AlwaysRefresh.Checked"), QStringLiteral("AutoOpen.ItemIndex"),
        QStringLiteral("BeaconPort.Text"),       QStringLiteral("InternetServTimeOut.Text"),
        QStringLiteral("LocalServTimeOut.Text"), QStringLiteral("Reloadlist.ItemIndex"),
        QStringLiteral("ServerBeaconPort.Text"), QStringLiteral("WhenStart.ItemIndex"),
        QStringLiteral("ServerTry.Text"),        QStringLiteral("AllowNotfull.Checked"),
        QStringLiteral("QueriesAtOnce.Text"),    QStringLiteral("SmallImage.Checked"),
        QStringLiteral("ServerTry.Enabled"),     QStringLiteral("ContRefr.Checked"),
        QStringLiteral("BeaconPort2.Text"),      QStringLiteral("BeaconSign1.Text"),
        QStringLiteral("BeaconSign2.Text"),      QStringLiteral("ServerBeaconPort2.Text"),
        QStringLiteral("ProxyEnabling.Checked"), QStringLiteral("ProxyPort.Enabled"),
        QStringLiteral("ProxyPort.Text"),        QStringLiteral("ProxyHost.Text"),
        QStringLiteral("ProxyHost.Enabled"),     QStringLiteral("MinimizetoTray.Checked"),
        QStringLiteral("UsePing.Checked"),       QStringLiteral("UseSounds.Checked"),
        QStringLiteral("Merge.ItemIndex"),       QStringLiteral("SndSelect.Enabled"),
    });
    // The sound switch and the engine's options follow the stored choices as soon as they
    // are loaded.
    connect(m_storage, &TFormStorage::OnRestorePlacement, this, [this] {
        takeAllEngineOptions();
        emit soundsSwitched(useSounds());
    });
    wireEngineOptions();
    takeAllEngineOptions();
}

TOptionsForm::~TOptionsForm()
{
    TFormStorage::formDestroying(this);
}

void TOptionsForm::buildInternetSection(QGridLayout *grid, int &row)
{
    auto *box = new QGroupBox(tr("Internet"), this);
    auto *g = new QGridLayout(box);

    m_color95Button2 = new QPushButton(tr("Select, Delete, Add  server address"), box);
    m_color95Button2->setObjectName(QStringLiteral("Color95Button2"));
    connect(m_color95Button2, &QPushButton::clicked, this, [this] { emit clickSound(QStringLiteral("dropdown.wav")); });
    connect(m_color95Button2, &QPushButton::clicked, this, &TOptionsForm::serversListsWindowRequested);
    g->addWidget(new QLabel(tr("Servers lists"), box), 0, 0);
    g->addWidget(m_color95Button2, 0, 1, 1, 3);

    m_merge = new TRadioGroup(tr("Unreal / Unreal Tournament"), {tr("Merge lists"), tr("Ask what to use")}, 1, box);
    m_merge->setObjectName(QStringLiteral("Merge"));
    m_merge->setItemIndex(1);
    connect(m_merge, &TRadioGroup::clicked, this, &TOptionsForm::MergeClick);
    m_reloadlist = new TRadioGroup(
        tr("List load"), {tr("Always reload servers list from Internet"), tr("Load servers list from saved file")}, 1,
        box);
    m_reloadlist->setObjectName(QStringLiteral("Reloadlist"));
    m_reloadlist->setItemIndex(0);
    connect(m_reloadlist, &TRadioGroup::clicked, this, &TOptionsForm::ReloadlistClick);
    g->addWidget(m_merge, 1, 0, 1, 2);
    g->addWidget(m_reloadlist, 1, 2, 1, 2);

    m_proxyEnabling = check(box, QStringLiteral("ProxyEnabling"), tr("Proxy host / port"), false);
    connect(m_proxyEnabling, &QCheckBox::clicked, this, &TOptionsForm::ProxyEnablingClick);
    m_proxyHost = edit(box, QStringLiteral("ProxyHost"), QString());
    m_proxyHost->setEnabled(false);
    QAction *readProxy =
        m_proxyHost->addAction(style()->standardIcon(QStyle::SP_BrowserReload), QLineEdit::TrailingPosition);
    readProxy->setObjectName(QStringLiteral("ProxyHostButton"));
    readProxy->setToolTip(tr("Get proxy config from windows registry"));
    connect(readProxy, &QAction::triggered, this, &TOptionsForm::ProxyHostButtonClick);
    m_proxyPort = edit(box, QStringLiteral("ProxyPort"), QString());
    m_proxyPort->setEnabled(false);
    m_proxyPort->setMaximumWidth(70);
    g->addWidget(m_proxyEnabling, 2, 0);
    g->addWidget(m_proxyHost, 2, 1, 1, 2);
    g->addWidget(m_proxyPort, 2, 3);

    m_allowNotfull =
        check(box, QStringLiteral("AllowNotfull"), tr("Allow not full information try to response game server"), true);
    connect(m_allowNotfull, &QCheckBox::clicked, this, &TOptionsForm::AllowNotfullClick);
    m_serverTry = numberBox(box, QStringLiteral("ServerTry"),
                            {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4")},
                            QStringLiteral("1"));
    m_serverTry->setEnabled(false);
    g->addWidget(m_allowNotfull, 3, 0, 1, 3);
    g->addWidget(m_serverTry, 3, 3);

    m_contRefr = check(box, QStringLiteral("ContRefr"), tr("Continue refresh when game is started"), false);
    connect(m_contRefr, &QCheckBox::clicked, this, &TOptionsForm::AllowNotfullClick);
    m_usePing = check(box, QStringLiteral("UsePing"), tr("Ping servers"), true);
    connect(m_usePing, &QCheckBox::clicked, this, &TOptionsForm::ProxyEnablingClick);
    g->addWidget(m_contRefr, 4, 0, 1, 2);
    g->addWidget(m_usePing, 4, 2, 1, 2);

    m_internetServTimeOut =
        numberBox(box, QStringLiteral("InternetServTimeOut"),
                  {QStringLiteral("400"), QStringLiteral("500"), QStringLiteral("600"), QStringLiteral("900"),
                   QStringLiteral("1000"), QStringLiteral("2000"), QStringLiteral("3000")},
                  QStringLiteral("600"));
    g->addWidget(new QLabel(tr("Time out game server"), box), 5, 0);
    g->addWidget(m_internetServTimeOut, 5, 1);
    g->addWidget(new QLabel(tr("msec"), box), 5, 2);

    m_queriesAtOnce = numberBox(box, QStringLiteral("QueriesAtOnce"),
                                {QStringLiteral("1"), QStringLiteral("8"), QStringLiteral("16"), QStringLiteral("32"),
                                 QStringLiteral("64"), QStringLiteral("128"), QStringLiteral("256")},
                                QStringLiteral("32"));
    m_queriesAtOnce->setToolTip(tr("Servers asked at the same time (1-256); 32 suits most connections"));
    g->addWidget(new QLabel(tr("Queries at once"), box), 6, 0);
    g->addWidget(m_queriesAtOnce, 6, 1);
    g->addWidget(new QLabel(tr("32 suits most connections"), box), 6, 2, 1, 2);

    grid->addWidget(box, row++, 0, 1, 2);
}

void TOptionsForm::buildLocalSection(QGridLayout *grid, int &row)
{
    auto *box = new QGroupBox(tr("Local network (Dedicated servers beacon)"), this);
    auto *g = new QGridLayout(box);
    g->addWidget(new QLabel(tr("Unreal"), box), 0, 1);
    g->addWidget(new QLabel(tr("Unreal Tournament"), box), 0, 2);
    g->addWidget(new QLabel(tr("Beacon sign"), box), 1, 0);
    g->addWidget(new QLabel(tr("Beacon port"), box), 2, 0);
    g->addWidget(new QLabel(tr("Server beacon port"), box), 3, 0);

    m_beaconSign1 = edit(box, QStringLiteral("BeaconSign1"), QStringLiteral("Unreal"));
    m_beaconPort = edit(box, QStringLiteral("BeaconPort"), QStringLiteral("7776"));
    m_serverBeaconPort = edit(box, QStringLiteral("ServerBeaconPort"), QStringLiteral("7775"));
    m_beaconSign2 = edit(box, QStringLiteral("BeaconSign2"), QStringLiteral("ut"));
    m_beaconPort2 = edit(box, QStringLiteral("BeaconPort2"), QStringLiteral("9777"));
    m_serverBeaconPort2 = edit(box, QStringLiteral("ServerBeaconPort2"), QStringLiteral("8777"));
    g->addWidget(m_beaconSign1, 1, 1);
    g->addWidget(m_beaconPort, 2, 1);
    g->addWidget(m_serverBeaconPort, 3, 1);
    g->addWidget(m_beaconSign2, 1, 2);
    g->addWidget(m_beaconPort2, 2, 2);
    g->addWidget(m_serverBeaconPort2, 3, 2);

    m_localServTimeOut = numberBox(box, QStringLiteral("LocalServTimeOut"),
                                   {QStringLiteral("200"), QStringLiteral("500"), QStringLiteral("800"),
                                    QStringLiteral("900"), QStringLiteral("1000"), QStringLiteral("2000")},
                                   QStringLiteral("400"));
    g->addWidget(new QLabel(tr("Beacon wait time"), box), 4, 0);
    g->addWidget(m_localServTimeOut, 4, 1);
    g->addWidget(new QLabel(tr("msec"), box), 4, 2);
    grid->addWidget(box, row++, 0, 1, 2);
}

void TOptionsForm::buildInterfaceSection(QGridLayout *grid, int &row)
{
    auto *box = new QGroupBox(tr("Interface"), this);
    auto *g = new QGridLayout(box);

    m_autoOpen = new TRadioGroup(
        tr("Auto open"), {tr("Nothing"), tr("Internet servers"), tr("Local servers"), tr("Favorites folder")}, 2, box);
    m_autoOpen->setObjectName(QStringLiteral("AutoOpen"));
    m_autoOpen->setItemIndex(0);
    m_whenStart =
        new TRadioGroup(tr("When start game"), {tr("Minimize window"), tr("Terminate"), tr("Keep position")}, 2, box);
    m_whenStart->setObjectName(QStringLiteral("WhenStart"));
    m_whenStart->setItemIndex(0);
    g->addWidget(m_autoOpen, 0, 0, 1, 2);
    g->addWidget(m_whenStart, 0, 2, 1, 2);

    m_alwaysRefresh = check(box, QStringLiteral("AlwaysRefresh"), tr("Always servers refresh list"), true);
    m_smallImage = check(box, QStringLiteral("SmallImage"), tr("Small images in Servers list (Report mode)"), true);
    connect(m_smallImage, &QCheckBox::clicked, this, &TOptionsForm::SmallImageClick);
    m_useSounds = check(box, QStringLiteral("UseSounds"), tr("Sounds"), true);
    connect(m_useSounds, &QCheckBox::clicked, this, &TOptionsForm::UseSoundsClick);
    m_sndSelect = new QToolButton(box);
    m_sndSelect->setObjectName(QStringLiteral("SndSelect"));
    m_sndSelect->setText(QStringLiteral("…"));
    m_sndSelect->setToolTip(tr("Change sounds"));
    connect(m_sndSelect, &QToolButton::clicked, this, [this] { emit clickSound(QStringLiteral("dropdown.wav")); });
    connect(m_sndSelect, &QToolButton::clicked, this, &TOptionsForm::soundsWindowRequested);
    m_minimizetoTray = check(box, QStringLiteral("MinimizetoTray"), tr("Minimize to tray"), true);
    g->addWidget(m_alwaysRefresh, 1, 0, 1, 2);
    g->addWidget(m_smallImage, 1, 2, 1, 2);
    auto *sounds = new QHBoxLayout;
    sounds->addWidget(m_useSounds);
    sounds->addWidget(m_sndSelect);
    sounds->addStretch();
    g->addLayout(sounds, 2, 0, 1, 2);
    g->addWidget(m_minimizetoTray, 2, 2, 1, 2);

    auto *serversFont = new QPushButton(tr("Servers list font"), box);
    serversFont->setObjectName(QStringLiteral("Color95Button1"));
    serversFont->setToolTip(tr("Select font for Servers list"));
    connect(serversFont, &QPushButton::clicked, this, [this] { emit clickSound(QStringLiteral("dropdown.wav")); });
    connect(serversFont, &QPushButton::clicked, this, &TOptionsForm::Color95Button1Click);
    auto *serversDefault = new QToolButton(box);
    serversDefault->setObjectName(QStringLiteral("SpeedButton1"));
    serversDefault->setText(QStringLiteral("A"));
    serversDefault->setToolTip(tr("Default Font"));
    connect(serversDefault, &QToolButton::clicked, this, &TOptionsForm::SpeedButton1Click);
    auto *playersFont = new QPushButton(tr("Players list font"), box);
    playersFont->setObjectName(QStringLiteral("Color95Button3"));
    playersFont->setToolTip(tr("Select font for Players list"));
    connect(playersFont, &QPushButton::clicked, this, [this] { emit clickSound(QStringLiteral("dropdown.wav")); });
    connect(playersFont, &QPushButton::clicked, this, &TOptionsForm::Color95Button3Click);
    auto *playersDefault = new QToolButton(box);
    playersDefault->setObjectName(QStringLiteral("SpeedButton2"));
    playersDefault->setText(QStringLiteral("A"));
    playersDefault->setToolTip(tr("Default Font"));
    connect(playersDefault, &QToolButton::clicked, this, &TOptionsForm::SpeedButton2Click);
    g->addWidget(serversFont, 3, 0);
    g->addWidget(serversDefault, 3, 1);
    g->addWidget(playersFont, 3, 2);
    g->addWidget(playersDefault, 3, 3);

    auto *exportButton = new QPushButton(tr("Export all settings"), box);
    exportButton->setObjectName(QStringLiteral("Color95Button4"));
    exportButton->setToolTip(tr("Export all setting and presets to file"));
    connect(exportButton, &QPushButton::clicked, this, [this] { emit clickSound(QStringLiteral("beep.wav")); });
    connect(exportButton, &QPushButton::clicked, this, &TOptionsForm::Color95Button4Click);
    g->addWidget(exportButton, 4, 0, 1, 2);
    grid->addWidget(box, row++, 0, 1, 2);
}

void TOptionsForm::wireEngineOptions()
{
    using engine::EngineOptions;
    m_numberFields = {
        {m_internetServTimeOut, tr("Time out game server"), engine::kTimeOutRange, &EngineOptions::internetServTimeOut,
         nullptr},
        {m_serverTry, tr("Tries for not full information"), engine::kServerTryRange, &EngineOptions::serverTry,
         nullptr},
        {m_queriesAtOnce, tr("Queries at once"), engine::kQueriesAtOnceRange, &EngineOptions::queriesAtOnce, nullptr},
        {m_localServTimeOut, tr("Beacon wait time"), engine::kTimeOutRange, &EngineOptions::localServTimeOut, nullptr},
        {m_beaconPort, tr("Unreal beacon port"), engine::kPortRange, nullptr, &EngineOptions::beaconPort},
        {m_serverBeaconPort, tr("Unreal server beacon port"), engine::kPortRange, nullptr,
         &EngineOptions::serverBeaconPort},
        {m_beaconPort2, tr("Unreal Tournament beacon port"), engine::kPortRange, nullptr, &EngineOptions::beaconPort2},
        {m_serverBeaconPort2, tr("Unreal Tournament server beacon port"), engine::kPortRange, nullptr,
         &EngineOptions::serverBeaconPort2},
    };
    for (const NumberField &field : m_numberFields) {
        auto *combo = qobject_cast<QComboBox *>(field.box);
        QLineEdit *line = combo ? combo->lineEdit() : qobject_cast<QLineEdit *>(field.box);
        // A text set by the program or chosen from the list counts at once; what the user
        // types counts when the box is left or Return is pressed.
        const auto changed = [this, field, line] {
            if (!line->isModified())
                takeNumber(field, false);
        };
        if (combo)
            connect(combo, &QComboBox::currentTextChanged, this, changed);
        else
            connect(line, &QLineEdit::textChanged, this, changed);
        connect(line, &QLineEdit::editingFinished, this, [this, field, line] {
            takeNumber(field, true);
            line->setModified(false);
        });
    }
    for (QCheckBox *box : {m_allowNotfull, m_usePing, m_alwaysRefresh, m_contRefr})
        connect(box, &QCheckBox::toggled, this, &TOptionsForm::takeSwitchesAndSigns);
    for (QLineEdit *sign : {m_beaconSign1, m_beaconSign2})
        connect(sign, &QLineEdit::textChanged, this, &TOptionsForm::takeSwitchesAndSigns);
}

QString TOptionsForm::boxText(const QWidget *box)
{
    if (const auto *combo = qobject_cast<const QComboBox *>(box))
        return combo->currentText();
    return qobject_cast<const QLineEdit *>(box)->text();
}

void TOptionsForm::setBoxText(QWidget *box, const QString &text)
{
    if (auto *combo = qobject_cast<QComboBox *>(box))
        combo->setCurrentText(text);
    else
        qobject_cast<QLineEdit *>(box)->setText(text);
}

int TOptionsForm::fieldValue(const NumberField &field) const
{
    return field.number ? m_engineOptions.*field.number : m_engineOptions.*field.port;
}

void TOptionsForm::takeNumber(const NumberField &field, bool committed)
{
    const QString text = boxText(field.box);
    if (const auto n = engine::parseOption(text, field.range)) {
        if (*n == fieldValue(field))
            return;
        engine::EngineOptions o = m_engineOptions;
        if (field.number)
            o.*field.number = *n;
        else
            o.*field.port = static_cast<quint16>(*n);
        setEngineOptions(o);
        return;
    }
    if (!committed)
        return;
    const QString kept = QString::number(fieldValue(field));
    setBoxText(field.box, kept);
    showError(tr("%1: \"%2\" is not a number from %3 to %4; %5 stays in use.")
                  .arg(field.name, text, QString::number(field.range.least), QString::number(field.range.most), kept));
}

void TOptionsForm::takeAllEngineOptions()
{
    engine::EngineOptions o = m_engineOptions;
    for (const NumberField &field : m_numberFields) {
        const auto n = engine::parseOption(boxText(field.box), field.range);
        const int value = n ? *n : fieldValue(field);
        if (field.number)
            o.*field.number = value;
        else
            o.*field.port = static_cast<quint16>(value);
        if (!n) {
            const QSignalBlocker quiet(field.box);
            setBoxText(field.box, QString::number(value));
        }
    }
    m_engineOptions = o;
    takeSwitchesAndSigns();
    emit engineOptionsChanged(m_engineOptions);
}

void TOptionsForm::takeSwitchesAndSigns()
{
    engine::EngineOptions o = m_engineOptions;
    o.allowNotfull = m_allowNotfull->isChecked();
    o.usePing = m_usePing->isChecked();
    o.alwaysRefresh = m_alwaysRefresh->isChecked();
    o.contRefr = m_contRefr->isChecked();
    o.beaconSign1 = m_beaconSign1->text();
    o.beaconSign2 = m_beaconSign2->text();
    setEngineOptions(o);
}

void TOptionsForm::setEngineOptions(const engine::EngineOptions &options)
{
    if (options == m_engineOptions)
        return;
    m_engineOptions = options;
    emit engineOptionsChanged(m_engineOptions);
}

net::ProxySettings TOptionsForm::proxySettings() const
{
    return {m_proxyEnabling->isChecked(), m_proxyHost->text(), m_proxyPort->text()};
}

net::ListLoad TOptionsForm::reloadList() const
{
    return m_reloadlist->itemIndex() == 1 ? net::ListLoad::SavedFile : net::ListLoad::AlwaysReload;
}

net::ListMerge TOptionsForm::merge() const
{
    return m_merge->itemIndex() == 1 ? net::ListMerge::AskWhatToUse : net::ListMerge::MergeLists;
}

int TOptionsForm::autoOpen() const
{
    return m_autoOpen->itemIndex();
}

int TOptionsForm::whenStart() const
{
    return m_whenStart->itemIndex();
}

bool TOptionsForm::minimizeToTray() const
{
    return m_minimizetoTray->isChecked();
}

bool TOptionsForm::useSounds() const
{
    return m_useSounds->isChecked();
}

bool TOptionsForm::smallImages() const
{
    return m_smallImage->isChecked();
}

bool TOptionsForm::continueRefresh() const
{
    return m_contRefr->isChecked();
}

void TOptionsForm::setCurrentFonts(const QFont &serversList, const QFont &playersList)
{
    m_serversListFont = serversList;
    m_playersListFont = playersList;
}

QFont TOptionsForm::defaultListFont()
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    return font;
}

void TOptionsForm::ReloadlistClick()
{
    if (m_reloadlist->itemIndex() == 1)
        m_merge->setItemIndex(0);
}

void TOptionsForm::MergeClick()
{
    if (m_merge->itemIndex() == 1)
        m_reloadlist->setItemIndex(0);
}

void TOptionsForm::AllowNotfullClick()
{
    m_serverTry->setEnabled(!m_allowNotfull->isChecked());
}

void TOptionsForm::ProxyEnablingClick()
{
    m_proxyHost->setEnabled(m_proxyEnabling->isChecked());
    m_proxyPort->setEnabled(m_proxyHost->isEnabled());
}

void TOptionsForm::ProxyHostButtonClick()
{
    const std::optional<QString> setting = m_proxyReader ? m_proxyReader() : net::systemProxySetting();
    if (!setting) {
        showError(kProxyError);
        if (!m_proxyRead) {
            m_proxyEnabling->setChecked(false);
            ProxyEnablingClick();
        }
        return;
    }
    m_proxyRead = true;
    const net::ProxyHostPort split = net::splitProxySetting(*setting);
    m_proxyHost->setText(split.host);
    m_proxyPort->setText(split.port);
}

void TOptionsForm::UseSoundsClick()
{
    m_sndSelect->setEnabled(m_useSounds->isChecked());
    emit soundsSwitched(m_useSounds->isChecked());
}

void TOptionsForm::SmallImageClick()
{
    emit smallImagesChanged(m_smallImage->isChecked());
}

void TOptionsForm::Color95Button1Click()
{
    const std::optional<QFont> font =
        m_fontChooser ? m_fontChooser(m_serversListFont) : [this]() -> std::optional<QFont> {
        bool ok = false;
        const QFont chosen = QFontDialog::getFont(&ok, m_serversListFont, this);
        return ok ? std::optional<QFont>(chosen) : std::nullopt;
    }();
    if (!font)
        return;
    m_serversListFont = *font;
    emit serversListFontChanged(*font);
}

void TOptionsForm::Color95Button3Click()
{
    const std::optional<QFont> font =
        m_fontChooser ? m_fontChooser(m_playersListFont) : [this]() -> std::optional<QFont> {
        bool ok = false;
        const QFont chosen = QFontDialog::getFont(&ok, m_playersListFont, this);
        return ok ? std::optional<QFont>(chosen) : std::nullopt;
    }();
    if (!font)
        return;
    m_playersListFont = *font;
    emit playersListFontChanged(*font);
}

void TOptionsForm::SpeedButton1Click()
{
    m_serversListFont = defaultListFont();
    emit serversListFontChanged(m_serversListFont);
}

void TOptionsForm::SpeedButton2Click()
{
    m_playersListFont = defaultListFont();
    emit playersListFontChanged(m_playersListFont);
}

void TOptionsForm::Color95Button4Click()
{
    QString file;
    if (m_exportChooser) {
        file = m_exportChooser();
    } else {
        QFileDialog dialog(this, tr("Export settings"), QString(), tr("Registry files (*.reg)"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(QStringLiteral("reg"));
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            file = dialog.selectedFiles().first();
    }
    if (file.isEmpty())
        return;
    const auto exported = m_storage->ExportSettings(file);
    if (!exported)
        showError(exported.error().message);
}

void TOptionsForm::showError(const QString &message)
{
    if (m_showError)
        m_showError(message);
    else
        QMessageBox::critical(this, windowTitle(), message, QMessageBox::Ok);
}

void TOptionsForm::keyPressEvent(QKeyEvent *event)
{
    // Esc closes the window as "Close" does, with the result OK.
    if (event->key() == Qt::Key_Escape) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace orv::frontend
