// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/tools/ui/tiniform.h"

#include <utility>

#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QTableView>

#include "orv/tools/ui/filenamebox.h"
#include "orv/tools/ui/inivaluedelegate.h"
#include "orv/tools/ui/inivaluesmodel.h"
#include "orv/tools/ui/truefalsebox.h"
#include "platform/textfile.h"

namespace orv::tools {

namespace {

constexpr int kGridColumnWidth = 250;

QString fileErrorText(const QString &path, const platform::Error &error)
{
    return QDir::toNativeSeparators(path) + QLatin1Char('\n') + error.message;
}

} // namespace

TINIForm::TINIForm(QWidget *parent, const QString &tempPath)
    : QDialog(parent)
    , m_session(tempPath)
{
    buildControls();
    clearWindow();
}

// A file still open when the program ends keeps its working copy: only the user's answer
// to the close question may drop edits.
TINIForm::~TINIForm()
{
    emit destroying(this);
}

void TINIForm::buildControls()
{
    setObjectName(QStringLiteral("INIForm"));
    setWindowTitle(tr("INI files manager"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    QPalette dark = palette();
    dark.setColor(QPalette::Window, Qt::black);
    dark.setColor(QPalette::WindowText, Qt::white);
    setPalette(dark);
    setAutoFillBackground(true);

    INIList = new QListWidget(this);
    INIList->setObjectName(QStringLiteral("INIList"));
    INIList->setToolTip(tr("Select INI file to edit"));
    INIList->setIconSize(QSize(16, 16));
    INIList->setMinimumWidth(140);

    Section = new QListWidget(this);
    Section->setObjectName(QStringLiteral("Section"));
    Section->setToolTip(tr("Current INI section"));
    Section->setMinimumWidth(150);

    m_model = new IniValuesModel(m_session, this);
    INIVal = new QTableView(this);
    INIVal->setObjectName(QStringLiteral("INIVal"));
    INIVal->setModel(m_model);
    INIVal->setItemDelegate(new IniValueDelegate(*m_model, INIVal));
    INIVal->setSelectionMode(QAbstractItemView::SingleSelection);
    INIVal->setSelectionBehavior(QAbstractItemView::SelectItems);
    INIVal->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                            QAbstractItemView::AnyKeyPressed);
    INIVal->verticalHeader()->hide();
    INIVal->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    INIVal->horizontalHeader()->setDefaultSectionSize(kGridColumnWidth);
    QFont bold = INIVal->font();
    bold.setBold(true);
    INIVal->setFont(bold);
    // The grid scrolls sideways rather than push the window past the smallest screen.
    INIVal->setMinimumWidth(kGridColumnWidth + 40);

    ComboBox1 = new TrueFalseBox(INIVal->viewport());
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->hide();
    FilenameEdit1 = new FileNameBox(INIVal->viewport());
    FilenameEdit1->setObjectName(QStringLiteral("FilenameEdit1"));
    FilenameEdit1->hide();

    CFullPath = new QCheckBox(tr("Full path for files"), this);
    CFullPath->setObjectName(QStringLiteral("CFullPath"));

    m_browseButton = new QPushButton(tr("Browse INI folder"), this);
    SaveIni = new QPushButton(tr("Save INI"), this);
    SaveIni->setObjectName(QStringLiteral("SaveIni"));
    SaveIni->setToolTip(tr("Save current INI file"));
    SaveIniAs = new QPushButton(tr("Save INI as.."), this);
    SaveIniAs->setObjectName(QStringLiteral("SaveIniAs"));
    SaveIniAs->setToolTip(tr("Save current INI file to other file name"));
    m_closeButton = new QPushButton(tr("Close"), this);
    for (QPushButton *button : {m_browseButton, SaveIni, SaveIniAs, m_closeButton})
        button->setAutoDefault(false);

    auto *grid = new QGridLayout(this);
    grid->addWidget(new QLabel(tr("INI files"), this), 0, 0);
    grid->addWidget(new QLabel(tr("Sections"), this), 0, 1);
    grid->addWidget(new QLabel(tr("Values"), this), 0, 2);
    grid->addWidget(INIList, 1, 0);
    grid->addWidget(Section, 1, 1);
    grid->addWidget(INIVal, 1, 2);
    grid->addWidget(m_browseButton, 2, 0);
    grid->addWidget(CFullPath, 2, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(SaveIni);
    buttons->addWidget(SaveIniAs);
    buttons->addWidget(m_closeButton);
    grid->addLayout(buttons, 2, 2);
    // On a small screen the grid gets most of the room the lists leave.
    grid->setColumnStretch(0, 2);
    grid->setColumnStretch(1, 2);
    grid->setColumnStretch(2, 5);
    // Wide enough for both grid columns where the screen allows, and centred on the screen
    // until a stored place is applied. The frame is not known yet: leave room for it.
    QSize size(1060, 560);
    if (const QScreen *screen = this->screen()) {
        const QRect available = screen->availableGeometry();
        size = size.boundedTo(available.size() - QSize(16, 48)).expandedTo(minimumSizeHint());
        resize(size);
        move(available.center() - rect().center());
    } else {
        resize(size);
    }

    m_watcher = new QFileSystemWatcher(this);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, &TINIForm::refreshIniList);

    connect(INIList, &QListWidget::itemActivated, this,
            [this](QListWidgetItem *item) { openIniFile(item->data(Qt::UserRole).toString()); });
    connect(Section, &QListWidget::currentRowChanged, this, &TINIForm::showSection);
    connect(INIVal->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) { chooseValueEditorFor(current); });
    connect(ComboBox1, &TrueFalseBox::committed, this, &TINIForm::commitValueEditor);
    connect(FilenameEdit1, &FileNameBox::committed, this, &TINIForm::commitValueEditor);
    connect(FilenameEdit1, &FileNameBox::browseRequested, this, &TINIForm::chooseValueFile);
    const std::pair<QPushButton *, const char *> clickSounds[] = {
        {SaveIni, "beep.wav"}, {SaveIniAs, "beep.wav"}, {m_browseButton, "respawn.wav"}, {m_closeButton, "select.wav"}};
    for (const auto &[button, sound] : clickSounds) {
        const QString name = QString::fromLatin1(sound);
        connect(button, &QPushButton::clicked, this, [this, name] { emit clickSound(name); });
    }
    connect(SaveIni, &QPushButton::clicked, this, &TINIForm::saveIni);
    connect(SaveIniAs, &QPushButton::clicked, this, &TINIForm::saveIniAs);
    connect(m_browseButton, &QPushButton::clicked, this, &TINIForm::browseIniFolder);
    connect(m_closeButton, &QPushButton::clicked, this, &TINIForm::close);
}

void TINIForm::setGameExecutableSource(std::function<QString()> source)
{
    m_gameExecutable = std::move(source);
}

void TINIForm::setSettingsHooks(std::function<void()> load, std::function<void()> save)
{
    m_loadSettings = std::move(load);
    m_saveSettings = std::move(save);
}

QString TINIForm::settingsSection()
{
    return QStringLiteral("INI editor");
}

QStringList TINIForm::storedProperties()
{
    return {QStringLiteral("CFullPath.Checked")};
}

bool TINIForm::isFullPathChecked() const
{
    return CFullPath->isChecked();
}

void TINIForm::setFullPathChecked(bool checked)
{
    CFullPath->setChecked(checked);
}

const QByteArray &TINIForm::shownSection() const
{
    return m_model->section();
}

void TINIForm::setIniFolder(const QString &folder)
{
    if (!m_watcher->directories().isEmpty())
        m_watcher->removePaths(m_watcher->directories());
    m_iniFolder = folder;
    if (!folder.isEmpty() && QFileInfo(folder).isDir())
        m_watcher->addPath(folder);
    refreshIniList();
}

void TINIForm::refreshIniList()
{
    INIList->clear();
    if (m_iniFolder.isEmpty())
        return;
    const QDir dir(m_iniFolder);
    // Name filters without QDir::CaseSensitive match "User.INI" as well as "user.ini".
    const QFileInfoList files =
        dir.entryInfoList({QStringLiteral("*.ini*")}, QDir::Files | QDir::Hidden, QDir::Name | QDir::IgnoreCase);
    const QFileIconProvider icons;
    for (const QFileInfo &info : files) {
        auto *item = new QListWidgetItem(icons.icon(info), info.fileName(), INIList);
        item->setData(Qt::UserRole, info.absoluteFilePath());
    }
}

void TINIForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    if (m_gameExecutable) {
        const QString exe = m_gameExecutable();
        // On this platform file names keep their case: a folder upper-cased the way the
        // Windows original shows it would not exist here.
        if (!exe.isEmpty())
            setIniFolder(QFileInfo(exe).absolutePath());
    }
    m_mapsFolder = mapsFolderFor(m_iniFolder);
    if (m_loadSettings)
        m_loadSettings();
}

bool TINIForm::openIniFile(const QString &path)
{
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return false;
    if (!closeCurrentFile())
        return false;
    if (auto opened = m_session.open(path); !opened) {
        showFileError(fileErrorText(path, opened.error()));
        return false;
    }
    Section->blockSignals(true);
    for (const QByteArray &name : m_session.store()->sectionNames())
        Section->addItem(platform::textfile::fromAnsi(name));
    Section->blockSignals(false);
    if (Section->count() > 0) {
        Section->setCurrentRow(0);
        showSection(0);
    }
    SaveIni->setEnabled(true);
    SaveIniAs->setEnabled(true);
    m_savedCaption = windowTitle();
    setWindowTitle(tr("Opened:") + QDir::toNativeSeparators(path));
    return true;
}

void TINIForm::showSection(int row)
{
    if (!m_session.isOpen() || row < 0 || row >= Section->count())
        return;
    // A box still open holds a value of the section being left.
    commitValueEditor();
    hideValueEditors();
    const QByteArray name = platform::textfile::toAnsi(Section->item(row)->text());
    m_model->showSection(name, m_session.store()->sectionRows(name));
}

void TINIForm::chooseValueEditorFor(const QModelIndex &index)
{
    // A box still open belongs to the cell being left.
    if (m_editedCell.isValid())
        commitValueEditor();
    m_activeEditor = ValueEditor::PlainCell;
    if (!index.isValid() || index.column() != IniValuesModel::ValueColumn || !m_model->row(index.row()).hasKey)
        return;
    const QModelIndex keyIndex = index.siblingAtColumn(IniValuesModel::KeyColumn);
    const QString key = keyIndex.data().toString();
    const QString value = index.data().toString();
    m_activeEditor = chooseValueEditor(key, value);
    if (m_activeEditor == ValueEditor::PlainCell)
        return;

    m_editedCell = index;
    const QRect cell = INIVal->visualRect(index);
    if (m_activeEditor == ValueEditor::TrueFalseBox) {
        ComboBox1->setGeometry(cell);
        ComboBox1->setEditText(value);
        ComboBox1->show();
        ComboBox1->setFocus(Qt::OtherFocusReason);
    } else {
        FilenameEdit1->setGeometry(cell);
        FilenameEdit1->setText(value);
        FilenameEdit1->show();
        FilenameEdit1->setFocus(Qt::OtherFocusReason);
    }
}

void TINIForm::writeBoxText(const QString &text)
{
    const QModelIndex cell = m_editedCell;
    // Clear first: hiding the box moves the focus, which reports another commit.
    m_editedCell = QPersistentModelIndex();
    if (cell.isValid())
        m_model->setData(cell, text, Qt::EditRole);
    ComboBox1->hide();
    FilenameEdit1->hide();
    m_activeEditor = ValueEditor::PlainCell;
    INIVal->setFocus(Qt::OtherFocusReason);
}

void TINIForm::commitValueEditor()
{
    if (!m_editedCell.isValid())
        return;
    if (ComboBox1->isVisible())
        writeBoxText(ComboBox1->currentText());
    else if (FilenameEdit1->isVisible())
        writeBoxText(FilenameEdit1->text());
    else
        m_editedCell = QPersistentModelIndex();
}

void TINIForm::chooseValueFile()
{
    if (!m_editedCell.isValid())
        return;
    const QString chosen = askValueFile();
    if (chosen.isEmpty()) {
        FilenameEdit1->setFocus(Qt::OtherFocusReason);
        return;
    }
    const QString text = CFullPath->isChecked() ? QDir::toNativeSeparators(chosen) : QFileInfo(chosen).fileName();
    FilenameEdit1->setText(text);
    writeBoxText(text);
}

void TINIForm::hideValueEditors()
{
    m_editedCell = QPersistentModelIndex();
    m_activeEditor = ValueEditor::PlainCell;
    ComboBox1->hide();
    ComboBox1->setEditText(QString());
    FilenameEdit1->hide();
    FilenameEdit1->setText(QString());
}

void TINIForm::clearWindow()
{
    hideValueEditors();
    Section->blockSignals(true);
    Section->clear();
    Section->blockSignals(false);
    m_model->clear();
    SaveIni->setEnabled(false);
    SaveIniAs->setEnabled(false);
    setWindowTitle(tr("INI files manager"));
}

bool TINIForm::saveIni()
{
    if (!m_session.isOpen())
        return false;
    // Taking the focus away from a value box commits what it holds.
    Section->setFocus(Qt::OtherFocusReason);
    commitValueEditor();
    if (auto saved = m_session.save(); !saved) {
        showFileError(fileErrorText(m_session.filePath(), saved.error()));
        return false;
    }
    clearWindow();
    setWindowTitle(m_savedCaption);
    return true;
}

bool TINIForm::saveIniAs()
{
    if (!m_session.isOpen())
        return false;
    const QString target = askSaveAsFileName();
    if (target.isEmpty())
        return false;
    Section->setFocus(Qt::OtherFocusReason);
    commitValueEditor();
    if (auto saved = m_session.saveAs(target); !saved) {
        showFileError(fileErrorText(target, saved.error()));
        return false;
    }
    clearWindow();
    return true;
}

bool TINIForm::closeCurrentFile()
{
    commitValueEditor();
    if (m_session.isOpen() && m_session.isModified()) {
        if (confirmSave(m_session.filePath())) {
            if (!saveIni())
                return false;
        }
    }
    m_session.discard();
    clearWindow();
    return true;
}

void TINIForm::browseIniFolder()
{
    if (!closeCurrentFile())
        return;
    const QString folder = askIniFolder();
    if (!folder.isEmpty())
        setIniFolder(folder);
}

void TINIForm::reject()
{
    close();
}

void TINIForm::closeEvent(QCloseEvent *event)
{
    if (!closeCurrentFile()) {
        event->ignore();
        return;
    }
    if (m_saveSettings)
        m_saveSettings();
    setResult(QDialog::Rejected);
    event->accept();
}

bool TINIForm::confirmSave(const QString &filePath)
{
    const QString text = tr("File is not saved!") + QLatin1Char('\n') + tr("You want to save file") +
                         QStringLiteral(" <") + QDir::toNativeSeparators(filePath) + QStringLiteral("> ?");
    return QMessageBox::question(this, tr("Confirm"), text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void TINIForm::showFileError(const QString &message)
{
    QMessageBox::critical(this, tr("Error"), message);
}

QString TINIForm::askSaveAsFileName()
{
    QFileDialog dialog(this, tr("Save AS.."), m_iniFolder, tr("Ini files (*.ini);;All files (*.*)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("ini"));
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.selectFile(QStringLiteral("mypreset"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    // The folder must exist; the dialog does not let a missing one through.
    return dialog.selectedFiles().constFirst();
}

QString TINIForm::askIniFolder()
{
    return QFileDialog::getExistingDirectory(this, tr("Select folder"), m_iniFolder);
}

QString TINIForm::askValueFile()
{
    return QFileDialog::getOpenFileName(this, tr("Select file"), m_mapsFolder, tr("Maps (*.unr);;All files (*.*)"));
}

} // namespace orv::tools
