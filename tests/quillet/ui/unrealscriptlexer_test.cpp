// SPDX-License-Identifier: GPL-3.0-or-later
#include "quillet/ui/unrealscriptlexer.h"

#include <QDir>

#include <Qsci/qsciscintilla.h>
#include <gtest/gtest.h>

#include "quillet/core/tokendump.h"
#include "quillet/core/unrealscriptsyn.h"
#include "quillet/ui/tmdichild.h"
#include "tests/support/testpaths.h"

using namespace quillet;
using quillet::ui::LexerStyle;
using quillet::ui::TMDIChild;
using quillet::ui::UnrealScriptLexer;

namespace {

void styleAll(QsciScintilla *edit)
{
    edit->SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0UL, -1L);
}

std::vector<int> documentStyles(QsciScintilla *edit)
{
    const long length = edit->SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
    std::vector<int> styles(static_cast<std::size_t>(length));
    for (long i = 0; i < length; ++i)
        styles[static_cast<std::size_t>(i)] =
            static_cast<int>(edit->SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, static_cast<unsigned long>(i)));
    return styles;
}

// What every byte should look like, worked out independently of the adapter: scan each
// line like the token dump does and lay the tokens onto the document's offsets.
std::vector<int> expectedStyles(const QByteArray &text)
{
    std::vector<int> styles(static_cast<std::size_t>(text.size()), static_cast<int>(LexerStyle::Space));
    core::TUnrealScriptSyn syn;
    syn.ClearLineState();
    qsizetype pos = 0;
    int lineIndex = 0;
    std::string line;
    while (pos <= text.size()) {
        qsizetype end = pos;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n')
            ++end;
        line.assign(text.constData() + pos, static_cast<std::size_t>(end - pos));
        syn.StartLine(line.c_str(), lineIndex);
        qsizetype scannedTo = pos;
        while (!syn.AtLineEnd()) {
            for (std::size_t i = 0; i < syn.CurrentText().size(); ++i)
                styles[static_cast<std::size_t>(pos + syn.CurrentStart()) + i] =
                    static_cast<int>(UnrealScriptLexer::styleForKind(syn.CurrentKind()));
            scannedTo = pos + syn.CurrentStart() + static_cast<qsizetype>(syn.CurrentText().size());
            syn.NextToken();
        }
        for (qsizetype i = scannedTo; i < end; ++i)
            styles[static_cast<std::size_t>(i)] = static_cast<int>(LexerStyle::Default);
        if (end >= text.size())
            break;
        pos = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
        ++lineIndex;
    }
    return styles;
}

} // namespace

TEST(UnrealScriptLexer, StylesEveryByteLikeTheScanner)
{
    const QDir inputs(testsupport::dataPath(QStringLiteral("uc/input")));
    const QStringList files = inputs.entryList({QStringLiteral("*.uc")}, QDir::Files, QDir::Name);
    ASSERT_FALSE(files.isEmpty());
    for (const QString &file : files) {
        const QByteArray text = testsupport::readData(QStringLiteral("uc/input/") + file);
        TMDIChild child;
        child.loadText(text);
        ASSERT_EQ(child.text(), text) << file.toStdString();
        styleAll(child.mwCustomEdit1);
        EXPECT_EQ(documentStyles(child.mwCustomEdit1), expectedStyles(text)) << file.toStdString();
    }
}

TEST(UnrealScriptLexer, RestylesFollowingLinesWhenACommentOpensOrCloses)
{
    TMDIChild child;
    const QByteArray text("var int A;\r\nvar int B;\r\nvar int C;\r\n");
    child.loadText(text);
    QsciScintilla *edit = child.mwCustomEdit1;
    styleAll(edit);
    ASSERT_EQ(documentStyles(edit), expectedStyles(text));

    // Open a block comment on the first line: everything after it turns into comment.
    edit->setCursorPosition(0, 0);
    edit->insert(QStringLiteral("/* "));
    styleAll(edit);
    QByteArray edited = child.text();
    EXPECT_EQ(documentStyles(edit), expectedStyles(edited));
    EXPECT_EQ(edit->SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, static_cast<unsigned long>(edited.indexOf("C;"))),
              static_cast<long>(LexerStyle::Comment));

    // Close it on the second line: the third line is code again.
    edit->setCursorPosition(1, 3);
    edit->insert(QStringLiteral("*/"));
    styleAll(edit);
    edited = child.text();
    EXPECT_EQ(documentStyles(edit), expectedStyles(edited));
    EXPECT_EQ(
        edit->SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, static_cast<unsigned long>(edited.indexOf("var int C"))),
        static_cast<long>(LexerStyle::Keyword));
}

TEST(UnrealScriptLexer, StylesALongSingleLine)
{
    const QByteArray chunk("x = 12 + \"s\"; // \xe9\0 ", 20);
    QByteArray text;
    while (text.size() < 10 * 1024 * 1024)
        text += chunk;
    TMDIChild child;
    child.loadText(text);
    styleAll(child.mwCustomEdit1);
    const long last = child.mwCustomEdit1->SendScintilla(QsciScintillaBase::SCI_GETENDSTYLED);
    EXPECT_EQ(last, static_cast<long>(text.size()));
    // The first NUL stops the scan; the rest of the line keeps the default style.
    const qsizetype nul = text.indexOf('\0');
    EXPECT_EQ(
        child.mwCustomEdit1->SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, static_cast<unsigned long>(nul - 1)),
        static_cast<long>(LexerStyle::Comment));
    EXPECT_EQ(child.mwCustomEdit1->SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT,
                                                 static_cast<unsigned long>(text.size() - 1)),
              static_cast<long>(LexerStyle::Default));
}

TEST(UnrealScriptLexer, AttributeColoursReachTheStyles)
{
    TMDIChild child;
    core::EditorOptions options;
    options.tokenStyles[0] = core::TTokenStyle{0x800000, 0xFFFFFF, core::fsBold | core::fsItalic};
    options.tokenStyles[5] = core::TTokenStyle{0x008000, 0x000000, core::fsUnderline};
    options.EditorFontName = QStringLiteral("DejaVu Sans Mono");
    options.EditorFontSize = 14;
    options.EditorTabTranslation = 4;
    child.applyEditorOptions(options);
    UnrealScriptLexer *lexer = child.lexer();
    const int keyword = static_cast<int>(LexerStyle::Keyword);
    const int comment = static_cast<int>(LexerStyle::Comment);
    EXPECT_EQ(lexer->color(keyword), QColor(0, 0, 0x80));
    EXPECT_EQ(lexer->paper(keyword), QColor(0xFF, 0xFF, 0xFF));
    EXPECT_TRUE(lexer->font(keyword).bold());
    EXPECT_TRUE(lexer->font(keyword).italic());
    EXPECT_FALSE(lexer->font(keyword).underline());
    EXPECT_EQ(lexer->font(keyword).pointSize(), 14);
    EXPECT_EQ(lexer->color(comment), QColor(0, 0x80, 0));
    EXPECT_TRUE(lexer->font(comment).underline());
    EXPECT_EQ(child.mwCustomEdit1->tabWidth(), 4);
    // What the control really paints with.
    EXPECT_EQ(
        child.mwCustomEdit1->SendScintilla(QsciScintillaBase::SCI_STYLEGETFORE, static_cast<unsigned long>(keyword)),
        0x800000L);
    EXPECT_EQ(
        child.mwCustomEdit1->SendScintilla(QsciScintillaBase::SCI_STYLEGETITALIC, static_cast<unsigned long>(keyword)),
        1L);
    EXPECT_EQ(
        child.mwCustomEdit1->SendScintilla(QsciScintillaBase::SCI_STYLEGETSIZE, static_cast<unsigned long>(keyword)),
        14L);

    // Options that were never set leave font and tab width alone.
    child.applyEditorOptions(core::EditorOptions{});
    EXPECT_EQ(child.mwCustomEdit1->tabWidth(), 4);
    EXPECT_EQ(lexer->font(keyword).pointSize(), 14);
}
