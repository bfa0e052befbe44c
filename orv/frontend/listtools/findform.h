// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QStringList>
#include <QWidget>

class QComboBox;
class QLabel;
class QPushButton;
class QToolButton;

namespace platform {
class RegistryStore;
}

namespace orv::engine {
class QueryEngine;
}

namespace orv::frontend {

class SoundBank;
class TBuldingListForm;
class TFormStorage;
class TMainForm;

// "Find player": finds the server of the current list on which a player plays, from the
// replies the list's last refresh stored, and can collect every player name of those
// replies into its drop-down list. It queries nothing.
class TFindForm : public QWidget
{
    Q_OBJECT

public:
    TFindForm(TMainForm &form, orv::engine::QueryEngine &engine, SoundBank &sounds, TBuldingListForm *progress,
              QWidget *parent = nullptr);
    ~TFindForm() override;

    QComboBox *FindText() const { return m_findText; }
    QToolButton *SpeedButton1() const { return m_speedButton; }
    QPushButton *FindButton() const { return m_findButton; }
    QLabel *FindLabel() const { return m_findLabel; }
    QPushButton *ExitButton() const { return m_exitButton; }

    // "Find", also run by Enter in the text box. True when a server was selected.
    bool FindButtonClick();
    // "Build players list".
    void SpeedButton1Click();
    // A_Find: shows the window when hidden and closes it when visible.
    void toggle();

    // The window's settings storage: section "Find form", the position and the text.
    static QString settingsSection();
    static QStringList storedProperties();
    static TFormStorage *attachStorage(TFindForm &window, platform::RegistryStore &store);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void updateFindButton();

    TMainForm &m_form;
    orv::engine::QueryEngine &m_engine;
    SoundBank &m_sounds;
    QPointer<TBuldingListForm> m_progress;
    QComboBox *m_findText = nullptr;
    QToolButton *m_speedButton = nullptr;
    QPushButton *m_findButton = nullptr;
    QLabel *m_findLabel = nullptr;
    QPushButton *m_exitButton = nullptr;
};

} // namespace orv::frontend
