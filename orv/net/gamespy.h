// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

// The master-server protocol that today's community masters of Unreal and UT speak over
// TCP: the master sends a challenge, the client proves it knows the game's key, asks for
// the list and gets "\ip\A.B.C.D:PORT" entries up to "\final\". Pure functions only; the
// exchange on a socket is GameSpyClient's.
namespace orv::net {

// The game a master-list entry asks for; the list the entry is in decides it.
enum class MasterGame { Unreal, UnrealTournament };

// "unreal" or "ut".
QByteArray gameSpyGameName(MasterGame game);
// The key the masters check the answer against.
QByteArray gameSpyGameKey(MasterGame game);

constexpr quint16 kGameSpyDefaultPort = 28900;
constexpr qsizetype kGameSpyChallengeLength = 6;

// The answer to a challenge: an RC4-like key schedule over the key, each challenge byte
// mixed through it, the bytes in standard Base64 without "=" padding.
QByteArray gameSpyValidate(QByteArrayView challenge, QByteArrayView key);

// What the master's first message says so far.
struct GameSpyChallenge
{
    enum class State {
        NeedMore, // not enough bytes yet
        Ready,    // challenge holds the six characters
        Refused,  // "\echo\" or anything that is no challenge
    };
    State state = State::NeedMore;
    QByteArray challenge;
};
// Reads "\basic\\secure\XXXXXX" (with or without "\final\" after it) from the bytes
// received so far.
GameSpyChallenge parseGameSpyChallenge(QByteArrayView received);

// "\gamename\GAME\location\0\validate\VALIDATE\final\" followed by the list request.
QByteArray gameSpyRequest(MasterGame game, QByteArrayView challenge);

// True once the answer holds its end mark "\final\".
bool gameSpyAnswerComplete(QByteArrayView received);

struct GameSpyList
{
    // Address-list lines "A.B.C.D gameport queryport", in the master's order.
    QList<QByteArray> lines;
    // Entries that were skipped: bad address, bad port, not a unicast address.
    int skipped = 0;
    // The master sent "\echo\" (it refused the answer to its challenge).
    bool refused = false;
    // "\final\" was seen; nothing after it is read.
    bool complete = false;
};
// Reads "\ip\A.B.C.D:PORT" entries up to "\final\". The port is the server's query port;
// the line's game port is one less. Loopback servers are only taken from a master that is
// itself on loopback: a master out on the net has no business sending us to our own host.
GameSpyList parseGameSpyList(QByteArrayView answer, bool allowLoopback);

// A master-list entry: a plain-text list over HTTP, or a master that speaks the protocol
// above ("gamespy://HOST[:PORT]").
enum class MasterSourceKind { Http, GameSpy, Invalid };
struct MasterSource
{
    MasterSourceKind kind = MasterSourceKind::Invalid;
    QString host; // gamespy only
    quint16 port = 0;
};
MasterSource parseMasterSource(const QString &text);

} // namespace orv::net
