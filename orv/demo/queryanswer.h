// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include "orv/demo/serverdescription.h"

// Builds the datagrams with which a game server answers a backslash query. Pure functions:
// the fake servers, the tests and the benchmarks all use them.
namespace orv::demo {

// Real servers start a new datagram before its pairs would grow past 1000 bytes, and then
// append the query id trailer, so their datagrams reach a little over 1000 bytes.
constexpr int kAnswerDatagramLimit = 1000;

// A run of pairs that stays in one datagram (a player's record is never split).
using PairGroup = QList<WirePair>;

// The pairs that answer a request, grouped. The request is read as real servers read it:
// every word "basic", "info", "rules", "players" or "status" (all four sections) adds its
// section, "echo" answers its value back, "teams" gives the teams of a server that reports
// them (a server that reports them in its status answer adds them there after the
// players); unknown words are ignored. An empty result means
// the server has nothing to say and sends no datagram.
QList<PairGroup> answerGroups(const ServerDescription &server, QByteArrayView request);

// Packs groups into datagrams holding at most maxSize bytes of pairs, each followed by
// "\queryid\<queryId>.<n>" (n counts from 1) and the last one by "\final\" as well.
// A single group larger than maxSize gets a datagram of its own. No groups give no datagrams.
QList<QByteArray> packAnswer(const QList<PairGroup> &groups, int queryId, int maxSize = kAnswerDatagramLimit);

// answerGroups() followed by packAnswer().
QList<QByteArray> buildAnswer(const ServerDescription &server, QByteArrayView request, int queryId,
                              int maxSize = kAnswerDatagramLimit);

} // namespace orv::demo
