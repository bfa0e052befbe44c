// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QList>

#include "orv/checker/checkerrun.h"

class QTreeWidget;

namespace platform {
class RegistryStore;
}
namespace orv::engine {
class QueryEngine;
}
namespace orv::frontend {
class SoundBank;
class TFormStorage;
} // namespace orv::frontend

namespace orv::checker::ui {

// "Select servers": the rows of the main window's shown list, from which the user picks the
// servers for the checker.
class TRepeatListForm : public QDialog
{
    Q_OBJECT

public:
    TRepeatListForm(orv::engine::QueryEngine &engine, platform::RegistryStore &store, orv::frontend::SoundBank &sounds,
                    QWidget *parent = nullptr);
    ~TRepeatListForm() override;

    QTreeWidget *repeatList() const { return m_list; }
    orv::frontend::TFormStorage *formStorage() const { return m_storage; }
    // Copies every row of the shown server list (done on each show).
    void fillFromShownList();
    // The rows selected when "Done" was pressed, in list order.
    QList<RepeatServer> chosenServers() const { return m_chosen; }
    // "Done": remembers the selected rows and closes with OK.
    void acceptSelection();

protected:
    void showEvent(QShowEvent *event) override;

private:
    orv::engine::QueryEngine &m_engine;
    orv::frontend::SoundBank &m_sounds;
    QTreeWidget *m_list = nullptr;
    orv::frontend::TFormStorage *m_storage = nullptr;
    QList<RepeatServer> m_chosen;
};

} // namespace orv::checker::ui
