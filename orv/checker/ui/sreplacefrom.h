// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

#include <QDialog>

#include "platform/result.h"

class QCheckBox;
class QTableWidget;

namespace platform {
class RegistryStore;
}
namespace orv::frontend {
class SoundBank;
class TFormStorage;
} // namespace orv::frontend

namespace orv::checker {
class ReplacementTable;
}

namespace orv::checker::ui {

// "String Replacer": the grid of reported values and their replacements. The grid edits the
// ReplacementTable directly, so an edit counts from the next reply on.
class TSReplaceFrom : public QDialog
{
    Q_OBJECT

public:
    TSReplaceFrom(ReplacementTable &table, platform::RegistryStore &store, orv::frontend::SoundBank &sounds,
                  QWidget *parent = nullptr);
    ~TSReplaceFrom() override;

    QTableWidget *grid() const { return m_grid; }
    QCheckBox *useinRepeat() const { return m_useinRepeat; }
    orv::frontend::TFormStorage *formStorage() const { return m_storage; }

    // Reads the table from the settings store into the grid, and writes it back.
    void loadTable();
    platform::Status saveTable();
    // Where errors of the window's own saves and loads are shown; by default an error box.
    void setErrorSink(std::function<void(const QString &)> sink) { m_errorSink = std::move(sink); }

private:
    void showTable();
    void reportError(const QString &text);

    ReplacementTable &m_table;
    platform::RegistryStore &m_store;
    QTableWidget *m_grid = nullptr; // SReplace
    QCheckBox *m_useinRepeat = nullptr;
    orv::frontend::TFormStorage *m_storage = nullptr;
    bool m_filling = false;
    std::function<void(const QString &)> m_errorSink;
};

} // namespace orv::checker::ui
