// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <memory>

#include <QByteArray>
#include <QColor>
#include <QString>
#include <QWidget>

#include "quillet/core/editoroptions.h"

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

signals:
    // Sent while the window closes, so the owner can ask about unsaved changes.
    void closing(quillet::ui::TMDIChild *child);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void setupEditor();
    void setupKeyMap();
    bool handleExtraKey(int key, Qt::KeyboardModifiers modifiers);
    void mwCustomEdit1Change();
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
};

} // namespace quillet::ui
