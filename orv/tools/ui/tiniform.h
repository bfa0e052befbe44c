// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

#include <QByteArray>
#include <QDialog>
#include <QPersistentModelIndex>
#include <QString>
#include <QStringList>

#include "orv/tools/inieditsession.h"
#include "orv/tools/valueeditorchoice.h"

class QCheckBox;
class QFileSystemWatcher;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QTableView;

namespace orv::tools {

class FileNameBox;
class IniValuesModel;
class TrueFalseBox;

// "INI files manager": lists the INI files of a game folder, shows the sections of the
// chosen file and the keys of a section in a grid, offers a True/False list or a file
// picker for values that look like switches or file names, and saves the file back.
// Editing goes through a numbered working copy (see IniEditSession).
//
// The owner wires two things in: where the game lives (read each time the window is
// shown), and the settings of the section settingsSection(). A storage that chains itself
// into the window's show and close events needs nothing more than the controls' object
// names and the destroying() signal; one that does not can use the settings hooks, which
// are called as the window is shown and as it closes.
class TINIForm : public QDialog
{
    Q_OBJECT

public:
    explicit TINIForm(QWidget *parent = nullptr, const QString &tempPath = IniEditSession::defaultTempPath());
    ~TINIForm() override;

    // Returns the executable of the game chosen in the main window (GamePath3 with the
    // game switch on, GamePath1 otherwise); its folder is the INI folder.
    void setGameExecutableSource(std::function<QString()> source);
    // load runs as the window is shown, save as it closes; either may be empty.
    void setSettingsHooks(std::function<void()> load, std::function<void()> save);
    // The storage section and the stored properties (controls carry these object names).
    static QString settingsSection();
    static QStringList storedProperties();

    bool isFullPathChecked() const;
    void setFullPathChecked(bool checked);

    const QString &iniFolder() const { return m_iniFolder; }
    // Where the file picker of the value column starts: the maps folder beside the INI folder.
    const QString &mapsFolder() const { return m_mapsFolder; }
    void setIniFolder(const QString &folder);
    const IniEditSession &session() const { return m_session; }
    const QByteArray &shownSection() const;

    // Executing an entry of the file list. False when the file does not exist, when the
    // previous file could not be closed, or when opening failed (the error was shown).
    bool openIniFile(const QString &path);
    void showSection(int row);
    // "Save INI" and "Save INI as..": true when the file was written.
    bool saveIni();
    bool saveIniAs();
    // "Browse INI folder".
    void browseIniFolder();
    // Closes the open file the way the window's close does. False only when the user asked
    // to save and saving failed: the file then stays open with its edits.
    bool closeCurrentFile();

    // The grid and the value editors, for the owner's key handling and for tests.
    QTableView *valuesGrid() const { return INIVal; }
    TrueFalseBox *trueFalseBox() const { return ComboBox1; }
    FileNameBox *fileNameBox() const { return FilenameEdit1; }
    QListWidget *sectionList() const { return Section; }
    QListWidget *iniList() const { return INIList; }
    ValueEditor activeValueEditor() const { return m_activeEditor; }

    // What the TrueFalseBox or FileNameBox does when committed or when a file was chosen.
    void commitValueEditor();
    void chooseValueFile();

public slots:
    void reject() override;

signals:
    // Emitted first thing in the destructor, while every control still exists.
    void destroying(QWidget *form);
    // A button was clicked whose click sound this is; the browser plays it.
    void clickSound(const QString &name);

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

    // The dialogs, replaceable for tests. confirmSave: true for Yes. The others return an
    // empty text for Cancel.
    virtual bool confirmSave(const QString &filePath);
    virtual void showFileError(const QString &message);
    virtual QString askSaveAsFileName();
    virtual QString askIniFolder();
    virtual QString askValueFile();

private:
    void buildControls();
    void refreshIniList();
    void clearWindow();
    void hideValueEditors();
    void chooseValueEditorFor(const QModelIndex &index);
    void writeBoxText(const QString &text);

    IniEditSession m_session;
    std::function<QString()> m_gameExecutable;
    std::function<void()> m_loadSettings;
    std::function<void()> m_saveSettings;

    QString m_iniFolder;
    QString m_mapsFolder;
    QString m_savedCaption;
    QPersistentModelIndex m_editedCell;
    ValueEditor m_activeEditor = ValueEditor::PlainCell;

    // Control names as the settings storage and the rest of the program know them.
    QListWidget *Section = nullptr;
    QListWidget *INIList = nullptr;
    QTableView *INIVal = nullptr;
    TrueFalseBox *ComboBox1 = nullptr;
    FileNameBox *FilenameEdit1 = nullptr;
    QCheckBox *CFullPath = nullptr;
    QPushButton *SaveIni = nullptr;
    QPushButton *SaveIniAs = nullptr;
    QPushButton *m_browseButton = nullptr;
    QPushButton *m_closeButton = nullptr;
    IniValuesModel *m_model = nullptr;
    QFileSystemWatcher *m_watcher = nullptr;
};

} // namespace orv::tools
