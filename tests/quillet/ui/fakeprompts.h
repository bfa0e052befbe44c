// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <optional>

#include <QDialog>
#include <QStringList>

#include "quillet/ui/userprompts.h"

namespace quillet::ui::testing {

// Records every question and answers from a script, so windows can be driven without
// modal loops.
class FakePrompts : public UserPrompts
{
public:
    QStringList errors;
    QStringList informations;
    QStringList confirmations;
    bool confirmAnswer = false;
    // The answer to "save before closing?"; without one, confirmAnswer gives Yes or No.
    std::optional<SaveAnswer> saveQuestionAnswer;
    QString openAnswer;
    QStringList openDirectories;
    QString saveAnswer;
    QStringList saveInitialNames;
    // Decides the dialog's result; the default cancels.
    std::function<int(QDialog &)> onDialog = [](QDialog &) { return int(QDialog::Rejected); };
    int dialogs = 0;

    void error(QWidget *, const QString &text) override { errors.append(text); }
    void information(QWidget *, const QString &text) override { informations.append(text); }
    bool confirm(QWidget *, const QString &text) override
    {
        confirmations.append(text);
        return confirmAnswer;
    }
    bool confirmDefaultNo(QWidget *parent, const QString &text) override { return confirm(parent, text); }
    SaveAnswer askToSave(QWidget *, const QString &text) override
    {
        confirmations.append(text);
        if (saveQuestionAnswer)
            return *saveQuestionAnswer;
        return confirmAnswer ? SaveAnswer::Yes : SaveAnswer::No;
    }
    QString openFileName(QWidget *, const QString &directory, const QString &) override
    {
        openDirectories.append(directory);
        return openAnswer;
    }
    QString saveFileName(QWidget *, const QString &initialName, const QString &) override
    {
        saveInitialNames.append(initialName);
        return saveAnswer;
    }
    int execDialog(QDialog &dialog) override
    {
        ++dialogs;
        // Run the dialog's show logic as a modal run would, then let the test decide.
        dialog.show();
        const int result = onDialog(dialog);
        dialog.done(result);
        return result;
    }
};

} // namespace quillet::ui::testing
