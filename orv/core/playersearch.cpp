// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/core/playersearch.h"

#include <algorithm>
#include <array>

#include <QSet>

#include "orv/engine/replystore.h"
#include "orv/engine/textutil.h"

namespace orv::core::playersearch {

namespace {

// Latin-1 lower case: A-Z and the accented capitals 0xC0-0xDE (but 0xD7, the
// multiplication sign) map 0x20 lower.
constexpr std::array<char, 256> makeFoldTable()
{
    std::array<char, 256> table{};
    for (int c = 0; c < 256; ++c) {
        int lower = c;
        if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
            lower = c + 0x20;
        table[static_cast<size_t>(c)] = static_cast<char>(static_cast<unsigned char>(lower));
    }
    return table;
}

constexpr std::array<char, 256> kFold = makeFoldTable();

char fold(char c)
{
    return kFold[static_cast<unsigned char>(c)];
}

// Whether the folded needle occurs in text, comparing text folded.
bool containsFolded(QByteArrayView text, QByteArrayView needle)
{
    const qsizetype n = needle.size();
    if (n == 0)
        return true;
    const char first = needle[0];
    for (qsizetype i = 0; i + n <= text.size(); ++i) {
        if (fold(text[i]) != first)
            continue;
        qsizetype k = 1;
        while (k < n && fold(text[i + k]) == needle[k])
            ++k;
        if (k == n)
            return true;
    }
    return false;
}

QByteArrayView headOf(QByteArrayView line)
{
    const qsizetype gt = line.indexOf('>');
    return gt < 0 ? line : line.first(gt);
}

// "player" up to the first '_' (or the whole word), in any letter case.
bool isPlayerKey(QByteArrayView word)
{
    static constexpr char kPlayer[] = "player";
    if (word.size() < 6 || (word.size() > 6 && word[6] != '_'))
        return false;
    for (int i = 0; i < 6; ++i) {
        if (fold(word[i]) != kPlayer[i])
            return false;
    }
    return true;
}

} // namespace

namespace {

// Calls visit with each backslash-separated word of the datagram part of a store line (the
// whole line when it has no head), in order, until visit returns true.
template <typename Visit> bool anyWord(QByteArrayView line, Visit &&visit)
{
    const qsizetype gt = line.indexOf('>');
    // A line without a head (a beacon answer) is searched whole.
    const QByteArrayView rest = gt < 0 ? line : line.sliced(gt + 1);
    qsizetype start = 0;
    for (qsizetype p = 0; p <= rest.size(); ++p) {
        if (p == rest.size() || rest[p] == '\\') {
            if (p > start && visit(rest.sliced(start, p - start)))
                return true;
            start = p + 1;
        }
    }
    return false;
}

} // namespace

QList<QByteArray> serversWithPlayer(const orv::engine::ReplyStore &replies, QStringView name)
{
    QList<QByteArray> heads;
    if (name.isEmpty())
        return heads;
    // Every value is compared as it is shown: decoded on its own (UTF-8 or code page 1252)
    // and with control characters dropped, letter case ignored.
    static constexpr QByteArrayView kPlayerData("\\player_");
    QSet<QByteArray> seen;
    for (qsizetype i = 0; i < replies.size(); ++i) {
        const QByteArray &line = replies.line(i);
        if (!containsFolded(line, kPlayerData))
            continue;
        const QByteArray head = headOf(line).toByteArray();
        if (seen.contains(head))
            continue;
        const bool found = anyWord(line, [name](QByteArrayView word) {
            return word.size() >= name.size() &&
                   orv::engine::decodeServerText(word).compare(name, Qt::CaseInsensitive) == 0;
        });
        if (!found)
            continue;
        seen.insert(head);
        heads.append(head);
    }
    return heads;
}

QStringList playerNames(const orv::engine::ReplyStore &replies, const std::function<void(qsizetype line)> &progress)
{
    QStringList names;
    QSet<QString> seen;
    static constexpr QByteArrayView kPlayerMark("player_");
    for (qsizetype i = 0; i < replies.size(); ++i) {
        if (progress)
            progress(i);
        const QByteArray &line = replies.line(i);
        if (!containsFolded(line, kPlayerMark))
            continue;
        bool nameNext = false;
        anyWord(line, [&](QByteArrayView word) {
            if (nameNext) {
                QString name = orv::engine::decodeServerText(word);
                if (!name.isEmpty() && !seen.contains(name)) {
                    seen.insert(name);
                    names.append(std::move(name));
                }
            }
            nameNext = isPlayerKey(word);
            return false;
        });
    }
    return names;
}

void sortNames(QStringList &names)
{
    std::stable_sort(names.begin(), names.end(),
                     [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
}

} // namespace orv::core::playersearch
