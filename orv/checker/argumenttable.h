// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <span>

#include <QString>
#include <QStringView>

#include "orv/engine/serverinfo.h"

// The names a checker rule can test, the seven comparisons and their texts.
namespace orv::checker {

// How an argument is compared: folded text, whole numbers, a True/False setting, or each
// player of the server in turn.
enum class ArgKind { Text, Number, Flag, Player };

// Where the server's text for an argument comes from.
enum class ArgSource {
    PassNumber, // the run's pass counter
    Address,    // the address being checked
    Ping,       // the measured round-trip time
    TimeNow,    // the local time of day
    Field,      // a text field of the decoded server
    PlayerField // a field of each listed player
};

// One entry of the argument box, in the box's order.
struct CheckerArgument
{
    const char *name;
    ArgKind kind;
    ArgSource source;
    QString engine::ServerInfo::*field = nullptr;   // ArgSource::Field, and MultiplayerBots
    QString engine::PlayerEntry::*player = nullptr; // ArgSource::PlayerField
};

constexpr int kArgumentCount = 42;

// All 42 arguments in the order the box offers them.
std::span<const CheckerArgument> checkerArguments();

// The argument of that name, matched exactly (case counts); nullptr for any other text.
const CheckerArgument *findArgument(QStringView name);

enum class RuleOp { Equal, Less, More, LessOrEqual, MoreOrEqual, NotEqual, Contain };

// The rule of that text ("=", "<", ">", "<=", ">=", "<>", "?"); false for any other text.
bool parseRule(QStringView text, RuleOp &op);

// A rule's value, or a number argument's server text, read as a signed 32-bit whole number
// in decimal; nullopt for any other text.
std::optional<qint32> readRuleNumber(QStringView text);

// The rule texts in the order the box lists them.
std::span<const char *const> ruleTexts();

// The hint of the rule box, line breaks included.
QString ruleHint();

} // namespace orv::checker
