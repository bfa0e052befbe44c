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

inline unsigned char byteAt(const char *p)
{
    return static_cast<unsigned char>(*p);
}

inline bool isLineBreakOrEnd(char c)
{
    return c == '\0' || c == '\r' || c == '\n';
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
        ScanRule rule = &TUnrealScriptSyn::unknownProc;
        if (c == 0)
            rule = &TUnrealScriptSyn::nullProc;
        else if (c == '\n')
            rule = &TUnrealScriptSyn::lfProc;
        else if (c == '\r')
            rule = &TUnrealScriptSyn::crProc;
        else if (c <= 32)
            rule = &TUnrealScriptSyn::spaceProc;
        else if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_')
            rule = &TUnrealScriptSyn::identProc;
        else if (c >= '0' && c <= '9')
            rule = &TUnrealScriptSyn::numberProc;
        else {
            switch (c) {
            case '"':
                rule = &TUnrealScriptSyn::stringProc;
                break;
            case '\'':
                rule = &TUnrealScriptSyn::nameProc;
                break;
            case '#':
                rule = &TUnrealScriptSyn::directiveProc;
                break;
            case '/':
                rule = &TUnrealScriptSyn::slashProc;
                break;
            case '!':
            case '%':
            case '*':
            case '=':
            case '^':
                rule = &TUnrealScriptSyn::equalFollowsProc;
                break;
            case ':':
                rule = &TUnrealScriptSyn::colonProc;
                break;
            case '&':
                rule = &TUnrealScriptSyn::andProc;
                break;
            case '|':
                rule = &TUnrealScriptSyn::orProc;
                break;
            case '+':
                rule = &TUnrealScriptSyn::plusProc;
                break;
            case '-':
                rule = &TUnrealScriptSyn::minusProc;
                break;
            case '<':
                rule = &TUnrealScriptSyn::lowerProc;
                break;
            case '>':
                rule = &TUnrealScriptSyn::greaterProc;
                break;
            case '.':
                rule = &TUnrealScriptSyn::pointProc;
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
                rule = &TUnrealScriptSyn::singleSymbolProc;
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
    (this->*m_procTable[byteAt(m_line + m_pos)])();
}

TmwHighLightAttributes *TUnrealScriptSyn::CurrentAttribute() const
{
    return m_kindAttribute[m_tokenKind];
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

TScriptTokenKind TUnrealScriptSyn::identKind(int length) const
{
    const char *ident = m_line + m_identStart;
    int hash = 0;
    for (int i = 0; i < length; ++i)
        hash += kLetterValue[byteAt(ident + i)];
    if (hash >= kKeywordSlots)
        return stIdentifier;
    const auto &slot = m_keywords[hash];
    for (int k = 0; k < m_keywordCount[hash]; ++k) {
        const Keyword &keyword = slot[k];
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
    ++m_pos;
    for (;;) {
        const unsigned char c = byteAt(m_line + m_pos);
        if (c == 0 || c == '\n' || c == '\r' || c > 32)
            break;
        ++m_pos;
    }
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
    while (kIdentifierTable[byteAt(m_line + m_pos)])
        ++m_pos;
    m_identLength = m_pos - m_identStart;
    m_tokenKind = identKind(m_identLength);
}

void TUnrealScriptSyn::numberProc()
{
    ++m_pos;
    for (;;) {
        const char c = at(0);
        const bool inNumber = (c >= '0' && c <= '9') || c == '.' || c == 'E' || c == 'F' || c == 'L' || c == 'U' ||
                              c == 'X' || c == 'e' || c == 'f' || c == 'l' || c == 'u' || c == 'x';
        if (!inNumber)
            break;
        // "1..2" is a range-like pair of full stops, not part of the number.
        if (c == '.' && at(1) == '.')
            break;
        ++m_pos;
    }
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
    ++m_pos;
    while (!isLineBreakOrEnd(at(0)))
        ++m_pos;
    m_tokenKind = stSymbol;
}

void TUnrealScriptSyn::slashProc()
{
    switch (at(1)) {
    case '/':
        m_pos += 2;
        while (!isLineBreakOrEnd(at(0)))
            ++m_pos;
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
    while (at(0) != '\0') {
        if (at(0) == '\r' || at(0) == '\n')
            break;
        if (at(0) == '*' && at(1) == '/') {
            m_pos += 2;
            m_range = srNormal;
            break;
        }
        ++m_pos;
    }
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
