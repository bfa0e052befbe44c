// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include "platform/result.h"

class QDialog;
class QWidget;

namespace quillet::ui {

// The answer to "save changes before closing?".
enum class SaveAnswer { Yes, No, Cancel };

// Everything the editor asks of the user or the desktop in one place: message boxes,
// file dialogs and modal dialogs. The program uses DialogPrompts;
// tests pass a scripted stand-in.
class UserPrompts
{
public:
    virtual ~UserPrompts() = default;

    virtual void error(QWidget *parent, const QString &text) = 0;
    virtual void information(QWidget *parent, const QString &text) = 0;
    // A confirmation with Yes and No; true for Yes.
    virtual bool confirm(QWidget *parent, const QString &text) = 0;
    // The same with No as the default button, for answers that lose something.
    virtual bool confirmDefaultNo(QWidget *parent, const QString &text) = 0;
    // Yes, No and Cancel; Escape and closing the question are Cancel.
    virtual SaveAnswer askToSave(QWidget *parent, const QString &text) = 0;
    // Empty when cancelled.
    virtual QString openFileName(QWidget *parent, const QString &directory, const QString &filter) = 0;
    virtual QString saveFileName(QWidget *parent, const QString &initialName, const QString &filter) = 0;
    // Runs the dialog modally and returns its result code.
    virtual int execDialog(QDialog &dialog) = 0;
};

// Real message boxes and dialogs, and the platform's detached start.
class DialogPrompts : public UserPrompts
{
public:
    void error(QWidget *parent, const QString &text) override;
    void information(QWidget *parent, const QString &text) override;
    bool confirm(QWidget *parent, const QString &text) override;
    bool confirmDefaultNo(QWidget *parent, const QString &text) override;
    SaveAnswer askToSave(QWidget *parent, const QString &text) override;
    QString openFileName(QWidget *parent, const QString &directory, const QString &filter) override;
    QString saveFileName(QWidget *parent, const QString &initialName, const QString &filter) override;
    int execDialog(QDialog &dialog) override;
};

} // namespace quillet::ui
