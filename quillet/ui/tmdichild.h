// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <functional>
#include <memory>

#include <QByteArray>
#include <QColor>
#include <QString>
#include <QWidget>

#include "quillet/core/editoroptions.h"
#include "quillet/core/scriptfile.h"

class QKeyEvent;
class QLabel;
class QStatusBar;
class QsciScintilla;

namespace quillet::core {
class TUnrealScriptSyn;
}

namespace quillet::ui {

class UnrealScriptLexer;

// One open script: an editing control painted by its own highlighter, with a status bar
// showing the caret position and "Modified".
class TMDIChild : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kBookmarks = 10;

    explicit TMDIChild(QWidget *parent = nullptr);
    ~TMDIChild() override;

    QsciScintilla *mwCustomEdit1 = nullptr;
    QStatusBar *StatusBar1 = nullptr;

    core::TUnrealScriptSyn &Highlighter() { return *m_highlighter; }
    UnrealScriptLexer *lexer() const { return m_lexer; }

    QString FileName() const { return m_fileName; }
    void setFileName(const QString &name);
    bool Modified() const { return m_modified; }
    // Clears or sets the flag together with the "Modified" panel.
    void setModified(bool modified);

    // Replaces the whole text with these bytes without marking the window modified and
    // without an undo step. Bytes are kept as they are (NULs included).
    void loadText(const QByteArray &bytes);
    // The text's bytes as the document holds them.
    QByteArray text() const;

    // Colours and styles from the slots, then font and tab width where they are set.
    void applyEditorOptions(const core::EditorOptions &options);

    // The selection colours last given to the control; invalid while it uses its own.
    QColor selectionForeground() const { return m_selectionForeground; }
    QColor selectionBackground() const { return m_selectionBackground; }

    QString caretPanelText() const;
    QString modifiedPanelText() const;
    void UpdateCaretPanel();

    // Bookmarks 0 to 9: set at the caret, and jump back to them. -1 when not set.
    void setBookmark(int number);
    void gotoBookmark(int number);
    int bookmarkLine(int number) const;

    // Indents or unindents every line the selection touches (or the caret's line).
    void indentBlock(bool indent);
    // Inserts a line break at the caret, leaving the caret where it was.
    void insertLine();
    void gotoMatchingBracket();

    // Asked when the window is about to close; false keeps it open (a save of its changes
    // was cancelled or failed). Without a query the window always closes.
    void setCloseQuery(std::function<bool(TMDIChild &)> query) { m_closeQuery = std::move(query); }

    // A window showing a file that cannot be written: the text cannot be edited and the
    // second status panel says "Read only".
    bool isReadOnly() const { return m_readOnly; }
    void setReadOnly(bool readOnly);

    // Edits that can still be undone; never more than kUndoDepth.
    static constexpr int kUndoDepth = 10;
    int undoSteps() const { return m_undoSteps; }

    // The file on disk as this window's text last matched it (opened, reloaded or saved), and
    // the last change on disk the user was told about.
    core::DiskStamp loadedStamp() const { return m_loadedStamp; }
    void setLoadedStamp(const core::DiskStamp &stamp) { m_loadedStamp = m_noticedStamp = stamp; }
    core::DiskStamp noticedStamp() const { return m_noticedStamp; }
    void setNoticedStamp(const core::DiskStamp &stamp) { m_noticedStamp = stamp; }

    // The hint shown while the scroll box is dragged; empty when none is shown.
    QString scrollHintText() const { return m_scrollHint; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void setupEditor();
    void setupKeyMap();
    bool handleExtraKey(const QKeyEvent &event);
    void undo();
    void trackUndoSteps(int modificationType);
    void showScrollHint();
    void hideScrollHint();
    void mwCustomEdit1Change();
    // The second status panel: "Read only", "Modified" or nothing.
    void updateStatePanel();
    void mwCustomEdit1SelectionChange();

    std::unique_ptr<core::TUnrealScriptSyn> m_highlighter;
    UnrealScriptLexer *m_lexer = nullptr;
    QLabel *m_caretPanel = nullptr;
    QLabel *m_modifiedPanel = nullptr;
    QString m_fileName;
    bool m_modified = false;
    QColor m_selectionForeground;
    QColor m_selectionBackground;
    bool m_loading = false;
    std::array<int, kBookmarks> m_bookmarkColumn{};
    std::function<bool(TMDIChild &)> m_closeQuery;
    bool m_readOnly = false;
    int m_undoSteps = 0;
    QString m_scrollHint;
    core::DiskStamp m_loadedStamp;
    core::DiskStamp m_noticedStamp;
};

} // namespace quillet::ui
