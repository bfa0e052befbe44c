// SPDX-License-Identifier: GPL-3.0-or-later
#include "quillet/ui/textsearch.h"

#include <optional>
#include <regex>

#include <Qsci/qsciscintilla.h>

namespace quillet::ui {

namespace {

using Sci = QsciScintillaBase;

struct Match
{
    long start = 0;
    long end = 0;
};

// What the control answers for a regular expression it cannot compile.
constexpr long kInvalid = -2;

long sci(QsciScintilla &edit, unsigned int message, unsigned long wParam = 0, long lParam = 0)
{
    return edit.SendScintilla(message, wParam, lParam);
}

int searchFlags(const core::TextPattern &pattern)
{
    int flags = 0;
    if (pattern.matchCase)
        flags |= Sci::SCFIND_MATCHCASE;
    if (pattern.wholeWord)
        flags |= Sci::SCFIND_WHOLEWORD;
    if (pattern.regularExpression)
        flags |= Sci::SCFIND_REGEXP | Sci::SCFIND_CXX11REGEX;
    return flags;
}

// The document holds 8-bit text shown as Latin-1; the pattern goes in as the same bytes.
QByteArray bytesOf(const QString &text)
{
    return text.toLatin1();
}

// Searches [from, to) (backwards when from > to); nullopt when nothing matches, a match with
// start kInvalid for a pattern the control refuses.
std::optional<Match> search(QsciScintilla &edit, const core::TextPattern &pattern, long from, long to)
{
    const QByteArray needle = bytesOf(pattern.text);
    sci(edit, Sci::SCI_SETTARGETSTART, static_cast<unsigned long>(from));
    sci(edit, Sci::SCI_SETTARGETEND, static_cast<unsigned long>(to));
    sci(edit, Sci::SCI_SETSEARCHFLAGS, static_cast<unsigned long>(searchFlags(pattern)));
    const long found =
        edit.SendScintilla(Sci::SCI_SEARCHINTARGET, static_cast<unsigned long>(needle.size()), needle.constData());
    if (found == kInvalid)
        return Match{kInvalid, kInvalid};
    if (found < 0)
        return std::nullopt;
    return Match{sci(edit, Sci::SCI_GETTARGETSTART), sci(edit, Sci::SCI_GETTARGETEND)};
}

// The control compiles the pattern with the standard library's ECMAScript grammar and only
// says "not found" for one it cannot compile; asking the same grammar tells the two apart.
bool isValidPattern(const core::TextPattern &pattern)
{
    if (!pattern.regularExpression)
        return true;
    try {
        const std::regex compiled(bytesOf(pattern.text).toStdString(), std::regex::ECMAScript);
        return compiled.mark_count() < 100;
    } catch (const std::regex_error &) {
        return false;
    }
}

void select(QsciScintilla &edit, const Match &match)
{
    sci(edit, Sci::SCI_SETSEL, static_cast<unsigned long>(match.start), match.end);
    sci(edit, Sci::SCI_SCROLLCARET);
}

} // namespace

SearchResult findInEditor(QsciScintilla &edit, const core::TextPattern &pattern, bool forward, bool wrap)
{
    if (pattern.text.isEmpty())
        return SearchResult::NotFound;
    if (!isValidPattern(pattern))
        return SearchResult::InvalidPattern;
    const long length = sci(edit, Sci::SCI_GETLENGTH);
    const long selStart = sci(edit, Sci::SCI_GETSELECTIONSTART);
    const long selEnd = sci(edit, Sci::SCI_GETSELECTIONEND);
    std::optional<Match> match;
    if (forward) {
        match = search(edit, pattern, selEnd, length);
        // An empty match where the caret already is would be found again and again.
        if (match && match->start == selEnd && match->end == selEnd && selStart == selEnd && selEnd < length)
            match = search(edit, pattern, selEnd + 1, length);
    } else {
        match = search(edit, pattern, selStart, 0);
    }
    bool wrapped = false;
    if (!match && wrap) {
        match = forward ? search(edit, pattern, 0, selEnd) : search(edit, pattern, length, selStart);
        wrapped = true;
    }
    if (!match)
        return SearchResult::NotFound;
    if (match->start == kInvalid)
        return SearchResult::InvalidPattern;
    select(edit, *match);
    return wrapped ? SearchResult::FoundAfterWrapping : SearchResult::Found;
}

SearchResult replaceInEditor(QsciScintilla &edit, const core::TextPattern &pattern, const QString &replacement,
                             bool wrap)
{
    if (pattern.text.isEmpty() || edit.isReadOnly())
        return SearchResult::NotFound;
    if (!isValidPattern(pattern))
        return SearchResult::InvalidPattern;
    const long selStart = sci(edit, Sci::SCI_GETSELECTIONSTART);
    const long selEnd = sci(edit, Sci::SCI_GETSELECTIONEND);
    if (selStart != selEnd) {
        const std::optional<Match> match = search(edit, pattern, selStart, selEnd);
        if (match && match->start == kInvalid)
            return SearchResult::InvalidPattern;
        if (match && match->start == selStart && match->end == selEnd) {
            // The target is the match now.
            const QByteArray with = bytesOf(replacement);
            edit.SendScintilla(pattern.regularExpression ? Sci::SCI_REPLACETARGETRE : Sci::SCI_REPLACETARGET,
                               static_cast<unsigned long>(with.size()), with.constData());
            const long end = sci(edit, Sci::SCI_GETTARGETEND);
            sci(edit, Sci::SCI_SETSEL, static_cast<unsigned long>(end), end);
        }
    }
    return findInEditor(edit, pattern, true, wrap);
}

int replaceAllInEditor(QsciScintilla &edit, const core::TextPattern &pattern, const QString &replacement)
{
    if (pattern.text.isEmpty() || edit.isReadOnly())
        return 0;
    if (!isValidPattern(pattern))
        return -1;
    const QByteArray with = bytesOf(replacement);
    const unsigned int replace = pattern.regularExpression ? Sci::SCI_REPLACETARGETRE : Sci::SCI_REPLACETARGET;
    int count = 0;
    long from = 0;
    edit.beginUndoAction();
    for (;;) {
        const long length = sci(edit, Sci::SCI_GETLENGTH);
        if (from > length)
            break;
        const std::optional<Match> match = search(edit, pattern, from, length);
        if (!match)
            break;
        if (match->start == kInvalid) {
            count = -1;
            break;
        }
        edit.SendScintilla(replace, static_cast<unsigned long>(with.size()), with.constData());
        ++count;
        const long end = sci(edit, Sci::SCI_GETTARGETEND);
        // An empty match moves on by one, else it would match again at the same place.
        from = match->start == match->end ? end + 1 : end;
    }
    edit.endUndoAction();
    return count;
}

} // namespace quillet::ui
