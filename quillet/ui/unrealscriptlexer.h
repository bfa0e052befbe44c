// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include <QColor>
#include <QFont>

#include <Qsci/qscilexercustom.h>

namespace quillet::core {
class TUnrealScriptSyn;
class TmwHighLightAttributes;
} // namespace quillet::core

namespace quillet::ui {

// Styles of the editing control, one per painted token class.
enum class LexerStyle : int {
    Default = 0, // bytes the scanner never reached (behind an embedded NUL)
    Comment = 1,
    Identifier = 2,
    Keyword = 3,
    Number = 4,
    Space = 5,
    String = 6,
    Symbol = 7,
};

// Adapts the UnrealScript scanner to QScintilla. The document holds the file's 8-bit bytes
// as they are (the control runs in Latin-1 mode), so the scanner sees exactly the bytes
// it was designed for and its offsets are the control's positions. Each line's stored
// line state is the range the line begins in; styling a line stores the range it ends
// in as the next line's state, and the control restyles from an edit onwards.
class UnrealScriptLexer : public QsciLexerCustom
{
    Q_OBJECT

public:
    UnrealScriptLexer(core::TUnrealScriptSyn &highlighter, QObject *parent = nullptr);

    const char *language() const override;
    QString description(int style) const override;
    const char *wordCharacters() const override;
    void styleText(int start, int end) override;

    // The editor's font; each style adds its attribute's bold, italic, underline, strikeout.
    void setBaseFont(const QFont &font);
    QFont baseFont() const { return m_baseFont; }
    // Colours used where an attribute has none.
    void setFallbackColors(const QColor &text, const QColor &paper);
    // Re-reads every attribute into the control's styles (colours, fonts).
    void applyAttributes();

    static QColor toQColor(quint32 colour);
    static LexerStyle styleForKind(int kind);

private:
    core::TmwHighLightAttributes *attributeForStyle(LexerStyle style) const;

    core::TUnrealScriptSyn &m_highlighter;
    QFont m_baseFont;
    QColor m_fallbackText;
    QColor m_fallbackPaper;
    std::string m_line;         // NUL-terminated copy of the line being styled
    std::vector<char> m_styles; // style bytes of that line
};

} // namespace quillet::ui
