// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <span>

#include <QList>
#include <QString>
#include <QStringList>

// The checker's rule program: the stored lines and the rows shown for them, kept together.
namespace orv::checker {

// One row of the script as the list shows it. cmd is "-" for an expression line, or one
// of "{", "}", "and", "or", "and not", "or not" (imported files may hold other words).
struct CheckerLine
{
    QString cmd;
    QString arg;
    QString rule;
    QString value;
    QString mark; // "+" or "-" after an evaluation, empty after editing; never stored

    friend bool operator==(const CheckerLine &, const CheckerLine &) = default;
};

// The command words of block and operator lines.
enum class ScriptCommand { Begin, End, And, Or, AndNot, OrNot };
QString commandWord(ScriptCommand command);

// Expression lines are added one at a time only up to this many script lines.
constexpr int kMaxAddedLines = 255;

// The editing commands of the script editor, in the order of the buttons and the menu.
enum class EditAction {
    Up,
    Down,
    Replace,
    Add,
    Delete,
    Clear,
    Begin,
    End,
    And,
    Or,
    AndNot,
    OrNot,
    Check,
    Import,
    Export
};

// Caption, hint and shortcut of an editing command, as its button and menu item show them.
struct EditActionInfo
{
    EditAction action;
    const char *name; // "A_Up", ...
    const char *caption;
    const char *hint;     // empty when the command has none
    const char *shortcut; // portable key sequence text, empty when none
};
std::span<const EditActionInfo> editActions();

// What an edit did: the line to select and show afterwards, and a message for the user
// (only "Maximum script lines is 255!", in a Yes/No confirmation box).
struct EditOutcome
{
    bool changed = false;
    std::optional<int> selected;
    QString message;
};

// The script held twice: prg() is the stored form (an expression line is "-," + Arg + "," +
// Rule + "," + Value, a block or operator line its bare word); rows() is what the list shows
// and what the evaluation reads. Every edit changes both; they differ only where the word
// splitter shortens a stored line (a value with a comma) until the rows are rebuilt.
class CheckerScript
{
public:
    CheckerScript() = default;
    // The stored lines, with the rows rebuilt from them.
    static CheckerScript fromPrg(const QStringList &prg);

    const QStringList &prg() const { return m_prg; }
    const QList<CheckerLine> &rows() const { return m_rows; }
    int lineCount() const { return static_cast<int>(m_rows.size()); }
    bool isEmpty() const { return m_rows.isEmpty(); }

    // Rows from the stored lines: the 1st to 4th comma-separated words, marks empty.
    void rebuildRows();
    // The marks of an evaluation, one per row; rows beyond the list keep theirs.
    void setMarks(const QStringList &marks);

    // The row a stored line shows as: runs of commas count as one separator, leading
    // commas are skipped, anything after the fourth word is dropped.
    static CheckerLine rowFromPrgLine(const QString &line);
    static QString expressionPrgLine(const QString &arg, const QString &rule, const QString &value);

    bool isActionEnabled(EditAction action, std::optional<int> selected, const QString &arg, const QString &rule,
                         const QString &value) const;

    EditOutcome moveUp(int selected);
    EditOutcome moveDown(int selected);
    EditOutcome replace(int selected, const QString &arg, const QString &rule, const QString &value);
    EditOutcome add(const QString &arg, const QString &rule, const QString &value);
    EditOutcome remove(int selected);
    EditOutcome clear();
    // Begin, End, and, or, and not, or not: one more line, without the line limit.
    EditOutcome append(ScriptCommand command);

    friend bool operator==(const CheckerScript &, const CheckerScript &) = default;

private:
    EditOutcome swapWith(int selected, int other);
    bool isRow(int index) const { return index >= 0 && index < m_rows.size(); }

    QStringList m_prg;
    QList<CheckerLine> m_rows;
};

} // namespace orv::checker
