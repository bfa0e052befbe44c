// SPDX-License-Identifier: GPL-3.0-or-later
#include "quillet/ui/unrealscriptlexer.h"

#include <cstring>

#include <Qsci/qsciscintilla.h>

#include "quillet/core/unrealscriptsyn.h"

namespace quillet::ui {

using core::TUnrealScriptSyn;

namespace {

constexpr int kStyleCount = 8;

} // namespace

UnrealScriptLexer::UnrealScriptLexer(core::TUnrealScriptSyn &highlighter, QObject *parent)
    : QsciLexerCustom(parent)
    , m_highlighter(highlighter)
    , m_baseFont(QStringLiteral("Courier New"), 10)
    , m_fallbackText(Qt::black)
    , m_fallbackPaper(Qt::white)
{
    m_baseFont.setStyleHint(QFont::TypeWriter);
    applyAttributes();
}

const char *UnrealScriptLexer::language() const
{
    return "Unreal Script";
}

QString UnrealScriptLexer::description(int style) const
{
    switch (static_cast<LexerStyle>(style)) {
    case LexerStyle::Default:
        return tr("Default");
    case LexerStyle::Comment:
        return tr("Comment");
    case LexerStyle::Identifier:
        return tr("Identifier");
    case LexerStyle::Keyword:
        return tr("Reserved word");
    case LexerStyle::Number:
        return tr("Number");
    case LexerStyle::Space:
        return tr("Space");
    case LexerStyle::String:
        return tr("String");
    case LexerStyle::Symbol:
        return tr("Symbol");
    }
    return {};
}

const char *UnrealScriptLexer::wordCharacters() const
{
    return "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ_abcdefghijklmnopqrstuvwxyz";
}

LexerStyle UnrealScriptLexer::styleForKind(int kind)
{
    switch (kind) {
    case core::stComment:
        return LexerStyle::Comment;
    case core::stIdentifier:
    case core::stUnknown:
        return LexerStyle::Identifier;
    case core::stKeyword:
        return LexerStyle::Keyword;
    case core::stNumber:
        return LexerStyle::Number;
    case core::stSpace:
        return LexerStyle::Space;
    case core::stString:
        return LexerStyle::String;
    case core::stSymbol:
        return LexerStyle::Symbol;
    default:
        return LexerStyle::Default;
    }
}

QColor UnrealScriptLexer::toQColor(quint32 colour)
{
    return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                  static_cast<int>((colour >> 16) & 0xFF));
}

core::TmwHighLightAttributes *UnrealScriptLexer::attributeForStyle(LexerStyle style) const
{
    switch (style) {
    case LexerStyle::Comment:
        return &m_highlighter.CommentAttri();
    case LexerStyle::Identifier:
        return &m_highlighter.IdentifierAttri();
    case LexerStyle::Keyword:
        return &m_highlighter.KeyAttri();
    case LexerStyle::Number:
        return &m_highlighter.NumberAttri();
    case LexerStyle::Space:
        return &m_highlighter.SpaceAttri();
    case LexerStyle::String:
        return &m_highlighter.StringAttri();
    case LexerStyle::Symbol:
        return &m_highlighter.SymbolAttri();
    case LexerStyle::Default:
        break;
    }
    return nullptr;
}

void UnrealScriptLexer::setBaseFont(const QFont &font)
{
    m_baseFont = font;
    applyAttributes();
}

void UnrealScriptLexer::setFallbackColors(const QColor &text, const QColor &paper)
{
    m_fallbackText = text;
    m_fallbackPaper = paper;
    applyAttributes();
}

void UnrealScriptLexer::applyAttributes()
{
    // The "Space" background is the canvas: it also fills the rest of every line and the
    // area below the text, so a dark scheme does not end in white at each line's end.
    const core::TmwHighLightAttributes &space = m_highlighter.SpaceAttri();
    const QColor canvas = space.background() != core::clNone ? toQColor(space.background()) : m_fallbackPaper;
    setDefaultFont(m_baseFont);
    setDefaultColor(m_fallbackText);
    setDefaultPaper(canvas);
    for (int style = 0; style < kStyleCount; ++style) {
        const core::TmwHighLightAttributes *attribute = attributeForStyle(static_cast<LexerStyle>(style));
        QFont font = m_baseFont;
        QColor text = m_fallbackText;
        QColor paper = style == static_cast<int>(LexerStyle::Default) ? canvas : m_fallbackPaper;
        if (attribute) {
            if (attribute->foreground() != core::clNone)
                text = toQColor(attribute->foreground());
            if (attribute->background() != core::clNone)
                paper = toQColor(attribute->background());
            font.setBold(attribute->style() & core::fsBold);
            font.setItalic(attribute->style() & core::fsItalic);
            font.setUnderline(attribute->style() & core::fsUnderline);
            font.setStrikeOut(attribute->style() & core::fsStrikeOut);
        }
        setColor(text, style);
        setPaper(paper, style);
        setFont(font, style);
        setEolFill(style == static_cast<int>(LexerStyle::Space), style);
    }
}

void UnrealScriptLexer::styleText(int start, int end)
{
    QsciScintilla *control = editor();
    if (!control || end < start)
        return;
    const long docLength = control->SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
    const int firstLine = static_cast<int>(control->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, start));
    int lastLine = static_cast<int>(control->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, end));
    const long lastLineStart = control->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, lastLine);
    if (lastLine > firstLine && lastLineStart == end)
        --lastLine;
    const long rangeStart = control->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, firstLine);
    const long rangeEnd =
        std::min(docLength, control->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, lastLine + 1));
    if (rangeEnd <= rangeStart && firstLine != 0)
        return;
    const char *text = reinterpret_cast<const char *>(
        control->SendScintilla(QsciScintillaBase::SCI_GETRANGEPOINTER, rangeStart, rangeEnd - rangeStart));

    control->SendScintilla(QsciScintillaBase::SCI_STARTSTYLING, rangeStart);
    for (int line = firstLine; line <= lastLine; ++line) {
        const long lineStart = control->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, line);
        const long lineEnd = control->SendScintilla(QsciScintillaBase::SCI_GETLINEENDPOSITION, line);
        const long lineNext =
            std::min(docLength, control->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, line + 1));
        const std::size_t contentLength = static_cast<std::size_t>(lineEnd - lineStart);
        const std::size_t fullLength = static_cast<std::size_t>(std::max(lineNext, lineEnd) - lineStart);
        m_line.assign(text ? text + (lineStart - rangeStart) : "", text ? contentLength : 0);

        // Line 0 always starts in the normal range; every other line in the range the line
        // before it ended in.
        if (line == 0)
            m_highlighter.ClearLineState();
        else
            m_highlighter.RestoreLineState(
                static_cast<std::uint8_t>(control->SendScintilla(QsciScintillaBase::SCI_GETLINESTATE, line)));
        m_highlighter.StartLine(m_line.c_str(), line);

        m_styles.assign(fullLength, static_cast<char>(LexerStyle::Space));
        std::size_t scanned = 0;
        while (!m_highlighter.AtLineEnd()) {
            const char style = static_cast<char>(styleForKind(m_highlighter.CurrentKind()));
            const std::size_t tokenStart = static_cast<std::size_t>(m_highlighter.CurrentStart());
            const std::size_t tokenEnd = tokenStart + m_highlighter.CurrentText().size();
            std::memset(m_styles.data() + tokenStart, style, tokenEnd - tokenStart);
            scanned = tokenEnd;
            m_highlighter.NextToken();
        }
        // Behind an embedded NUL the scanner stops: those bytes keep the default style.
        if (scanned < contentLength && m_highlighter.CurrentStart() < static_cast<int>(contentLength))
            std::memset(m_styles.data() + scanned, static_cast<char>(LexerStyle::Default), contentLength - scanned);
        if (line == 0)
            control->SendScintilla(QsciScintillaBase::SCI_SETLINESTATE, 0, static_cast<long>(core::srNormal));
        control->SendScintilla(QsciScintillaBase::SCI_SETLINESTATE, line + 1,
                               static_cast<long>(m_highlighter.LineState()));
        if (!m_styles.empty())
            control->SendScintilla(QsciScintillaBase::SCI_SETSTYLINGEX, static_cast<unsigned long>(m_styles.size()),
                                   m_styles.data());
    }
}

} // namespace quillet::ui
