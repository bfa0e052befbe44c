// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "quillet/core/highlightattributes.h"

namespace quillet::core {

// Token kinds; the ordinal is what CurrentKind() returns.
enum TScriptTokenKind : std::uint8_t {
    stComment = 0,
    stIdentifier = 1,
    stKeyword = 2,
    stLineEnd = 3,
    stNumber = 4,
    stSpace = 5,
    stString = 6,
    stSymbol = 7,
    stUnknown = 8,
};

// The state carried from one line to the next.
enum TScriptRange : std::uint8_t {
    srOpenComment = 1,
    srNormal = 8,
};

// Cuts one line of UnrealScript source (bytes, ending in a NUL) into tokens and gives each
// a kind and a display attribute. It reads the line in place and allocates nothing while
// scanning; the only state carried between lines is the range (open block comment or not).
//
// A line that begins in srOpenComment starts with a comment token up to and including the
// first star-slash (which closes the range) or to the line's end, so text inside a block
// comment spanning lines is painted as comment.
class TUnrealScriptSyn : public TmwCustomHighLighter
{
public:
    static constexpr int kKeywordSlots = 179;
    static constexpr int kMaxKeywordsPerSlot = 3;

    TUnrealScriptSyn();
    ~TUnrealScriptSyn() override;

    // line must stay valid and NUL-terminated while its tokens are read.
    void StartLine(const char *line, int lineIndex);
    void NextToken();
    bool AtLineEnd() const { return m_tokenKind == stLineEnd; }
    std::string_view CurrentText() const
    {
        return {m_line + m_tokenStart, static_cast<std::size_t>(m_pos - m_tokenStart)};
    }
    int CurrentStart() const { return m_tokenStart; }
    int CurrentKind() const { return m_tokenKind; }
    TmwHighLightAttributes *CurrentAttribute() const { return m_kindAttribute[m_tokenKind]; }
    int LineIndex() const { return m_lineIndex; }

    std::uint8_t LineState() const { return m_range; }
    void RestoreLineState(std::uint8_t value) { m_range = value; }
    void ClearLineState() { m_range = srNormal; }

    // 0 "Space", 1 "Comment", 2 "Reserved word", anything else none.
    TmwHighLightAttributes *StandardAttribute(int index) const;
    static bool IsWordChar(unsigned char c);
    static std::string_view LanguageTitle() { return "Unreal Script"; }
    static std::string_view DefaultFilter() { return "Unreal Script Files (*.uc)|*.uc"; }

    // The keywords of one hash slot, for inspection; empty beyond the table.
    int KeywordCount(int slot) const;
    std::string_view KeywordAt(int slot, int index) const;
    static int KeywordHash(std::string_view word);

    TmwHighLightAttributes &AsmAttri() { return m_asm; }
    TmwHighLightAttributes &CommentAttri() { return m_comment; }
    TmwHighLightAttributes &DirectiveAttri() { return m_directive; }
    TmwHighLightAttributes &IdentifierAttri() { return m_identifier; }
    TmwHighLightAttributes &KeyAttri() { return m_key; }
    TmwHighLightAttributes &NumberAttri() { return m_number; }
    TmwHighLightAttributes &SpaceAttri() { return m_space; }
    TmwHighLightAttributes &StringAttri() { return m_string; }
    TmwHighLightAttributes &SymbolAttri() { return m_symbol; }

private:
    // The scanning rules the dispatch table chooses from, one per byte value.
    enum class ScanRule : std::uint8_t {
        Null,
        Space,
        Lf,
        Cr,
        Ident,
        Number,
        String,
        Name,
        Directive,
        Slash,
        EqualFollows,
        Colon,
        And,
        Or,
        Plus,
        Minus,
        Lower,
        Greater,
        Point,
        SingleSymbol,
        Unknown,
    };

    struct Keyword
    {
        const char *text = nullptr;
        int length = 0;
    };

    void buildKeywordTable();
    void buildDispatchTable();
    TScriptTokenKind identKind(int length, int hash) const;
    char at(int offset) const { return m_line[m_pos + offset]; }

    void nullProc();
    void spaceProc();
    void lfProc();
    void crProc();
    void identProc();
    void numberProc();
    void stringProc();
    void nameProc();
    void directiveProc();
    void slashProc();
    void equalFollowsProc();
    void colonProc();
    void andProc();
    void orProc();
    void plusProc();
    void minusProc();
    void lowerProc();
    void greaterProc();
    void pointProc();
    void singleSymbolProc();
    void unknownProc();
    void openCommentProc();

    TmwHighLightAttributes m_asm{"Asm"};
    TmwHighLightAttributes m_comment{"Comment"};
    TmwHighLightAttributes m_directive{"Directive"};
    TmwHighLightAttributes m_identifier{"Identifier"};
    TmwHighLightAttributes m_key{"Reserved word"};
    TmwHighLightAttributes m_number{"Number"};
    TmwHighLightAttributes m_space{"Space"};
    TmwHighLightAttributes m_string{"String"};
    TmwHighLightAttributes m_symbol{"Symbol"};

    std::array<ScanRule, 256> m_procTable{};
    std::array<TmwHighLightAttributes *, 9> m_kindAttribute{};
    std::array<std::array<Keyword, kMaxKeywordsPerSlot>, kKeywordSlots> m_keywords{};
    std::array<std::uint8_t, kKeywordSlots> m_keywordCount{};

    const char *m_line = "";
    int m_lineIndex = 0;
    int m_pos = 0;
    int m_tokenStart = 0;
    TScriptTokenKind m_tokenKind = stLineEnd;
    std::uint8_t m_range = srNormal;
    int m_identStart = 0;
    int m_identLength = 0;
};

} // namespace quillet::core
