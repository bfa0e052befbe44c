// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/engine/replydecoder.h"

#include <algorithm>
#include <array>

#include "orv/engine/textutil.h"

namespace orv::engine {

namespace {

// Splits into maximal runs of bytes other than '\', at most kMaxWordsPerDatagram of them.
int splitWords(QByteArrayView text, std::array<QByteArrayView, kMaxWordsPerDatagram> &words)
{
    int count = 0;
    qsizetype i = 0;
    const qsizetype size = text.size();
    const char *data = text.data();
    while (i < size && count < kMaxWordsPerDatagram) {
        while (i < size && data[i] == '\\')
            ++i;
        if (i >= size)
            break;
        const qsizetype start = i;
        while (i < size && data[i] != '\\')
            ++i;
        words[static_cast<size_t>(count++)] = text.sliced(start, i - start);
    }
    return count;
}

// Splits as if every "\\" had first been replaced by "\None\" (left to right, continuing
// after each replacement): each such pair yields the word "None". Words stay views into the
// datagram, so decoding copies nothing but the values it stores.
int splitWordsMarkingEmpty(QByteArrayView text, std::array<QByteArrayView, kMaxWordsPerDatagram> &words)
{
    static constexpr QByteArrayView kNone("None");
    int count = 0;
    qsizetype i = 0;
    const qsizetype size = text.size();
    const char *data = text.data();
    while (i < size && count < kMaxWordsPerDatagram) {
        if (data[i] == '\\') {
            if (i + 1 < size && data[i + 1] == '\\') {
                words[static_cast<size_t>(count++)] = kNone;
                i += 2;
            } else {
                ++i;
            }
            continue;
        }
        const qsizetype start = i;
        while (i < size && data[i] != '\\')
            ++i;
        words[static_cast<size_t>(count++)] = text.sliced(start, i - start);
    }
    return count;
}

// Player keys: base "_" suffix, with every "_" removed from the suffix; slot = N + 1.
// Returns the slot index 0..31, or -1 when the key is no player key.
int playerSlotIndex(QByteArrayView key, QByteArrayView &base)
{
    const qsizetype underscore = key.indexOf('_');
    if (underscore < 0)
        return -1;
    base = key.first(underscore);
    // Read the suffix as a whole number with every "_" ignored, without allocating: this
    // runs for every word of every datagram.
    qint64 n = 0;
    bool negative = false;
    bool sawSign = false;
    bool sawDigit = false;
    for (char c : key.sliced(underscore + 1)) {
        if (c == '_')
            continue;
        if (!sawDigit && !sawSign && (c == '+' || c == '-')) {
            sawSign = true;
            negative = c == '-';
            continue;
        }
        if (c < '0' || c > '9')
            return -1;
        sawDigit = true;
        n = n * 10 + (c - '0');
        if (n >= kPlayerSlots)
            return -1; // also keeps a twenty-digit suffix from overflowing
    }
    if (!sawDigit || (negative && n != 0))
        return -1;
    return static_cast<int>(n);
}

constexpr char toLowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

bool isFinalDatagram(QByteArrayView datagram)
{
    return datagram.indexOf(QByteArrayView("\\final\\")) >= 0;
}

std::optional<qint64> finalPacketNumber(QByteArrayView datagram)
{
    std::array<QByteArrayView, kMaxWordsPerDatagram> words;
    const int count = splitWords(datagram, words);
    QByteArrayView id;
    for (int k = 0; k < count; ++k) {
        if (words[static_cast<size_t>(k)] == QByteArrayView("queryid"))
            id = k + 1 < count ? words[static_cast<size_t>(k + 1)] : QByteArrayView();
    }
    const qsizetype dot = id.indexOf('.');
    if (dot < 0)
        return std::nullopt;
    QString number;
    for (char c : id.sliced(dot + 1)) {
        if (c != '.')
            number.append(QLatin1Char(c));
    }
    return parseWholeNumber(number);
}

void applyDatagram(ServerInfo &info, QByteArrayView datagramPart, const ValueReplacer &replacer)
{
    std::array<QByteArrayView, kMaxWordsPerDatagram> words;
    const int count = splitWordsMarkingEmpty(datagramPart, words);

    std::array<char, 64> lowerBuffer{};
    for (int k = 0; k < count; ++k) {
        const QByteArrayView word = words[static_cast<size_t>(k)];
        const QByteArrayView rawValue = k + 1 < count ? words[static_cast<size_t>(k + 1)] : QByteArrayView();
        // No key name is anywhere near this long, so a longer word can only be a value.
        if (word.size() > static_cast<qsizetype>(lowerBuffer.size()))
            continue;
        for (qsizetype i = 0; i < word.size(); ++i)
            lowerBuffer[static_cast<size_t>(i)] = toLowerAscii(word[i]);
        const QByteArrayView key(lowerBuffer.data(), word.size());

        QByteArrayView base;
        const int slot = playerSlotIndex(key, base);
        const PlayerField *playerField = slot >= 0 ? findPlayerField(base) : nullptr;
        // teamname_N, teamscore_N and teamsize_N are team data, never player slots.
        const TeamField *teamField = slot >= 0 && slot < kTeamSlots ? findTeamField(base) : nullptr;
        const ServerInfoField *infoField = findServerInfoField(key);
        if (infoField && !infoField->fromReply)
            infoField = nullptr;
        if (!playerField && !infoField && !teamField)
            continue;

        QString value = decodeServerText(rawValue);
        if (replacer)
            value = replacer(value);
        if (infoField)
            info.*(infoField->member) = leftChars(value, infoField->width);
        if (playerField)
            info.players[static_cast<size_t>(slot)].*(playerField->member) = leftChars(value, playerField->width);
        if (teamField) {
            info.teams[static_cast<size_t>(slot)].*(teamField->member) = leftChars(value, teamField->width);
            info.teamCount = std::max(info.teamCount, slot + 1);
        }
    }
}

ServerInfo DecodeServerInfo(const ReplyStore &store, const QString &address, const QString &gamePort,
                            const QString &queryPort, const ValueReplacer &replacer, const LogSink &log)
{
    if (log) {
        log(QStringLiteral("Decode begin IP:") + address + QStringLiteral(" GPort:") + gamePort +
            QStringLiteral(" IPort:") + queryPort);
    }
    ServerInfo info = ServerInfo::defaults(address, gamePort, queryPort);
    const QByteArray key = ReplyStore::serverKey(address, gamePort, queryPort);
    for (QByteArrayView line : store.linesOf(key))
        applyDatagram(info, line.sliced(key.size()), replacer);
    if (log)
        log(QStringLiteral("Decode end Game server name:") + info.hostname);
    return info;
}

ServerInfo DecodeServerInfo(const ReplyStore &store, const ServerAddress &server, const ValueReplacer &replacer,
                            const LogSink &log)
{
    return DecodeServerInfo(store, server.addressText(), server.gamePortText(), server.queryPortText(), replacer, log);
}

} // namespace orv::engine
