// SPDX-License-Identifier: GPL-3.0-or-later
#include "quillet/core/unrealscriptsyn.h"

namespace quillet::core {

namespace {

// Flags for the bytes an identifier may hold: 0-9, A-Z, underscore, a-z.
constexpr std::array<bool, 256> kIdentifierTable = [] {
    std::array<bool, 256> table{};
    for (int c = 0; c < 256; ++c)
        table[c] = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || c == '_' || (c >= 'a' && c <= 'z');
    return table;
}();

// Letter values for the keyword hash: a letter counts its upper-case code minus 64 (so
// both cases weigh the same), the underscore 31, every other byte 0.
constexpr std::array<int, 256> kLetterValue = [] {
    std::array<int, 256> table{};
    for (int c = 0; c < 256; ++c) {
        if (c >= 'A' && c <= 'Z')
            table[c] = c - 64;
        else if (c >= 'a' && c <= 'z')
            table[c] = c - 32 - 64;
        else if (c == '_')
            table[c] = 31;
    }
    return table;
}();

constexpr const char *kKeywordList[] = {
    "abstract",  "auto",         "bool",        "break",   "byte",   "case",      "class",     "coerce",   "config",
    "const",     "default",      "do",          "else",    "enum",   "event",     "expands",   "final",    "float",
    "for",       "foreach",      "function",    "global",  "goto",   "guid",      "if",        "input",    "int",
    "intrinsic", "iterator",     "latent",      "local",   "name",   "native",    "none",      "operator", "optional",
    "out",       "postoperator", "preoperator", "private", "return", "self",      "simulated", "singular", "state",
    "static",    "string",       "struct",      "super",   "switch", "transient", "until",     "var",      "while",
};
static_assert(std::size(kKeywordList) == 54);

// Bytes that continue a run of white space (not NUL, CR or LF).
constexpr std::array<bool, 256> kSpaceTable = [] {
    std::array<bool, 256> table{};
    for (int c = 1; c <= 32; ++c)
        table[c] = c != '\n' && c != '\r';
    return table;
}();

// Bytes that continue a number: 0-9, full stop, E F L U X and e f l u x.
constexpr std::array<bool, 256> kNumberTable = [] {
    std::array<bool, 256> table{};
    for (int c = '0'; c <= '9'; ++c)
        table[c] = true;
    for (const char c : {'.', 'E', 'F', 'L', 'U', 'X', 'e', 'f', 'l', 'u', 'x'})
        table[static_cast<unsigned char>(c)] = true;
    return table;
}();

// Bytes that end a line's text: NUL, CR, LF.
constexpr std::array<bool, 256> kLineBreakTable = [] {
    std::array<bool, 256> table{};
    table[0] = table['\r'] = table['\n'] = true;
    return table;
}();

inline unsigned char byteAt(const char *p)
{
    return static_cast<unsigned char>(*p);
}

inline bool isLineBreakOrEnd(char c)
{
    return kLineBreakTable[static_cast<unsigned char>(c)];
}

inline const char *toLineBreak(const char *p)
{
    while (!kLineBreakTable[byteAt(p)])
        ++p;
    return p;
}

} // namespace

TUnrealScriptSyn::TUnrealScriptSyn()
{
    for (TmwHighLightAttributes *attribute :
         {&m_asm, &m_comment, &m_directive, &m_identifier, &m_key, &m_number, &m_space, &m_string, &m_symbol})
        AddAttribute(attribute);
    m_kindAttribute = {&m_comment, &m_identifier, &m_key,    nullptr,      &m_number,
                       &m_space,   &m_string,     &m_symbol, &m_identifier};
    buildKeywordTable();
    buildDispatchTable();
    m_range = srNormal;
}

TUnrealScriptSyn::~TUnrealScriptSyn() = default;

int TUnrealScriptSyn::KeywordHash(std::string_view word)
{
    int hash = 0;
    for (const char c : word)
        hash += kLetterValue[static_cast<unsigned char>(c)];
    return hash;
}

void TUnrealScriptSyn::buildKeywordTable()
{
    // Each keyword sits in the slot of its own hash; no slot takes more than three.
    for (const char *keyword : kKeywordList) {
        const std::string_view word(keyword);
        const int slot = KeywordHash(word);
        if (slot >= kKeywordSlots || m_keywordCount[slot] >= kMaxKeywordsPerSlot)
            continue; // cannot happen with the fixed list; checked by the tests
        m_keywords[slot][m_keywordCount[slot]++] = Keyword{keyword, static_cast<int>(word.size())};
    }
}

int TUnrealScriptSyn::KeywordCount(int slot) const
{
    return slot >= 0 && slot < kKeywordSlots ? m_keywordCount[slot] : 0;
}

std::string_view TUnrealScriptSyn::KeywordAt(int slot, int index) const
{
    if (index < 0 || index >= KeywordCount(slot))
        return {};
    const Keyword &keyword = m_keywords[slot][index];
    return {keyword.text, static_cast<std::size_t>(keyword.length)};
}

void TUnrealScriptSyn::buildDispatchTable()
{
    for (int c = 0; c < 256; ++c) {
        ScanRule rule = ScanRule::Unknown;
        if (c == 0)
            rule = ScanRule::Null;
        else if (c == '\n')
            rule = ScanRule::Lf;
        else if (c == '\r')
            rule = ScanRule::Cr;
        else if (c <= 32)
            rule = ScanRule::Space;
        else if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_')
            rule = ScanRule::Ident;
        else if (c >= '0' && c <= '9')
            rule = ScanRule::Number;
        else {
            switch (c) {
            case '"':
                rule = ScanRule::String;
                break;
            case '\'':
                rule = ScanRule::Name;
                break;
            case '#':
                rule = ScanRule::Directive;
                break;
            case '/':
                rule = ScanRule::Slash;
                break;
            case '!':
            case '%':
            case '*':
            case '=':
            case '^':
                rule = ScanRule::EqualFollows;
                break;
            case ':':
                rule = ScanRule::Colon;
                break;
            case '&':
                rule = ScanRule::And;
                break;
            case '|':
                rule = ScanRule::Or;
                break;
            case '+':
                rule = ScanRule::Plus;
                break;
            case '-':
                rule = ScanRule::Minus;
                break;
            case '<':
                rule = ScanRule::Lower;
                break;
            case '>':
                rule = ScanRule::Greater;
                break;
            case '.':
                rule = ScanRule::Point;
                break;
            case '(':
            case ')':
            case '[':
            case ']':
            case '{':
            case '}':
            case ',':
            case ';':
            case '@':
            case '~':
                rule = ScanRule::SingleSymbol;
                break;
            default:
                break;
            }
        }
        m_procTable[c] = rule;
    }
}

void TUnrealScriptSyn::StartLine(const char *line, int lineIndex)
{
    m_line = line ? line : "";
    m_lineIndex = lineIndex;
    m_pos = 0;
    if (m_range == srOpenComment && !isLineBreakOrEnd(m_line[0])) {
        m_tokenStart = 0;
        openCommentProc();
        return;
    }
    NextToken();
}

void TUnrealScriptSyn::NextToken()
{
    m_tokenStart = m_pos;
    // One table lookup picks the rule; the switch lets the compiler inline every rule.
    switch (m_procTable[byteAt(m_line + m_pos)]) {
    case ScanRule::Null:
        nullProc();
        break;
    case ScanRule::Space:
        spaceProc();
        break;
    case ScanRule::Lf:
        lfProc();
        break;
    case ScanRule::Cr:
        crProc();
        break;
    case ScanRule::Ident:
        identProc();
        break;
    case ScanRule::Number:
        numberProc();
        break;
    case ScanRule::String:
        stringProc();
        break;
    case ScanRule::Name:
        nameProc();
        break;
    case ScanRule::Directive:
        directiveProc();
        break;
    case ScanRule::Slash:
        slashProc();
        break;
    case ScanRule::EqualFollows:
        equalFollowsProc();
        break;
    case ScanRule::Colon:
        colonProc();
        break;
    case ScanRule::And:
        andProc();
        break;
    case ScanRule::Or:
        orProc();
        break;
    case ScanRule::Plus:
        plusProc();
        break;
    case ScanRule::Minus:
        minusProc();
        break;
    case ScanRule::Lower:
        lowerProc();
        break;
    case ScanRule::Greater:
        greaterProc();
        break;
    case ScanRule::Point:
        pointProc();
        break;
    case ScanRule::SingleSymbol:
        singleSymbolProc();
        break;
    case ScanRule::Unknown:
        unknownProc();
        break;
    }
}

TmwHighLightAttributes *TUnrealScriptSyn::StandardAttribute(int index) const
{
    switch (index) {
    case 0:
        return m_kindAttribute[stSpace];
    case 1:
        return m_kindAttribute[stComment];
    case 2:
        return m_kindAttribute[stKeyword];
    default:
        return nullptr;
    }
}

bool TUnrealScriptSyn::IsWordChar(unsigned char c)
{
    return kIdentifierTable[c];
}

TScriptTokenKind TUnrealScriptSyn::identKind(int length, int hash) const
{
    // Keyword sums stay below the table's size; anything at or above it is an identifier
    // without any comparison.
    if (hash >= kKeywordSlots)
        return stIdentifier;
    const char *ident = m_line + m_identStart;
    const auto &slot = m_keywords[static_cast<std::size_t>(hash)];
    for (int k = 0; k < m_keywordCount[static_cast<std::size_t>(hash)]; ++k) {
        const Keyword &keyword = slot[static_cast<std::size_t>(k)];
        if (keyword.length != length)
            continue;
        int i = 0;
        while (i < length && kLetterValue[byteAt(ident + i)] == kLetterValue[byteAt(keyword.text + i)])
            ++i;
        if (i == length)
            return stKeyword;
    }
    return stIdentifier;
}

void TUnrealScriptSyn::nullProc()
{
    m_tokenKind = stLineEnd;
}

void TUnrealScriptSyn::spaceProc()
{
    const char *p = m_line + m_pos + 1;
    while (kSpaceTable[byteAt(p)])
        ++p;
    m_pos = static_cast<int>(p - m_line);
    m_tokenKind = stSpace;
}

void TUnrealScriptSyn::lfProc()
{
    ++m_pos;
    m_tokenKind = stSpace;
}

void TUnrealScriptSyn::crProc()
{
    ++m_pos;
    if (at(0) == '\n')
        ++m_pos;
    m_tokenKind = stSpace;
}

void TUnrealScriptSyn::identProc()
{
    m_identStart = m_pos;
    const char *p = m_line + m_pos;
    int hash = 0;
    while (kIdentifierTable[byteAt(p)]) {
        hash += kLetterValue[byteAt(p)];
        ++p;
    }
    m_pos = static_cast<int>(p - m_line);
    m_identLength = m_pos - m_identStart;
    m_tokenKind = identKind(m_identLength, hash);
}

void TUnrealScriptSyn::numberProc()
{
    const char *p = m_line + m_pos + 1;
    for (;;) {
        if (!kNumberTable[byteAt(p)])
            break;
        // "1..2" is a range-like pair of full stops, not part of the number.
        if (*p == '.' && p[1] == '.')
            break;
        ++p;
    }
    m_pos = static_cast<int>(p - m_line);
    m_tokenKind = stNumber;
}

void TUnrealScriptSyn::stringProc()
{
    m_tokenKind = stString;
    if (at(1) == '"' && at(2) == '"')
        m_pos += 2;
    for (;;) {
        if (isLineBreakOrEnd(at(0)))
            break;
        // A backslash protects only a following LF, never a quote.
        if (at(0) == '\\' && at(1) == '\n')
            ++m_pos;
        ++m_pos;
        if (at(0) == '"')
            break;
    }
    if (at(0) != '\0')
        ++m_pos;
}

void TUnrealScriptSyn::nameProc()
{
    m_tokenKind = stString;
    for (;;) {
        if (isLineBreakOrEnd(at(0)))
            break;
        ++m_pos;
        if (at(0) == '\'')
            break;
    }
    if (at(0) != '\0')
        ++m_pos;
}

void TUnrealScriptSyn::directiveProc()
{
    m_pos = static_cast<int>(toLineBreak(m_line + m_pos + 1) - m_line);
    m_tokenKind = stSymbol;
}

void TUnrealScriptSyn::slashProc()
{
    switch (at(1)) {
    case '/':
        m_pos = static_cast<int>(toLineBreak(m_line + m_pos + 2) - m_line);
        m_tokenKind = stComment;
        break;
    case '*':
        // The search for the closing star-slash starts on the opener's star, so "/*/" is
        // a complete comment.
        m_range = srOpenComment;
        ++m_pos;
        openCommentProc();
        break;
    case '=':
        m_pos += 2;
        m_tokenKind = stSymbol;
        break;
    default:
        ++m_pos;
        m_tokenKind = stSymbol;
        break;
    }
}

void TUnrealScriptSyn::openCommentProc()
{
    m_tokenKind = stComment;
    const char *p = m_line + m_pos;
    for (;;) {
        const char c = *p;
        if (c == '\0' || c == '\r' || c == '\n')
            break;
        if (c == '*' && p[1] == '/') {
            p += 2;
            m_range = srNormal;
            break;
        }
        ++p;
    }
    m_pos = static_cast<int>(p - m_line);
}

void TUnrealScriptSyn::equalFollowsProc()
{
    ++m_pos;
    if (at(0) == '=')
        ++m_pos;
    m_tokenKind = stSymbol;
}

void TUnrealScriptSyn::colonProc()
{
    m_pos += at(1) == ':' ? 2 : 1;
    m_tokenKind = stSymbol;
}

void TUnrealScriptSyn::andProc()
{
    m_pos += (at(1) == '&' || at(1) == '=') ? 2 : 1;
    m_tokenKind = stSymbol;
}

void TUnrealScriptSyn::orProc()
{
    m_pos += (at(1) == '|' || at(1) == '=') ? 2 : 1;
    m_tokenKind = stSymbol;
}

void TUnrealScriptSyn::plusProc()
{
    m_pos += (at(1) == '+' || at(1) == '=') ? 2 : 1;
    m_tokenKind = stSymbol;
}

void TUnrealScriptSyn::minusProc()
{
    m_pos += (at(1) == '-' || at(1) == '=' || at(1) == '>') ? 2 : 1;
    m_tokenKind = stSymbol;
}

void TUnrealScriptSyn::lowerProc()
{
    if (at(1) == '<')
        m_pos += at(2) == '=' ? 3 : 2;
    else if (at(1) == '=')
        m_pos += 2;
    else
        m_pos += 1;
    m_tokenKind = stSymbol;
}

void TUnrealScriptSyn::greaterProc()
{
    if (at(1) == '=')
        m_pos += 2;
    else if (at(1) == '>')
        m_pos += at(2) == '=' ? 3 : 2;
    else
        m_pos += 1;
    m_tokenKind = stSymbol;
}

void TUnrealScriptSyn::pointProc()
{
    m_pos += (at(1) == '.' && at(2) == '.') ? 3 : 1;
    m_tokenKind = stSymbol;
}

void TUnrealScriptSyn::singleSymbolProc()
{
    ++m_pos;
    m_tokenKind = stSymbol;
}

void TUnrealScriptSyn::unknownProc()
{
    ++m_pos;
    m_tokenKind = stUnknown;
}

} // namespace quillet::core
