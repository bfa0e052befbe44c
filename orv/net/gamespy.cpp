// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/net/gamespy.h"

#include <array>
#include <utility>

#include <QUrl>

namespace orv::net {

namespace {

constexpr QByteArrayView kSecure = "\\secure\\";
constexpr QByteArrayView kEcho = "\\echo\\";
constexpr QByteArrayView kFinal = "\\final\\";
constexpr QByteArrayView kIp = "\\ip\\";
// A first message that has not shown a challenge by now never will.
constexpr qsizetype kMaxChallengeMessage = 512;

std::optional<int> decimal(QByteArrayView text, int maxDigits, int maxValue)
{
    if (text.isEmpty() || text.size() > maxDigits)
        return std::nullopt;
    int value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value > maxValue)
        return std::nullopt;
    return value;
}

// "A.B.C.D" with four plain decimal parts (no leading zeros, which some readers take for
// octal), of a host a server can have: not "this network", multicast or reserved.
std::optional<QByteArray> unicastAddress(QByteArrayView text, bool allowLoopback)
{
    std::array<int, 4> parts{};
    int count = 0;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != '.')
            continue;
        if (count == 4)
            return std::nullopt;
        const QByteArrayView part = text.sliced(start, i - start);
        if (part.size() > 1 && part[0] == '0')
            return std::nullopt;
        const auto value = decimal(part, 3, 255);
        if (!value)
            return std::nullopt;
        parts[static_cast<size_t>(count++)] = *value;
        start = i + 1;
    }
    if (count != 4 || parts[0] == 0 || parts[0] >= 224 || (parts[0] == 127 && !allowLoopback))
        return std::nullopt;
    return text.toByteArray();
}

} // namespace

QByteArray gameSpyGameName(MasterGame game)
{
    return game == MasterGame::Unreal ? QByteArrayLiteral("unreal") : QByteArrayLiteral("ut");
}

QByteArray gameSpyGameKey(MasterGame game)
{
    return game == MasterGame::Unreal ? QByteArrayLiteral("DAncRK") : QByteArrayLiteral("Z5Nfb0");
}

QByteArray gameSpyValidate(QByteArrayView challenge, QByteArrayView key)
{
    std::array<unsigned char, 256> table{};
    for (size_t i = 0; i < table.size(); ++i)
        table[i] = static_cast<unsigned char>(i);
    unsigned a = 0;
    for (size_t i = 0; i < table.size(); ++i) {
        const unsigned k = key.isEmpty() ? 0u : static_cast<unsigned char>(key[static_cast<qsizetype>(i) % key.size()]);
        a = (a + table[i] + k) & 0xff;
        std::swap(table[a], table[i]);
    }

    QByteArray out;
    out.reserve(challenge.size());
    a = 0;
    unsigned b = 0;
    for (const char ch : challenge) {
        const unsigned c = static_cast<unsigned char>(ch);
        a = (a + c + 1) & 0xff;
        const unsigned char x = table[a];
        b = (b + x) & 0xff;
        const unsigned char y = table[b];
        table[b] = x;
        table[a] = y;
        out.append(static_cast<char>(c ^ table[(x + y) & 0xff]));
    }
    return out.toBase64(QByteArray::Base64Encoding | QByteArray::OmitTrailingEquals);
}

GameSpyChallenge parseGameSpyChallenge(QByteArrayView received)
{
    GameSpyChallenge result;
    const qsizetype secure = received.indexOf(kSecure);
    if (secure < 0) {
        if (received.indexOf(kEcho) >= 0 || received.size() > kMaxChallengeMessage)
            result.state = GameSpyChallenge::State::Refused;
        return result;
    }
    const qsizetype start = secure + kSecure.size();
    if (received.size() - start < kGameSpyChallengeLength)
        return result;
    const QByteArrayView challenge = received.sliced(start, kGameSpyChallengeLength);
    for (const char c : challenge) {
        if (c <= ' ' || c > '~' || c == '\\') {
            result.state = GameSpyChallenge::State::Refused;
            return result;
        }
    }
    result.state = GameSpyChallenge::State::Ready;
    result.challenge = challenge.toByteArray();
    return result;
}

QByteArray gameSpyRequest(MasterGame game, QByteArrayView challenge)
{
    const QByteArray name = gameSpyGameName(game);
    return QByteArrayLiteral("\\gamename\\") + name + QByteArrayLiteral("\\location\\0\\validate\\") +
           gameSpyValidate(challenge, gameSpyGameKey(game)) + QByteArrayLiteral("\\final\\") +
           QByteArrayLiteral("\\list\\\\gamename\\") + name + QByteArrayLiteral("\\final\\");
}

bool gameSpyAnswerComplete(QByteArrayView received)
{
    return received.indexOf(kFinal) >= 0;
}

GameSpyList parseGameSpyList(QByteArrayView answer, bool allowLoopback)
{
    GameSpyList list;
    const qsizetype final = answer.indexOf(kFinal);
    list.complete = final >= 0;
    const QByteArrayView body = list.complete ? answer.first(final) : answer;
    list.refused = body.indexOf(kEcho) >= 0;

    // Each entry is found by its own "\ip\", so garbage between entries (a key without a
    // value, stray backslashes) costs only itself.
    qsizetype from = 0;
    while (true) {
        const qsizetype ip = body.indexOf(kIp, from);
        if (ip < 0)
            break;
        const qsizetype start = ip + kIp.size();
        qsizetype end = body.indexOf('\\', start);
        const bool cut = end < 0;
        if (cut)
            end = body.size();
        // The backslash that ends this value may open the next entry.
        from = end;
        if (cut && !list.complete)
            break; // the rest of this entry has not arrived
        const QByteArrayView value = body.sliced(start, end - start);
        const qsizetype colon = value.lastIndexOf(':');
        const auto address = colon > 0 ? unicastAddress(value.first(colon), allowLoopback) : std::nullopt;
        const auto port = colon > 0 ? decimal(value.sliced(colon + 1), 5, 65535) : std::nullopt;
        if (!address || !port || *port < 2) {
            ++list.skipped;
            continue;
        }
        list.lines.append(*address + ' ' + QByteArray::number(*port - 1) + ' ' + QByteArray::number(*port));
    }
    return list;
}

MasterSource parseMasterSource(const QString &text)
{
    MasterSource source;
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty() || text.trimmed() != text)
        return source;
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https")) {
        source.kind = MasterSourceKind::Http;
        return source;
    }
    if (scheme != QLatin1String("gamespy"))
        return source;
    const QString path = url.path();
    if ((!path.isEmpty() && path != QLatin1String("/")) || url.hasQuery() || url.hasFragment() ||
        !url.userInfo().isEmpty())
        return source;
    const int port = url.port(kGameSpyDefaultPort);
    if (port < 1 || port > 65535)
        return source;
    source.kind = MasterSourceKind::GameSpy;
    source.host = url.host();
    source.port = static_cast<quint16>(port);
    return source;
}

} // namespace orv::net
