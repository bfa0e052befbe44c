// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/demo/demonetwork.h"

#include <algorithm>
#include <array>
#include <span>

#include <QTimer>

#include "orv/demo/fakebeaconresponder.h"
#include "orv/demo/fakegamespymaster.h"
#include "orv/demo/fakemasterserver.h"
#include "platform/textfile.h"

namespace orv::demo {

namespace {

struct MapInfo
{
    const char *name;
    const char *title;
};

struct GameTypeInfo
{
    const char *className;
    bool teams;
    std::span<const MapInfo> maps;
};

struct Looks
{
    const char *mesh;
    const char *skin;
    const char *face;
};

constexpr MapInfo kUtDeathmatchMaps[] = {
    {"DM-Deck16][", "Deck16]["}, {"DM-Morpheus", "Morpheus"},     {"DM-Tempest", "Tempest"},
    {"DM-Stalwart", "Stalwart"}, {"DM-Curse][", "Curse]["},       {"DM-Agony", "Agony"},
    {"DM-Pressure", "Pressure"}, {"DM-Turbine", "Turbine"},       {"DM-Fractal", "Fractal"},
    {"DM-Codex", "Codex"},       {"DM-HyperBlast", "HyperBlast"}, {"DM-Liandri", "Liandri"},
    {"DM-Gothic", "Gothic"},     {"DM-Oblivion", "Oblivion"},     {"DM-Sunspeak", "Sunspeak Monastery Ruins"},
};
constexpr MapInfo kUtFlagMaps[] = {
    {"CTF-Face", "Facing Worlds"},
    {"CTF-Coret", "Coret"},
    {"CTF-LavaGiant", "Lava Giant"},
    {"CTF-Command", "Command"},
    {"CTF-Niven", "Niven"},
    {"CTF-Gauntlet", "Gauntlet"},
    {"CTF-Dreary", "Dreary"},
    {"CTF-EternalCave", "Eternal Caves"},
    {"CTF-November", "November Sub Pen"},
};
constexpr MapInfo kUtDominationMaps[] = {
    {"DOM-Sesmar", "Sesmar"}, {"DOM-Condemned", "Condemned"},    {"DOM-Ghardhen", "Ghardhen"},
    {"DOM-Cinder", "Cinder"}, {"DOM-Cryptic", "Cryptic"},        {"DOM-Gearbolt", "Gearbolt"},
    {"DOM-Lament", "Lament"}, {"DOM-MetalDream", "Metal Dream"},
};
constexpr MapInfo kUtAssaultMaps[] = {
    {"AS-Frigate", "Frigate"},   {"AS-Rook", "Rook"},   {"AS-HiSpeed", "High Speed"},     {"AS-Guardia", "Guardia"},
    {"AS-Overlord", "Overlord"}, {"AS-Mazon", "Mazon"}, {"AS-OceanFloor", "Ocean Floor"},
};
constexpr MapInfo kUnrealMaps[] = {
    {"DmAriza", "Ariza"},     {"DmDeck16", "Deck16"},    {"DmElsinore", "Elsinore"}, {"DmFith", "Fith"},
    {"DmMorbias", "Morbias"}, {"DmTundra", "Tundra"},    {"DmCurse", "Curse"},       {"DmRadikus", "Radikus"},
    {"DmHealPod", "HealPod"}, {"DmKGalleon", "Galleon"},
};

constexpr GameTypeInfo kUtGameTypes[] = {
    {"DeathMatchPlus", false, kUtDeathmatchMaps},
    {"DeathMatchPlus", false, kUtDeathmatchMaps},
    {"TeamGamePlus", true, kUtDeathmatchMaps},
    {"CTFGame", true, kUtFlagMaps},
    {"CTFGame", true, kUtFlagMaps},
    {"DominationGame", true, kUtDominationMaps},
    {"Assault", true, kUtAssaultMaps},
    {"LastManStanding", false, kUtDeathmatchMaps},
};
constexpr GameTypeInfo kUnrealGameTypes[] = {
    {"DeathMatchGame", false, kUnrealMaps}, {"DeathMatchGame", false, kUnrealMaps}, {"TeamGame", true, kUnrealMaps},
    {"KingOfTheHill", false, kUnrealMaps},  {"DarkMatch", false, kUnrealMaps},
};

constexpr Looks kUtLooks[] = {
    {"Male Commando", "CommandoSkins.cmdo", "CommandoSkins.Blake"},
    {"Male Commando", "CommandoSkins.daco", "CommandoSkins.Ramirez"},
    {"Male Soldier", "SoldierSkins.sldr", "SoldierSkins.Brock"},
    {"Male Soldier", "SoldierSkins.hkil", "SoldierSkins.tensor"},
    {"Female Commando", "FCommandoSkins.cmdo", "FCommandoSkins.Ivana"},
    {"Female Soldier", "SGirlSkins.Garf", "SGirlSkins.Isis"},
    {"Boss", "BossSkins.boss", "BossSkins.Xan"},
};
constexpr Looks kUnrealLooks[] = {
    {"Female1", "Female1Skins.Gina", ""}, {"Female2", "Female2Skins.Sonya", ""},
    {"Male1", "Male1Skins.Dante", ""},    {"Male2", "Male2Skins.Ash", ""},
    {"Male3", "Male3Skins.Kurgan", ""},   {"SkaarjPlayer", "SkTrooperSkins.T_Skaarj", ""},
};

// Names are written here in UTF-8 and sent in code page 1252 by older servers, as players of
// that era typed them, and in UTF-8 by patched UT servers (469).
constexpr const char *kPlayerNames[] = {
    "\u201CAce\u201D",
    "\u20ACuroFrag",
    "Dash\u2013Dot",
    "\u0152uvre\u2122",
    "RocketRay",
    "FlakJack",
    "Björn",
    "Zoë",
    "Señor Flak",
    "[XX]Killa",
    "Player",
    "LagMonster",
    "HeadHunter",
    "Ms.Impact",
    "Dr.Shock",
    "n00b",
    "Sn1per",
    "Ångström",
    "Jürgen",
    "Chloé",
    "Mañana",
    "Ø-Zone",
    "Bl@ster",
    "GibMaster",
    "Camper",
    "Lefty",
    "Vex",
    "Nyx",
    "Kestrel",
    "{DC}Hawk",
    "Crispy",
    "Wombat",
    "Torque",
    "Pixel",
    "FragDoll",
    "Ripjaw",
    "Grendel",
    "Mørk",
    "ShockWave",
    "Tank",
    "Ivy",
    "Orbital",
    "Kahuna",
    "Zap",
};
// Names only UTF-8 can carry: players of patched servers.
constexpr const char *kWorldNames[] = {
    "Сергей", "Νίκος", "さくら", "Łukasz", "Đorđe", "Ярослав", "Ψ-Ωmega", "김민준", "Öztürk", "Zoltán Ő",
};
constexpr const char *kWorldThemes[] = {"Сервер Смерти", "東京 Frag Arena", "Ελληνικό DM", "Kraków Łowcy"};
constexpr const char *kTeamNames[] = {"Red", "Blue", "Green", "Gold"};
constexpr const char *kWorldTeamNames[] = {"Красные", "Синие", "Зелёные", "Золотые"};
constexpr const char *kHostPrefixes[] = {"", "", "{FRAG} ", "[EU] ", "=|TNT|= ", "*** ", "[AUS] ", "<<LAN>> ", "-=["};
constexpr const char *kHostThemes[] = {
    "Frag Fest",           "Rocket Arena",    "Flak Monkeys",  "Midnight Instagib",
    "Café Frag",           "Über Deathmatch", "Zürich Public", "Old School",
    "Pub of Pain",         "Noob Friendly",   "Hardcore Only", "Slaughterhouse",
    "Ye Olde Frag Pit",    "Señor Sniper's",  "Sunday Gibs",   "\u201CSmokin\u2019\u201D Guns",
    "\u20ACuro Frag Zone",
};
constexpr const char *kAdminNames[] = {"Grim", "Sgt. Pepper", "Jörg", "Lexi", "Admin", "Mo"};
constexpr const char *kUtMutators[] = {
    "InstaGib",    "No Powerups", "Low Gravity", "Chainsaw Melee",       "Jump Match",
    "No Redeemer", "Stealth",     "Big Head",    "Relics: Regeneration", "SmartCTF 4E",
};
constexpr const char *kGameStyles[] = {"Classic", "Hardcore", "Hardcore", "Turbo"};
constexpr const char *kBotSkills[] = {"Novice", "Average", "Experienced", "Skilled", "Adept", "Masterful"};
constexpr int kMaxPlayerChoices[] = {8, 10, 12, 12, 14, 16, 16, 20, 24, 32};
constexpr int kGamePortChoices[] = {7777, 7777, 7777, 7777, 7777, 7777, 7787, 7797, 8888, 5555};

// Which misbehaviour server i gets: a fixed pattern, so a small network already holds each kind.
constexpr DemoServerKind kKindPattern[] = {
    DemoServerKind::Normal,     DemoServerKind::Normal, DemoServerKind::Slow, DemoServerKind::Normal,
    DemoServerKind::OutOfOrder, DemoServerKind::Normal, DemoServerKind::Dead, DemoServerKind::Normal,
    DemoServerKind::Incomplete, DemoServerKind::Normal, DemoServerKind::Slow, DemoServerKind::Normal,
};

constexpr quint16 kUnrealBeaconPort = 7775;
constexpr quint16 kUtBeaconPort = 8777;

int uniform(std::mt19937 &rng, int low, int high)
{
    return std::uniform_int_distribution<int>(low, high)(rng);
}

bool chance(std::mt19937 &rng, double probability)
{
    return std::bernoulli_distribution(probability)(rng);
}

template <typename T, std::size_t N> const T &pick(std::mt19937 &rng, const T (&items)[N])
{
    return items[static_cast<std::size_t>(uniform(rng, 0, static_cast<int>(N) - 1))];
}

template <typename T> const T &pick(std::mt19937 &rng, std::span<const T> items)
{
    return items[static_cast<std::size_t>(uniform(rng, 0, static_cast<int>(items.size()) - 1))];
}

bool sendsUtf8(const ServerDescription &server)
{
    return !server.isUnreal() && server.gameVersion.toInt() >= 469;
}

// A text written here in UTF-8 as the server sends it: UTF-8 on patched servers, code page
// 1252 on the others.
QByteArray wireText(const ServerDescription &server, const char *utf8)
{
    return sendsUtf8(server) ? QByteArray(utf8) : platform::textfile::toAnsi(QString::fromUtf8(utf8));
}

QByteArray trueFalse(bool value)
{
    return value ? QByteArrayLiteral("True") : QByteArrayLiteral("False");
}

void addRule(ServerDescription &server, const QByteArray &key, const QByteArray &value)
{
    server.rules.append({key, value});
}

bool hasPlayerNamed(const ServerDescription &server, const QByteArray &name)
{
    return std::any_of(server.players.cbegin(), server.players.cend(),
                       [&name](const PlayerDescription &player) { return player.name == name; });
}

bool isTeamGame(const ServerDescription &server)
{
    return std::any_of(server.rules.cbegin(), server.rules.cend(),
                       [](const WirePair &pair) { return pair.first == "maxteams"; });
}

int teamCount(const ServerDescription &server)
{
    for (const WirePair &pair : server.rules) {
        if (pair.first == "maxteams")
            return std::max(1, pair.second.toInt());
    }
    return 0;
}

PlayerDescription randomPlayer(std::mt19937 &rng, const ServerDescription &server)
{
    PlayerDescription player;
    const auto pickName = [&rng, &server] {
        if (sendsUtf8(server) && chance(rng, 0.4))
            return wireText(server, pick(rng, kWorldNames));
        return wireText(server, pick(rng, kPlayerNames));
    };
    QByteArray name = pickName();
    while (hasPlayerNamed(server, name))
        name = pickName() + QByteArray::number(uniform(rng, 1, 99));
    player.name = name;
    player.ping = uniform(rng, 25, 260);
    player.frags = uniform(rng, 0, 40);
    const bool unreal = server.isUnreal();
    const Looks &looks = unreal ? pick(rng, std::span<const Looks>(kUnrealLooks)) : pick(rng, kUtLooks);
    player.mesh = looks.mesh;
    player.skin = looks.skin;
    player.face = looks.face;
    const int teams = teamCount(server);
    player.team = teams > 0 ? uniform(rng, 0, teams - 1) : 255;
    // A few UT players watch: spectators report team 255, mesh "Spectator" and no face.
    if (!unreal && chance(rng, 0.07)) {
        player.team = 255;
        player.mesh = "Spectator";
        player.skin = "None";
        player.face.clear();
        player.frags = 0;
    }
    return player;
}

QHostAddress addressAt(const QHostAddress &first, int index)
{
    return QHostAddress(first.toIPv4Address() + static_cast<quint32>(index));
}

} // namespace

DemoNetwork::DemoNetwork(QObject *parent)
    : QObject(parent)
    , m_churnTimer(new QTimer(this))
{
    connect(m_churnTimer, &QTimer::timeout, this, &DemoNetwork::churn);
}

DemoNetwork::~DemoNetwork() = default;

ServerDescription DemoNetwork::randomDescription(std::mt19937 &rng, bool unreal, int gamePort)
{
    ServerDescription server;
    const GameTypeInfo &type = unreal ? pick(rng, kUnrealGameTypes) : pick(rng, kUtGameTypes);
    const MapInfo &map = pick(rng, type.maps);
    if (unreal) {
        server.gameName = "unreal";
        server.gameVersion = pick(rng, {"226", "226", "225", "224"});
        server.minNetVersion = "220";
    } else {
        server.gameName = "ut";
        server.gameVersion = pick(rng, {"451", "451", "436", "469", "469"});
        server.minNetVersion = "432";
    }
    server.hostPort = gamePort;
    server.gameType = type.className;
    server.mapName = map.name;
    server.mapTitle = map.title;

    QByteArray name = pick(rng, kHostPrefixes);
    if (sendsUtf8(server) && chance(rng, 0.5))
        name += wireText(server, pick(rng, kWorldThemes));
    else
        name += wireText(server, pick(rng, kHostThemes));
    if (name.startsWith("-=["))
        name += "]=-";
    if (!unreal) {
        if (type.className == QByteArrayView("CTFGame"))
            name += " [CTF]";
        else if (type.className == QByteArrayView("DominationGame"))
            name += " | DOM";
        else if (type.className == QByteArrayView("Assault"))
            name += " - Assault";
        else if (type.className == QByteArrayView("LastManStanding"))
            name += " LMS";
    }
    if (chance(rng, 0.4))
        name += " #" + QByteArray::number(uniform(rng, 1, 4));
    server.hostName = name;

    server.maxPlayers = pick(rng, kMaxPlayerChoices);
    if (!unreal && chance(rng, 0.45)) {
        QList<QByteArray> mutators;
        const int count = uniform(rng, 1, 3);
        for (int i = 0; i < count; ++i) {
            const QByteArray mutator = pick(rng, kUtMutators);
            if (!mutators.contains(mutator))
                mutators.append(mutator);
        }
        server.mutators = mutators.join(", ");
    }

    const QByteArray timeLimit = QByteArray::number(pick(rng, {0, 10, 15, 20, 30}));
    if (unreal) {
        server.rules = {{"timelimit", timeLimit},
                        {"fraglimit", QByteArray::number(pick(rng, {0, 20, 30, 50}))},
                        {"multiplayerbots", trueFalse(chance(rng, 0.3))},
                        {"changelevels", trueFalse(chance(rng, 0.8))}};
        if (type.teams)
            addRule(server, "maxteams", "2");
    } else {
        addRule(server, "timelimit", timeLimit);
        if (type.teams)
            addRule(server, "goalteamscore", QByteArray::number(pick(rng, {0, 3, 5, 10, 100})));
        else
            addRule(server, "fraglimit", QByteArray::number(pick(rng, {0, 25, 30, 50})));
        addRule(server, "minplayers", QByteArray::number(uniform(rng, 0, 4)));
        addRule(server, "changelevels", trueFalse(chance(rng, 0.85)));
        if (type.teams) {
            const bool fourTeams = type.className == QByteArrayView("TeamGamePlus") && chance(rng, 0.3);
            addRule(server, "maxteams", fourTeams ? "4" : "2");
            addRule(server, "balanceteams", trueFalse(chance(rng, 0.7)));
            addRule(server, "playersbalanceteams", trueFalse(chance(rng, 0.7)));
            addRule(server, "friendlyfire", pick(rng, {"0%", "0%", "50%", "100%"}));
        }
        addRule(server, "tournament", trueFalse(chance(rng, 0.1)));
        addRule(server, "gamestyle", pick(rng, kGameStyles));
        if (chance(rng, 0.5))
            addRule(server, "botskill", pick(rng, kBotSkills));
    }
    if (chance(rng, 0.8)) {
        server.adminName = wireText(server, pick(rng, kAdminNames));
        server.adminEmail = server.adminName.toLower().replace(' ', "").replace('.', "") + "@example.org";
    }

    const int players = chance(rng, 0.15) ? 0 : uniform(rng, 1, server.maxPlayers);
    for (int i = 0; i < players; ++i)
        server.players.append(randomPlayer(rng, server));

    // Patched UT servers answer "\teams\"; about half the others append their teams to
    // the status answer, as the common query extension does.
    if (!unreal && type.teams) {
        server.teamsIn = sendsUtf8(server)  ? TeamsIn::TeamsQuery
                         : chance(rng, 0.5) ? TeamsIn::Status
                                            : TeamsIn::Nowhere;
        const bool world = sendsUtf8(server) && chance(rng, 0.4);
        const bool fractions = type.className == QByteArrayView("TeamGamePlus");
        for (int t = 0; t < teamCount(server); ++t) {
            const int whole = uniform(rng, 0, fractions ? 60 : 5);
            const QByteArray score = QByteArray::number(fractions && chance(rng, 0.3) ? whole + 0.5 : whole, 'f', 6);
            server.teams.append({wireText(server, world ? kWorldTeamNames[t % 4] : kTeamNames[t % 4]), score});
        }
    }
    return server;
}

bool DemoNetwork::start(const DemoNetworkOptions &options, QString *error)
{
    stop();
    const auto fail = [this, error](const QString &reason) {
        stop();
        if (error)
            *error = reason;
        return false;
    };

    bool ipv4 = false;
    const quint32 first = options.firstAddress.toIPv4Address(&ipv4);
    const quint64 last = static_cast<quint64>(first) + static_cast<quint64>(std::max(options.servers, 1)) - 1;
    // Everything stays on loopback; 127.0.0.1 is the client's own address and must stay free.
    if (!ipv4 || (first >> 24) != 127 || first <= 0x7F000001u || last >= 0x7FFFFFFFu)
        return fail(QStringLiteral("The servers need loopback addresses from 127.0.0.2 to 127.255.255.254."));
    if (options.servers < 1)
        return fail(QStringLiteral("The network needs at least one server."));

    m_rng.seed(options.seed);
    for (int i = 0; i < options.servers; ++i) {
        const QHostAddress address = addressAt(options.firstAddress, i);
        // Server 0 runs UT and server 1 Unreal, so even a tiny network shows both games.
        const bool unreal = i == 1 || (i > 1 && chance(m_rng, 0.35));
        const int gamePort = i < 2 ? 7777 : pick(m_rng, kGamePortChoices);
        const auto queryPort = static_cast<quint16>(gamePort + 1);

        Server entry;
        entry.kind = kKindPattern[static_cast<std::size_t>(i) % std::size(kKindPattern)];
        ServerDescription description = randomDescription(m_rng, unreal, gamePort);
        if (i % 5 == 3)
            description.password = true;
        if (i % 7 == 5) {
            while (description.players.size() < description.maxPlayers)
                description.players.append(randomPlayer(m_rng, description));
        }
        ServerBehaviour behaviour;
        switch (entry.kind) {
        case DemoServerKind::Normal:
            break;
        case DemoServerKind::Slow:
            // Slow, yet within the browser's default time-out of 600 ms even when full (32 UT
            // players make seven datagrams): at most 300 ms before the first, 40 ms between.
            behaviour.delayMs = uniform(m_rng, 120, 300);
            behaviour.gapMs = uniform(m_rng, 10, 40);
            break;
        case DemoServerKind::OutOfOrder:
            behaviour.reversed = true;
            behaviour.maxDatagramSize = 500;
            break;
        case DemoServerKind::Incomplete:
            // Small datagrams make an answer of at least three, and the second never leaves.
            behaviour.maxDatagramSize = 400;
            behaviour.dropPackets = {2};
            break;
        case DemoServerKind::Dead:
            behaviour.dead = true;
            break;
        }

        entry.game = new FakeGameServer(this);
        entry.game->setDescription(description);
        entry.game->setBehaviour(behaviour);
        entry.game->setNextQueryId(uniform(m_rng, 1, 200));
        if (!entry.game->listen(address, queryPort)) {
            delete entry.game;
            return fail(QStringLiteral("Cannot listen on %1 port %2 (UDP).").arg(address.toString()).arg(queryPort));
        }
        if (options.beacons) {
            entry.beacon = new FakeBeaconResponder(this);
            entry.beacon->setSign(unreal ? QByteArray("Unreal") : QByteArray("ut"));
            entry.beacon->setPorts(static_cast<quint16>(gamePort), queryPort);
            entry.beacon->setSilent(entry.kind == DemoServerKind::Dead);
            const quint16 beaconPort = unreal ? kUnrealBeaconPort : kUtBeaconPort;
            if (!entry.beacon->listen(address, beaconPort)) {
                delete entry.beacon;
                delete entry.game;
                return fail(QStringLiteral("Cannot listen on %1 port %2 (UDP beacon).")
                                .arg(address.toString())
                                .arg(beaconPort));
            }
        }
        m_servers.append(entry);
    }

    m_master = new FakeMasterServer(this);
    if (!m_master->listen(QHostAddress::LocalHost, options.httpPort))
        return fail(QStringLiteral("Cannot listen on 127.0.0.1 port %1 (HTTP).").arg(options.httpPort));
    publishLists();

    m_gameSpy = new FakeGameSpyMaster(this);
    if (!m_gameSpy->listen(QHostAddress::LocalHost, options.gameSpyPort))
        return fail(QStringLiteral("Cannot listen on 127.0.0.1 port %1 (GameSpy master).").arg(options.gameSpyPort));
    QList<GameSpyListedServer> utServers;
    for (const Server &server : std::as_const(m_servers)) {
        if (!server.game->description().isUnreal())
            utServers.append({server.game->address().toString().toLatin1(), server.game->queryPort()});
    }
    m_gameSpy->setServers("ut", utServers);

    if (options.churnIntervalMs > 0)
        m_churnTimer->start(options.churnIntervalMs);
    return true;
}

void DemoNetwork::stop()
{
    m_churnTimer->stop();
    for (const Server &server : std::as_const(m_servers)) {
        delete server.game;
        delete server.beacon;
    }
    m_servers.clear();
    delete m_master;
    m_master = nullptr;
    delete m_gameSpy;
    m_gameSpy = nullptr;
}

QString DemoNetwork::gameSpyUrl() const
{
    return m_gameSpy ? m_gameSpy->url() : QString();
}

QUrl DemoNetwork::utListUrl() const
{
    return m_master ? m_master->url("/ut-servers.txt") : QUrl();
}

QUrl DemoNetwork::unrealListUrl() const
{
    return m_master ? m_master->url("/unreal-servers.txt") : QUrl();
}

QByteArray DemoNetwork::utMasterList() const
{
    return masterList(false);
}

QByteArray DemoNetwork::unrealMasterList() const
{
    return masterList(true);
}

QByteArray DemoNetwork::masterList(bool unreal) const
{
    QByteArray text;
    for (const Server &server : m_servers) {
        if (server.game->description().isUnreal() != unreal)
            continue;
        text += server.game->address().toString().toLatin1() + ':' + QByteArray::number(server.game->gamePort()) + '\n';
    }
    return text;
}

QByteArray DemoNetwork::addressList() const
{
    QList<QByteArray> lines;
    for (const Server &server : m_servers) {
        lines.append(server.game->address().toString().toLatin1() + ' ' + QByteArray::number(server.game->gamePort()) +
                     ' ' + QByteArray::number(server.game->queryPort()));
    }
    std::sort(lines.begin(), lines.end(),
              [](const QByteArray &a, const QByteArray &b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    QByteArray text;
    for (const QByteArray &line : std::as_const(lines))
        text += line + "\r\n";
    return text;
}

void DemoNetwork::publishLists()
{
    m_master->setBody("/ut-servers.txt", utMasterList());
    m_master->setBody("/unreal-servers.txt", unrealMasterList());
}

void DemoNetwork::churn()
{
    for (const Server &server : std::as_const(m_servers)) {
        if (server.kind == DemoServerKind::Dead)
            continue;
        ServerDescription &description = server.game->mutableDescription();
        QList<PlayerDescription> &players = description.players;
        if (!players.isEmpty() && chance(m_rng, 0.3))
            players.removeAt(uniform(m_rng, 0, static_cast<int>(players.size()) - 1));
        if (players.size() < description.maxPlayers && chance(m_rng, 0.35))
            players.append(randomPlayer(m_rng, description));
        for (PlayerDescription &player : players) {
            if (player.mesh != "Spectator" && chance(m_rng, 0.5))
                player.frags += uniform(m_rng, isTeamGame(description) ? 0 : -1, 3);
            player.ping = std::clamp(player.ping + uniform(m_rng, -15, 15), 5, 999);
        }
    }
}

} // namespace orv::demo
