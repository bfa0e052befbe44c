// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <functional>

class QPlainTextEdit;
class QTextBrowser;
class QFileDialog;

namespace orv::frontend {

// The log window: every part of the browser writes its progress here. It holds at most
// 1001 lines: the call that finds it full empties it instead of adding its line.
class TDebugForm : public QDialog
{
    Q_OBJECT

public:
    static constexpr int kMaxLines = 1001;

    explicit TDebugForm(QWidget *parent = nullptr);
    ~TDebugForm() override;

    // The settings section and the stored properties: the save dialog's file name and
    // folder live on the child "SaveDialog1".
    static QString settingsSection();
    static QStringList storedProperties();

    // The log operation.
    void log(const QString &text);
    int lineCount() const;
    QStringList lines() const;
    void setLines(const QStringList &lines);
    void clearLog();

    // "q" then "z" shows the raw replies of the current page; "q" then "x" loads a file
    // into that store first. The main window supplies both.
    void setReplyStoreAccess(std::function<QStringList()> lines, std::function<bool(const QString &path)> load);

    // Save to File with the dialog's remembered name and folder.
    bool saveToFile(const QString &path);

    QString saveFileName() const;
    QString saveInitialDir() const;
    void setSaveFileName(const QString &name);
    void setSaveInitialDir(const QString &dir);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showContextMenu(const QPoint &pos);
    void saveWithDialog();
    void showReplyStore();
    void loadReplyStore();
    void appendRendered(const QString &text);

    QTextBrowser *m_text;
    QStringList m_lines;
    bool m_quickKey = false;
    std::function<QStringList()> m_storeLines;
    std::function<bool(const QString &)> m_storeLoad;
    // The save dialog's remembered "FileName" and "InitialDir", as properties the
    // settings storage reads and writes.
    QObject *m_saveDialog;
};

} // namespace orv::frontend
