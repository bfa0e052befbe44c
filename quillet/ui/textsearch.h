// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include "quillet/core/findinfiles.h"

class QsciScintilla;

namespace quillet::ui {

// Searching and replacing in one editing control with the control's own search (its target
// and search flags), so nothing copies the text.
enum class SearchResult { Found, FoundAfterWrapping, NotFound, InvalidPattern };

// Selects the next match after the selection (or the previous one before it); with wrap the
// search goes on from the other end of the text.
SearchResult findInEditor(QsciScintilla &edit, const core::TextPattern &pattern, bool forward, bool wrap);

// When the selection is a match, replaces it (a regular expression's \1 to \9 take the
// groups), then selects the next match. Without a selected match it only finds the next.
SearchResult replaceInEditor(QsciScintilla &edit, const core::TextPattern &pattern, const QString &replacement,
                             bool wrap);

// Replaces every match in the text as one undo step; the number of replacements, or -1 for a
// pattern that is not a valid regular expression.
int replaceAllInEditor(QsciScintilla &edit, const core::TextPattern &pattern, const QString &replacement);

} // namespace quillet::ui
