// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/checker/argumenttable.h"

#include <array>
#include <limits>
#include <string>

#include "orv/engine/textutil.h"

namespace orv::checker {

namespace {

using engine::PlayerEntry;
using engine::ServerInfo;

constexpr CheckerArgument kArguments[kArgumentCount] = {
    {"LoopNumber", ArgKind::Number, ArgSource::PassNumber},
    {"IP", ArgKind::Text, ArgSource::Address},
    {"Ping", ArgKind::Number, ArgSource::Ping},
    {"GameName", ArgKind::Text, ArgSource::Field, &ServerInfo::gamename},
    {"HostName", ArgKind::Text, ArgSource::Field, &ServerInfo::hostname},
    {"ShortName", ArgKind::Text, ArgSource::Field, &ServerInfo::shortname},
    {"MapName", ArgKind::Text, ArgSource::Field, &ServerInfo::mapname},
    {"GameType", ArgKind::Text, ArgSource::Field, &ServerInfo::gametype},
    {"NumPlayers", ArgKind::Number, ArgSource::Field, &ServerInfo::numplayers},
    {"Maxplayers", ArgKind::Number, ArgSource::Field, &ServerInfo::maxplayers},
    {"GameMode", ArgKind::Text, ArgSource::Field, &ServerInfo::gamemode},
    {"GameVer", ArgKind::Number, ArgSource::Field, &ServerInfo::gamever},
    {"MinGameVer", ArgKind::Number, ArgSource::Field, &ServerInfo::mingamever},
    // hostport holds the reported game port, or the port the server was queried with.
    {"GamePort", ArgKind::Number, ArgSource::Field, &ServerInfo::hostport},
    {"InfoPort", ArgKind::Number, ArgSource::Field, &ServerInfo::infoport},
    {"MinNetVer", ArgKind::Number, ArgSource::Field, &ServerInfo::minnetver},
    {"MapTitle", ArgKind::Text, ArgSource::Field, &ServerInfo::maptitle},
    {"TimeLimit", ArgKind::Number, ArgSource::Field, &ServerInfo::timelimit},
    {"FragLimit", ArgKind::Number, ArgSource::Field, &ServerInfo::fraglimit},
    {"GoalTeamscore", ArgKind::Number, ArgSource::Field, &ServerInfo::goalteamscore},
    // A server value tested once per listed player, so it holds only when players are on.
    {"MultiplayerBots", ArgKind::Player, ArgSource::Field, &ServerInfo::multiplayerbots},
    {"ChangeLevels", ArgKind::Flag, ArgSource::Field, &ServerInfo::changelevels},
    {"AdminName", ArgKind::Text, ArgSource::Field, &ServerInfo::adminname},
    {"AdminEMail", ArgKind::Text, ArgSource::Field, &ServerInfo::adminemail},
    {"WorldLog", ArgKind::Flag, ArgSource::Field, &ServerInfo::worldlog},
    {"ListenServer", ArgKind::Flag, ArgSource::Field, &ServerInfo::listenserver},
    {"Tournament", ArgKind::Flag, ArgSource::Field, &ServerInfo::tournament},
    {"MaxTeams", ArgKind::Number, ArgSource::Field, &ServerInfo::maxteams},
    {"BalanceTeams", ArgKind::Flag, ArgSource::Field, &ServerInfo::balanceteams},
    {"PlayersBalanceTeams", ArgKind::Flag, ArgSource::Field, &ServerInfo::playersbalanceteams},
    {"FriendlyFire", ArgKind::Text, ArgSource::Field, &ServerInfo::friendlyfire},
    {"Mutators", ArgKind::Text, ArgSource::Field, &ServerInfo::mutators},
    {"GameStyle", ArgKind::Text, ArgSource::Field, &ServerInfo::gamestyle},
    {"BotSkill", ArgKind::Text, ArgSource::Field, &ServerInfo::botskill},
    {"PlayerName", ArgKind::Player, ArgSource::PlayerField, nullptr, &PlayerEntry::name},
    {"PlayerFrags", ArgKind::Player, ArgSource::PlayerField, nullptr, &PlayerEntry::frags},
    {"PlayerPing", ArgKind::Player, ArgSource::PlayerField, nullptr, &PlayerEntry::ping},
    {"PlayerTeam", ArgKind::Player, ArgSource::PlayerField, nullptr, &PlayerEntry::team},
    {"PlayerSkin", ArgKind::Player, ArgSource::PlayerField, nullptr, &PlayerEntry::skin},
    {"PlayerMesh", ArgKind::Player, ArgSource::PlayerField, nullptr, &PlayerEntry::mesh},
    {"PlayerFace", ArgKind::Player, ArgSource::PlayerField, nullptr, &PlayerEntry::face},
    {"TimeNow", ArgKind::Text, ArgSource::TimeNow},
};

constexpr const char *kRuleTexts[] = {"=", "<", ">", "<=", ">=", "<>", "?"};

} // namespace

std::span<const CheckerArgument> checkerArguments()
{
    return kArguments;
}

const CheckerArgument *findArgument(QStringView name)
{
    // Scripts are looked up line by line on every evaluation: compare lengths before
    // characters so most names are rejected without touching their text.
    static const auto kLengths = [] {
        std::array<qsizetype, kArgumentCount> lengths{};
        for (size_t i = 0; i < lengths.size(); ++i)
            lengths[i] = static_cast<qsizetype>(std::char_traits<char>::length(kArguments[i].name));
        return lengths;
    }();
    for (size_t i = 0; i < kLengths.size(); ++i) {
        if (kLengths[i] == name.size() && name == QLatin1StringView(kArguments[i].name, kLengths[i]))
            return &kArguments[i];
    }
    return nullptr;
}

bool parseRule(QStringView text, RuleOp &op)
{
    static constexpr RuleOp kOps[] = {RuleOp::Equal,       RuleOp::Less,     RuleOp::More,   RuleOp::LessOrEqual,
                                      RuleOp::MoreOrEqual, RuleOp::NotEqual, RuleOp::Contain};
    for (size_t i = 0; i < std::size(kRuleTexts); ++i) {
        if (text == QLatin1StringView(kRuleTexts[i])) {
            op = kOps[i];
            return true;
        }
    }
    return false;
}

std::optional<qint32> readRuleNumber(QStringView text)
{
    const auto number = engine::parseWholeNumber(text);
    if (!number || *number < std::numeric_limits<qint32>::min() || *number > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return static_cast<qint32>(*number);
}

std::span<const char *const> ruleTexts()
{
    return kRuleTexts;
}

QString ruleHint()
{
    return QStringLiteral("=     equal\r\n<     less\r\n>     more\r\n<=   less or equal \r\n>=   more or equal \r\n"
                          "<>   not equal \r\n?     contain");
}

} // namespace orv::checker
