// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/checker/checkerscript.h"

#include <QCoreApplication>

#include "orv/engine/textutil.h"

namespace orv::checker {

namespace {

constexpr EditActionInfo kActions[] = {
    {EditAction::Up, "A_Up", "Up", "Up expression", "Ctrl+Up"},
    {EditAction::Down, "A_Down", "Down", "Down expression", "Ctrl+Down"},
    {EditAction::Replace, "A_Replace", "Replace", "Replace expression", ""},
    {EditAction::Add, "A_Add", "Add", "Add expression", ""},
    {EditAction::Delete, "A_Delete", "Delete", "Delete expression", ""},
    {EditAction::Clear, "A_Clear", "Clear", "Clear all expression", ""},
    {EditAction::Begin, "A_Begin", "Begin", "", ""},
    {EditAction::End, "A_End", "End", "", ""},
    {EditAction::And, "A_And", "and", "", ""},
    {EditAction::Or, "A_OR", "or", "", ""},
    {EditAction::AndNot, "A_ANDNOT", "and not", "", ""},
    {EditAction::OrNot, "A_ORNOT", "or not", "", ""},
    {EditAction::Check, "A_Check", "Check script", "Check programm for error", "Ctrl+P"},
    {EditAction::Import, "A_Import", "Import script", "Import script", ""},
    {EditAction::Export, "A_Export", "Export script", "Export script", ""},
};

} // namespace

QString commandWord(ScriptCommand command)
{
    switch (command) {
    case ScriptCommand::Begin:
        return QStringLiteral("{");
    case ScriptCommand::End:
        return QStringLiteral("}");
    case ScriptCommand::And:
        return QStringLiteral("and");
    case ScriptCommand::Or:
        return QStringLiteral("or");
    case ScriptCommand::AndNot:
        return QStringLiteral("and not");
    case ScriptCommand::OrNot:
        return QStringLiteral("or not");
    }
    return {};
}

std::span<const EditActionInfo> editActions()
{
    return kActions;
}

CheckerScript CheckerScript::fromPrg(const QStringList &prg)
{
    CheckerScript script;
    script.m_prg = prg;
    script.rebuildRows();
    return script;
}

CheckerLine CheckerScript::rowFromPrgLine(const QString &line)
{
    const QString comma(QLatin1Char(','));
    CheckerLine row;
    row.cmd = engine::NthWord(1, line, comma);
    row.arg = engine::NthWord(2, line, comma);
    row.rule = engine::NthWord(3, line, comma);
    row.value = engine::NthWord(4, line, comma);
    return row;
}

QString CheckerScript::expressionPrgLine(const QString &arg, const QString &rule, const QString &value)
{
    return QStringLiteral("-,") + arg + QLatin1Char(',') + rule + QLatin1Char(',') + value;
}

void CheckerScript::rebuildRows()
{
    m_rows.clear();
    m_rows.reserve(m_prg.size());
    for (const QString &line : std::as_const(m_prg))
        m_rows.append(rowFromPrgLine(line));
}

void CheckerScript::setMarks(const QStringList &marks)
{
    const qsizetype n = std::min(marks.size(), m_rows.size());
    for (qsizetype i = 0; i < n; ++i)
        m_rows[i].mark = marks.at(i);
}

bool CheckerScript::isActionEnabled(EditAction action, std::optional<int> selected, const QString &arg,
                                    const QString &rule, const QString &value) const
{
    const bool rowSelected = selected && isRow(*selected);
    switch (action) {
    case EditAction::Up:
    case EditAction::Down:
    case EditAction::Replace:
    case EditAction::Delete:
        return rowSelected;
    case EditAction::Add:
        return !arg.isEmpty() && !rule.isEmpty() && !value.isEmpty();
    case EditAction::Clear:
    case EditAction::Check:
    case EditAction::Export:
        return !isEmpty();
    case EditAction::Begin:
    case EditAction::End:
    case EditAction::And:
    case EditAction::Or:
    case EditAction::AndNot:
    case EditAction::OrNot:
    case EditAction::Import:
        return true;
    }
    return false;
}

EditOutcome CheckerScript::swapWith(int selected, int other)
{
    EditOutcome outcome;
    if (!isRow(selected))
        return outcome;
    if (isRow(other)) {
        m_prg.swapItemsAt(selected, other);
        outcome.changed = true;
        outcome.selected = other;
    } else {
        outcome.selected = selected;
    }
    // The list is rebuilt from the stored lines even when nothing moved; marks go.
    rebuildRows();
    return outcome;
}

EditOutcome CheckerScript::moveUp(int selected)
{
    return swapWith(selected, selected - 1);
}

EditOutcome CheckerScript::moveDown(int selected)
{
    return swapWith(selected, selected + 1);
}

EditOutcome CheckerScript::replace(int selected, const QString &arg, const QString &rule, const QString &value)
{
    EditOutcome outcome;
    if (!isRow(selected))
        return outcome;
    m_rows[selected] = CheckerLine{QStringLiteral("-"), arg, rule, value, QString()};
    m_prg[selected] = expressionPrgLine(arg, rule, value);
    outcome.changed = true;
    outcome.selected = selected;
    return outcome;
}

EditOutcome CheckerScript::add(const QString &arg, const QString &rule, const QString &value)
{
    EditOutcome outcome;
    if (m_rows.size() >= kMaxAddedLines) {
        outcome.message = QCoreApplication::translate("orv::checker::CheckerScript", "Maximum script lines is 255!");
        return outcome;
    }
    m_rows.append(CheckerLine{QStringLiteral("-"), arg, rule, value, QString()});
    m_prg.append(expressionPrgLine(arg, rule, value));
    outcome.changed = true;
    outcome.selected = lineCount() - 1;
    return outcome;
}

EditOutcome CheckerScript::remove(int selected)
{
    EditOutcome outcome;
    if (!isRow(selected))
        return outcome;
    m_rows.removeAt(selected);
    m_prg.removeAt(selected);
    outcome.changed = true;
    return outcome;
}

EditOutcome CheckerScript::clear()
{
    EditOutcome outcome;
    outcome.changed = !m_rows.isEmpty();
    m_rows.clear();
    m_prg.clear();
    return outcome;
}

EditOutcome CheckerScript::append(ScriptCommand command)
{
    const QString word = commandWord(command);
    m_rows.append(CheckerLine{word, QString(), QString(), QString(), QString()});
    m_prg.append(word);
    EditOutcome outcome;
    outcome.changed = true;
    outcome.selected = lineCount() - 1;
    return outcome;
}

} // namespace orv::checker
