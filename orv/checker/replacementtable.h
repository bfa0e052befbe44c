// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>

#include <QString>

#include "orv/engine/replydecoder.h"
#include "platform/result.h"

namespace platform {
class RegistryStore;
}

namespace orv::checker {

// The user's table of reported values and the texts to show instead (a friendlier map
// name, say). The reply decoder passes every value of a reply through replaceValue()
// before it stores it; keys are never replaced.
class ReplacementTable
{
public:
    static constexpr int kRows = 200;

    struct Row
    {
        QString from; // "String to change"
        QString to;   // "Changed string"
    };

    const Row &row(int index) const { return m_rows.at(static_cast<size_t>(index)); }
    // Out-of-range rows are ignored.
    void setRow(int index, const QString &from, const QString &to);
    void clear();

    bool useInChecker() const { return m_useInChecker; }
    void setUseInChecker(bool use) { m_useInChecker = use; }

    // The rows are read from the first until one whose "String to change" is empty; each
    // row equal to the value (whole text, case counts) replaces it, the last one winning.
    QString replaceValue(const QString &value) const;
    // replaceValue() of this table, read live, for QueryEngine::setValueReplacer (which
    // applies the checker-run rule itself). The table must outlive it.
    engine::ValueReplacer replacer() const;

    // Empties every cell, then reads rows from 0 until a name or a value is empty or
    // missing. A row that cannot be read (a value that is not text) is skipped.
    void load(const platform::RegistryStore &store);
    // Writes all 200 rows, empty ones included, and the "Use in server checker" state.
    platform::Status save(platform::RegistryStore &store) const;

    static QString keyPath();
    static QString nameValue(int row);
    static QString valueValue(int row);

private:
    std::array<Row, kRows> m_rows;
    bool m_useInChecker = false;
};

// Whether the decoder applies the table: always outside a checking run, and during one
// only when the user asked for it.
constexpr bool shouldReplaceValues(bool checkerRunning, bool useInChecker)
{
    return !checkerRunning || useInChecker;
}

// The replacer to hand to the reply decoder for a reply decoded now: one that reads the
// table live (an edit counts from the next reply on), or none. The table must outlive it.
engine::ValueReplacer replacerFor(const ReplacementTable &table, bool checkerRunning);

} // namespace orv::checker
