// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDockWidget>

#include "quillet/core/compilermessage.h"

class QAction;
class QListWidget;
class QListWidgetItem;
class QToolButton;

namespace quillet::ui {

// A place in a script that a line of the pane leads to.
struct SourceLocation
{
    QString file;
    int line = 0; // counted from 1
};

// The pane at the bottom of the main window that shows the compiler's output and the hits of
// a search through files. Lines that name a place in a script are marked (errors, warnings,
// hits); double-clicking one, Enter, or next/previous leads there.
class OutputPane : public QDockWidget
{
    Q_OBJECT

public:
    enum class Mark { None, Error, Warning, Hit };

    explicit OutputPane(QWidget *parent = nullptr);

    void clear();
    void appendLine(const QString &text, Mark mark = Mark::None, const SourceLocation &location = {});
    // Appends many lines at once; cheaper for thousands of hits.
    void appendLines(const QStringList &texts, Mark mark, const QList<SourceLocation> &locations);
    // Shows a line of compiler output, marked when it names a script place; build folder
    // resolves relative paths.
    void appendCompilerLine(const QString &text, const QString &buildDir);

    // Moves to the next (previous) marked line after (before) the current one, wrapping
    // around, and leads there. False when no line is marked.
    bool gotoNext();
    bool gotoPrevious();

    // Whether the Stop button is offered (a build or search runs).
    void setRunning(bool running);
    bool isRunning() const { return m_running; }

    int lineCount() const;
    QString lineText(int row) const;
    Mark lineMark(int row) const;
    int currentRow() const;
    QListWidget *list() const { return m_list; }
    QToolButton *stopButton() const { return m_stop; }

signals:
    void locationActivated(const quillet::ui::SourceLocation &location);
    void stopRequested();

private:
    bool step(int direction);
    void activate(QListWidgetItem *item);

    QListWidget *m_list = nullptr;
    QToolButton *m_stop = nullptr;
    bool m_running = false;
};

} // namespace quillet::ui
