// SPDX-License-Identifier: GPL-3.0-or-later
#include "quillet/core/unrealscriptsyn.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

using namespace quillet::core;

namespace {

struct Token
{
    int start;
    int kind;
    std::string text;
    friend bool operator==(const Token &, const Token &) = default;
};

std::ostream &operator<<(std::ostream &os, const Token &t)
{
    return os << '{' << t.start << ',' << t.kind << ",\"" << t.text << "\"}";
}

struct Scan
{
    std::vector<Token> tokens;
    int endRange = 0;
};

Scan scanLine(TUnrealScriptSyn &syn, const std::string &line, std::uint8_t range = srNormal)
{
    Scan result;
    syn.RestoreLineState(range);
    syn.StartLine(line.c_str(), 0);
    int guard = 0;
    while (!syn.AtLineEnd() && guard++ < 100000) {
        result.tokens.push_back({syn.CurrentStart(), syn.CurrentKind(), std::string(syn.CurrentText())});
        syn.NextToken();
    }
    result.endRange = syn.LineState();
    return result;
}

Scan scanLine(const std::string &line, std::uint8_t range = srNormal)
{
    TUnrealScriptSyn syn;
    return scanLine(syn, line, range);
}

// Kinds and texts only, for cases where offsets add nothing.
std::vector<std::pair<int, std::string>> kindsAndTexts(const std::string &line, std::uint8_t range = srNormal)
{
    std::vector<std::pair<int, std::string>> out;
    for (const Token &t : scanLine(line, range).tokens)
        out.emplace_back(t.kind, t.text);
    return out;
}

} // namespace

TEST(UnrealScriptSyn, KeywordTableMatchesTheFixedSlots)
{
    TUnrealScriptSyn syn;
    int total = 0;
    for (int slot = 0; slot < TUnrealScriptSyn::kKeywordSlots; ++slot) {
        total += syn.KeywordCount(slot);
        for (int i = 0; i < syn.KeywordCount(slot); ++i)
            EXPECT_EQ(TUnrealScriptSyn::KeywordHash(syn.KeywordAt(slot, i)), slot);
    }
    EXPECT_EQ(total, 54);
    EXPECT_EQ(syn.KeywordAt(15, 0), "if");
    EXPECT_EQ(syn.KeywordAt(178, 0), "postoperator");

    const std::vector<std::pair<int, std::vector<std::string>>> shared = {
        {41, {"else", "guid", "var"}},
        {42, {"final", "self"}},
        {43, {"int", "local"}},
        {49, {"coerce", "global"}},
        {54, {"class", "config", "float"}},
        {56, {"foreach", "out"}},
        {57, {"auto", "goto", "while"}},
        {71, {"const", "native"}},
        {72, {"latent", "static"}},
        {101, {"singular", "struct"}},
        {102, {"function", "optional"}},
    };
    int multi = 0;
    for (int slot = 0; slot < TUnrealScriptSyn::kKeywordSlots; ++slot)
        multi += syn.KeywordCount(slot) > 1 ? 1 : 0;
    EXPECT_EQ(multi, static_cast<int>(shared.size()));
    for (const auto &[slot, words] : shared) {
        std::vector<std::string> got;
        for (int i = 0; i < syn.KeywordCount(slot); ++i)
            got.emplace_back(syn.KeywordAt(slot, i));
        std::sort(got.begin(), got.end());
        EXPECT_EQ(got, words) << "slot " << slot;
    }
}

TEST(UnrealScriptSyn, ClassifiesIdentifiersAndKeywords)
{
    const std::vector<std::pair<std::string, int>> cases = {
        {"if", stKeyword},
        {"IF", stKeyword},
        {"If", stKeyword},
        {"None", stKeyword},
        {"Self", stKeyword},
        {"PostOperator", stKeyword},
        {"DefaultProperties", stIdentifier},
        {"defaultproperties", stIdentifier},
        {"if2", stIdentifier}, // hash 15 like "if", but three bytes long
        {"fi", stIdentifier},  // same hash and length, other letters
        {"i_f", stIdentifier}, // the underscore weighs 31
        {"_", stIdentifier},
        {"zzzzzzz", stIdentifier}, // hash 182: beyond the table
        {"Weapon3", stIdentifier},
        {"A_b", stIdentifier},
        {"struct", stKeyword},
        {"singular", stKeyword},
        {"Singular", stKeyword},
        {"strucT", stKeyword},
        {"intrinsic", stKeyword},
        {"Begin", stIdentifier},
    };
    for (const auto &[word, kind] : cases) {
        const Scan scan = scanLine(word);
        ASSERT_EQ(scan.tokens.size(), 1u) << word;
        EXPECT_EQ(scan.tokens[0], (Token{0, kind, word})) << word;
    }
}

TEST(UnrealScriptSyn, EveryKeywordInEveryCaseIsAKeyword)
{
    TUnrealScriptSyn syn;
    for (int slot = 0; slot < TUnrealScriptSyn::kKeywordSlots; ++slot) {
        for (int i = 0; i < syn.KeywordCount(slot); ++i) {
            std::string word(syn.KeywordAt(slot, i));
            std::string upper = word;
            for (char &c : upper)
                c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            for (const std::string &w : {word, upper, word + "x", "x" + word}) {
                const Scan scan = scanLine(syn, w);
                ASSERT_EQ(scan.tokens.size(), 1u) << w;
                const bool isKeyword = w == word || w == upper;
                EXPECT_EQ(scan.tokens[0].kind, isKeyword ? stKeyword : stIdentifier) << w;
            }
        }
    }
}

TEST(UnrealScriptSyn, ScansNumbers)
{
    using KT = std::vector<std::pair<int, std::string>>;
    const std::vector<std::pair<std::string, KT>> cases = {
        {"1.5e10", {{stNumber, "1.5e10"}}},
        {"3.14f", {{stNumber, "3.14f"}}},
        {"10L", {{stNumber, "10L"}}},
        {"1.2.3", {{stNumber, "1.2.3"}}},
        {"0x1F", {{stNumber, "0x1F"}}},
        {"0xAB", {{stNumber, "0x"}, {stIdentifier, "AB"}}},
        {"1e-5", {{stNumber, "1e"}, {stSymbol, "-"}, {stNumber, "5"}}},
        {"12abc", {{stNumber, "12"}, {stIdentifier, "abc"}}},
        {"1..2", {{stNumber, "1"}, {stSymbol, "."}, {stSymbol, "."}, {stNumber, "2"}}},
        {"1...2", {{stNumber, "1"}, {stSymbol, "..."}, {stNumber, "2"}}},
        {"7.", {{stNumber, "7."}}},
        {"65536.0f;", {{stNumber, "65536.0f"}, {stSymbol, ";"}}},
    };
    for (const auto &[line, expected] : cases)
        EXPECT_EQ(kindsAndTexts(line), expected) << line;
}

TEST(UnrealScriptSyn, ScansOperatorsAsSingleTokens)
{
    const std::vector<std::string> whole = {"<<=", ">>=", "...", "->", "::", "++", "--", "&&", "||", "==", "!=", "<=",
                                            ">=",  "<<",  ">>",  "+=", "-=", "&=", "|=", "%=", "*=", "^=", "/=", "!",
                                            "%",   "*",   "=",   "^",  ":",  "&",  "|",  "+",  "-",  "<",  ">",  ".",
                                            "(",   ")",   "[",   "]",  "{",  "}",  ",",  ";",  "@",  "~",  "/"};
    for (const std::string &op : whole) {
        const Scan scan = scanLine(op);
        ASSERT_EQ(scan.tokens.size(), 1u) << op;
        EXPECT_EQ(scan.tokens[0], (Token{0, stSymbol, op})) << op;
    }
    using KT = std::vector<std::pair<int, std::string>>;
    const std::vector<std::pair<std::string, KT>> split = {
        {"..", {{stSymbol, "."}, {stSymbol, "."}}},
        {"<<<", {{stSymbol, "<<"}, {stSymbol, "<"}}},
        {">>>", {{stSymbol, ">>"}, {stSymbol, ">"}}},
        {"===", {{stSymbol, "=="}, {stSymbol, "="}}},
        {":::", {{stSymbol, "::"}, {stSymbol, ":"}}},
        {"-->", {{stSymbol, "--"}, {stSymbol, ">"}}},
        {"a->b", {{stIdentifier, "a"}, {stSymbol, "->"}, {stIdentifier, "b"}}},
        {"<>", {{stSymbol, "<"}, {stSymbol, ">"}}},
    };
    for (const auto &[line, expected] : split)
        EXPECT_EQ(kindsAndTexts(line), expected) << line;
}

TEST(UnrealScriptSyn, UnknownBytesAreSingleTokensPaintedAsIdentifiers)
{
    TUnrealScriptSyn syn;
    std::vector<std::string> singles = {"$", "?", "\\", "`"};
    for (int c = 127; c < 256; ++c)
        singles.emplace_back(1, static_cast<char>(c));
    for (const std::string &s : singles) {
        const Scan scan = scanLine(syn, s + s);
        ASSERT_EQ(scan.tokens.size(), 2u) << int(static_cast<unsigned char>(s[0]));
        EXPECT_EQ(scan.tokens[0], (Token{0, stUnknown, s}));
        EXPECT_EQ(scan.tokens[1], (Token{1, stUnknown, s}));
        syn.StartLine((s + "x").c_str(), 0);
        EXPECT_EQ(syn.CurrentAttribute(), &syn.IdentifierAttri());
    }
    // UTF-8 multi-byte text is one token per byte.
    EXPECT_EQ(scanLine("\xC3\xA4").tokens.size(), 2u);
}

TEST(UnrealScriptSyn, ScansSpaceRunsAndLineBreakBytes)
{
    using KT = std::vector<std::pair<int, std::string>>;
    const std::vector<std::pair<std::string, KT>> cases = {
        {" \t \x01\x1f x", {{stSpace, " \t \x01\x1f "}, {stIdentifier, "x"}}},
        {"a\r\nb", {{stIdentifier, "a"}, {stSpace, "\r\n"}, {stIdentifier, "b"}}},
        {"a\n\rb", {{stIdentifier, "a"}, {stSpace, "\n"}, {stSpace, "\r"}, {stIdentifier, "b"}}},
        {" \r ", {{stSpace, " "}, {stSpace, "\r"}, {stSpace, " "}}},
        {"\x0b\x0c", {{stSpace, "\x0b\x0c"}}},
    };
    for (const auto &[line, expected] : cases)
        EXPECT_EQ(kindsAndTexts(line), expected);
}

TEST(UnrealScriptSyn, EmptyLineEndsAtOnce)
{
    TUnrealScriptSyn syn;
    syn.StartLine("", 4);
    EXPECT_TRUE(syn.AtLineEnd());
    EXPECT_EQ(syn.CurrentKind(), stLineEnd);
    EXPECT_EQ(syn.CurrentAttribute(), nullptr);
    EXPECT_EQ(syn.CurrentText(), "");
    // NextToken at the end stays on the NUL.
    syn.NextToken();
    EXPECT_TRUE(syn.AtLineEnd());
    EXPECT_EQ(syn.CurrentStart(), 0);
}

TEST(UnrealScriptSyn, HashLinesRunToTheLineEnd)
{
    using KT = std::vector<std::pair<int, std::string>>;
    const std::vector<std::pair<std::string, KT>> cases = {
        {"#exec TEXTURE IMPORT NAME=x FILE=y.pcx", {{stSymbol, "#exec TEXTURE IMPORT NAME=x FILE=y.pcx"}}},
        {"  #exec MESH", {{stSpace, "  "}, {stSymbol, "#exec MESH"}}},
        {"a = b # c // d",
         {{stIdentifier, "a"},
          {stSpace, " "},
          {stSymbol, "="},
          {stSpace, " "},
          {stIdentifier, "b"},
          {stSpace, " "},
          {stSymbol, "# c // d"}}},
        {"#x\r\ny", {{stSymbol, "#x"}, {stSpace, "\r\n"}, {stIdentifier, "y"}}},
    };
    for (const auto &[line, expected] : cases)
        EXPECT_EQ(kindsAndTexts(line), expected) << line;
}

TEST(UnrealScriptSyn, ScansStringsAndNames)
{
    using KT = std::vector<std::pair<int, std::string>>;
    const std::vector<std::pair<std::string, KT>> cases = {
        {"\"abc\";", {{stString, "\"abc\""}, {stSymbol, ";"}}},
        {"\"\"", {{stString, "\"\""}}},
        {"\"\";", {{stString, "\"\""}, {stSymbol, ";"}}},
        {"\"a\\\"b\"", {{stString, "\"a\\\""}, {stIdentifier, "b"}, {stString, "\""}}},
        {"\"unclosed // not a comment", {{stString, "\"unclosed // not a comment"}}},
        {"\"a\r\nb", {{stString, "\"a\r"}, {stSpace, "\n"}, {stIdentifier, "b"}}},
        {"\"\"\"x\"", {{stString, "\"\"\"x\""}}},
        {"\"", {{stString, "\""}}},
        {"'None'", {{stString, "'None'"}}},
        {"''", {{stString, "''"}}},
        {"class'Pawn',", {{stKeyword, "class"}, {stString, "'Pawn'"}, {stSymbol, ","}}},
        {"'open", {{stString, "'open"}}},
        {"'a\nb'", {{stString, "'a\n"}, {stIdentifier, "b"}, {stString, "'"}}},
    };
    for (const auto &[line, expected] : cases)
        EXPECT_EQ(kindsAndTexts(line), expected) << line;
}

TEST(UnrealScriptSyn, ScansCommentsAndKeepsTheRange)
{
    struct Case
    {
        std::string line;
        std::uint8_t startRange;
        std::vector<std::pair<int, std::string>> tokens;
        int endRange;
    };
    const std::vector<Case> cases = {
        {"// note /* x", srNormal, {{stComment, "// note /* x"}}, srNormal},
        {"a /* b */ c",
         srNormal,
         {{stIdentifier, "a"}, {stSpace, " "}, {stComment, "/* b */"}, {stSpace, " "}, {stIdentifier, "c"}},
         srNormal},
        {"/*/ x", srNormal, {{stComment, "/*/"}, {stSpace, " "}, {stIdentifier, "x"}}, srNormal},
        {"/**/", srNormal, {{stComment, "/**/"}}, srNormal},
        {"x /* open", srNormal, {{stIdentifier, "x"}, {stSpace, " "}, {stComment, "/* open"}}, srOpenComment},
        {"/* a\r\nb", srNormal, {{stComment, "/* a"}, {stSpace, "\r\n"}, {stIdentifier, "b"}}, srOpenComment},
        {"a /= 2",
         srNormal,
         {{stIdentifier, "a"}, {stSpace, " "}, {stSymbol, "/="}, {stSpace, " "}, {stNumber, "2"}},
         srNormal},
        // A line without an opener keeps whatever range it was given.
        {"", srOpenComment, {}, srOpenComment},
        {"x", 0, {{stIdentifier, "x"}}, 0},
        // A line that begins inside a block comment is comment up to the first star-slash.
        {"still comment */ x",
         srOpenComment,
         {{stComment, "still comment */"}, {stSpace, " "}, {stIdentifier, "x"}},
         srNormal},
        {"still comment", srOpenComment, {{stComment, "still comment"}}, srOpenComment},
        {"*/", srOpenComment, {{stComment, "*/"}}, srNormal},
        {"a */ /* b", srOpenComment, {{stComment, "a */"}, {stSpace, " "}, {stComment, "/* b"}}, srOpenComment},
        {"*/", srNormal, {{stSymbol, "*"}, {stSymbol, "/"}}, srNormal},
    };
    for (const Case &c : cases) {
        const Scan scan = scanLine(c.line, c.startRange);
        std::vector<std::pair<int, std::string>> got;
        for (const Token &t : scan.tokens)
            got.emplace_back(t.kind, t.text);
        EXPECT_EQ(got, c.tokens) << c.line;
        EXPECT_EQ(scan.endRange, c.endRange) << c.line;
    }
}

TEST(UnrealScriptSyn, TokensTileTheLineWithoutGaps)
{
    // Every byte value in every position: tokens must cover the line exactly once, each
    // non-empty, and the scan must stop on the terminating NUL.
    std::string line;
    for (int c = 1; c < 256; ++c) {
        line += static_cast<char>(c);
        line += static_cast<char>(256 - c);
    }
    line += "/* tail";
    for (std::uint8_t range : {std::uint8_t(srNormal), std::uint8_t(srOpenComment)}) {
        const Scan scan = scanLine(line, range);
        int expectedStart = 0;
        for (const Token &t : scan.tokens) {
            ASSERT_EQ(t.start, expectedStart);
            ASSERT_FALSE(t.text.empty());
            expectedStart += static_cast<int>(t.text.size());
        }
        EXPECT_EQ(expectedStart, static_cast<int>(line.size()));
    }
}

TEST(UnrealScriptSyn, StopsAtAnEmbeddedNul)
{
    const std::string withNul("ab\0cd", 5);
    const Scan scan = scanLine(withNul);
    ASSERT_EQ(scan.tokens.size(), 1u);
    EXPECT_EQ(scan.tokens[0], (Token{0, stIdentifier, "ab"}));
}

TEST(UnrealScriptSyn, AttributesAreOrderedAndNamed)
{
    TUnrealScriptSyn syn;
    const std::vector<std::string> names = {"Asm",           "Comment", "Directive", "Identifier", "Number",
                                            "Reserved word", "Space",   "String",    "Symbol"};
    ASSERT_EQ(syn.AttrCount(), 9);
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(syn.Attribute(i)->name(), names[static_cast<std::size_t>(i)]);
    EXPECT_EQ(syn.Attribute(9), nullptr);
    EXPECT_EQ(syn.StandardAttribute(0)->name(), "Space");
    EXPECT_EQ(syn.StandardAttribute(1)->name(), "Comment");
    EXPECT_EQ(syn.StandardAttribute(2)->name(), "Reserved word");
    EXPECT_EQ(syn.StandardAttribute(3), nullptr);
    EXPECT_EQ(syn.StandardAttribute(-1), nullptr);
    EXPECT_EQ(syn.KeyAttri().foreground(), clNone);
    EXPECT_EQ(syn.KeyAttri().background(), clNone);
    EXPECT_EQ(syn.KeyAttri().style(), 0);

    const std::vector<std::pair<std::string, TmwHighLightAttributes *>> byKind = {
        {"// c", &syn.CommentAttri()}, {"x", &syn.IdentifierAttri()}, {"var", &syn.KeyAttri()},
        {"1", &syn.NumberAttri()},     {" ", &syn.SpaceAttri()},      {"'n'", &syn.StringAttri()},
        {";", &syn.SymbolAttri()},     {"$", &syn.IdentifierAttri()},
    };
    for (const auto &[line, attribute] : byKind) {
        syn.StartLine(line.c_str(), 0);
        EXPECT_EQ(syn.CurrentAttribute(), attribute) << line;
    }
}

TEST(UnrealScriptSyn, AttributeChangesNotifyOncePerRealChange)
{
    TUnrealScriptSyn syn;
    int notified = 0;
    syn.setAttributeChangeHandler([&notified] { ++notified; });
    syn.KeyAttri().setForeground(0x800000);
    syn.KeyAttri().setForeground(0x800000);
    syn.CommentAttri().setBackground(0);
    syn.SymbolAttri().setStyle(fsBold | fsItalic);
    EXPECT_EQ(notified, 3);
}

TEST(UnrealScriptSyn, ConstantProperties)
{
    EXPECT_EQ(TUnrealScriptSyn::LanguageTitle(), "Unreal Script");
    EXPECT_EQ(TUnrealScriptSyn::DefaultFilter(), "Unreal Script Files (*.uc)|*.uc");
    std::string wordChars;
    for (int c = 0; c < 256; ++c) {
        if (TUnrealScriptSyn::IsWordChar(static_cast<unsigned char>(c)))
            wordChars += static_cast<char>(c);
    }
    EXPECT_EQ(wordChars, "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ_abcdefghijklmnopqrstuvwxyz");
    TUnrealScriptSyn syn;
    EXPECT_EQ(syn.LineState(), srNormal);
}
