// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/core/gamefilesearch.h"

#include <array>
#include <set>
#include <utility>
#include <vector>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSysInfo>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

#include "platform/paths.h"

namespace orv::core {

namespace {

// Deeper trees than this are not game installations; it also bounds the walk's memory.
constexpr int kMaxDepth = 64;

// A folder's identity, so that a folder reached twice (bind mounts) is walked once.
std::optional<std::pair<quint64, quint64>> folderIdentity(const QString &path)
{
#ifdef Q_OS_UNIX
    struct stat st
    {
    };
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return std::nullopt;
    return std::pair<quint64, quint64>(static_cast<quint64>(st.st_dev), static_cast<quint64>(st.st_ino));
#else
    const QString canonical = QFileInfo(path).canonicalFilePath();
    if (canonical.isEmpty())
        return std::nullopt;
    return std::pair<quint64, quint64>(qHash(canonical), 0);
#endif
}

bool isInside(const QString &path, const QString &folder)
{
    return path == folder || path.startsWith(folder.endsWith(u'/') ? folder : folder + u'/');
}

} // namespace

const QStringList &gameExecutableNames()
{
    static const QStringList names = {
        QStringLiteral("unreal.exe"),       QStringLiteral("unrealed.exe"),     QStringLiteral("unrealtournament.exe"),
        QStringLiteral("ut-bin-amd64"),     QStringLiteral("ut-bin-x86"),       QStringLiteral("ut-bin-arm64"),
        QStringLiteral("ut-bin"),           QStringLiteral("unreal-bin-amd64"), QStringLiteral("unreal-bin-x86"),
        QStringLiteral("unreal-bin-arm64"), QStringLiteral("unreal-bin"),
    };
    return names;
}

namespace {

std::optional<GameKind> gameOfName(const QString &lowerName)
{
    if (lowerName == u"unrealtournament.exe" || lowerName.startsWith(u"ut-bin"))
        return GameKind::UT;
    if (lowerName == u"unreal.exe" || lowerName.startsWith(u"unreal-bin"))
        return GameKind::Unreal;
    return std::nullopt;
}

std::optional<GameKind> gameOfFolder(const QString &folder)
{
    const QString lower = folder.toLower();
    if (lower.contains(u"tournament") || lower.contains(u"ut99") || lower.contains(u"/ut/") ||
        lower.contains(u"utgoty"))
        return GameKind::UT;
    if (lower.contains(u"unreal"))
        return GameKind::Unreal;
    return std::nullopt;
}

// How well a find suits this machine: the native build for its processor first, then the
// other native builds, then the Windows programs.
int preference(const QString &lowerName)
{
    if (lowerName.endsWith(u".exe"))
        return 0;
    const QString cpu = QSysInfo::currentCpuArchitecture();
    const bool arm = cpu.startsWith(u"arm64") || cpu.startsWith(u"aarch64");
    const bool x64 = cpu == u"x86_64";
    if ((x64 && lowerName.endsWith(u"-amd64")) || (arm && lowerName.endsWith(u"-arm64")) ||
        (!x64 && !arm && lowerName.endsWith(u"-x86")))
        return 3;
    if (lowerName == u"ut-bin" || lowerName == u"unreal-bin")
        return 2;
    return 1;
}

void addLibraryFolders(const QString &vdf, QStringList &candidates)
{
    QFile file(vdf);
    if (!file.open(QIODevice::ReadOnly))
        return;
    static const QRegularExpression pathLine(QStringLiteral("^\\s*\"path\"\\s*\"([^\"]+)\""));
    while (!file.atEnd()) {
        const auto match = pathLine.match(QString::fromUtf8(file.readLine(4096)));
        if (match.hasMatch()) {
            QString path = match.captured(1);
            path.replace(QStringLiteral("\\\\"), QStringLiteral("\\"));
            candidates.append(QDir(path).filePath(QStringLiteral("steamapps")));
        }
    }
}

void addLutrisGames(const QString &folder, QStringList &candidates)
{
    static const QRegularExpression line(
        QStringLiteral("^\\s*(prefix|exe|working_dir):\\s*['\"]?(/[^'\"]*)['\"]?\\s*$"));
    const QFileInfoList games = QDir(folder).entryInfoList({QStringLiteral("*.yml")}, QDir::Files);
    for (const QFileInfo &game : games) {
        QFile file(game.absoluteFilePath());
        if (!file.open(QIODevice::ReadOnly))
            continue;
        while (!file.atEnd()) {
            const auto match = line.match(QString::fromUtf8(file.readLine(4096)).trimmed());
            if (!match.hasMatch())
                continue;
            const QString path = match.captured(2);
            candidates.append(match.captured(1) == u"exe" ? QFileInfo(path).absolutePath() : path);
        }
    }
}

} // namespace

ExecutableKind classifyExecutable(const QString &path, const QStringList &siblings)
{
    const QFileInfo info(path);
    const QString name = info.fileName().toLower();
    ExecutableKind kind;
    kind.native = !name.endsWith(u".exe") && !name.endsWith(u".lnk");
    kind.editor = name.startsWith(u"unrealed");
    if (!kind.editor) {
        kind.game = gameOfName(name);
        if (kind.game)
            return kind;
    }
    // The game files beside it tell, then its folder's name.
    const QString folder = info.absolutePath();
    std::optional<GameKind> beside;
    bool mixed = false;
    for (const QString &other : siblings) {
        const QFileInfo otherInfo(other);
        if (otherInfo.absolutePath() != folder)
            continue;
        if (const auto game = gameOfName(otherInfo.fileName().toLower())) {
            mixed = mixed || (beside && *beside != *game);
            beside = game;
        }
    }
    if (!beside) {
        const QStringList names = QDir(folder).entryList(QDir::Files);
        for (const QString &other : names) {
            if (const auto game = gameOfName(other.toLower())) {
                mixed = mixed || (beside && *beside != *game);
                beside = game;
            }
        }
    }
    kind.game = beside && !mixed ? beside : gameOfFolder(folder);
    return kind;
}

QStringList searchRootsFor(const QString &home, const QString &xdgDataHome, const QString &xdgDataDirs,
                           const QString &winePrefix, const QStringList &systemFolders)
{
    const QString dataHome = xdgDataHome.isEmpty() ? QDir(home).filePath(QStringLiteral(".local/share")) : xdgDataHome;
    QStringList candidates = {home, QDir(dataHome).filePath(QStringLiteral("OldUnreal"))};
    const QStringList dataDirs = (xdgDataDirs.isEmpty() ? QStringLiteral("/usr/local/share:/usr/share") : xdgDataDirs)
                                     .split(u':', Qt::SkipEmptyParts);
    for (const QString &dir : dataDirs)
        candidates.append(QDir(dir).filePath(QStringLiteral("OldUnreal")));
    candidates.append(systemFolders);
    if (!winePrefix.isEmpty())
        candidates.append(QDir(winePrefix).filePath(QStringLiteral("drive_c")));
    candidates.append(QDir(home).filePath(QStringLiteral(".wine/drive_c")));
    // Steam libraries (and the Proton prefixes in them) may lie on other disks.
    for (const char *steam :
         {".steam/steam", ".local/share/Steam", ".var/app/com.valvesoftware.Steam/.local/share/Steam"})
        addLibraryFolders(
            QDir(home).filePath(QString::fromLatin1(steam) + QStringLiteral("/steamapps/libraryfolders.vdf")),
            candidates);
    // Lutris games name their Wine prefix and program, anywhere on the disks.
    addLutrisGames(QDir(home).filePath(QStringLiteral(".config/lutris/games")), candidates);
    addLutrisGames(QDir(dataHome).filePath(QStringLiteral("lutris/games")), candidates);

    QStringList roots;
    for (const QString &candidate : std::as_const(candidates)) {
        const QString path = QFileInfo(candidate).canonicalFilePath();
        if (path.isEmpty() || !QFileInfo(path).isDir())
            continue;
        bool covered = false;
        for (const QString &root : std::as_const(roots))
            covered = covered || isInside(path, root);
        if (covered)
            continue;
        // A wider folder found later takes the place of the narrower ones inside it.
        roots.removeIf([&path](const QString &root) { return isInside(root, path); });
        roots.append(path);
    }
    return roots;
}

QStringList defaultSearchRoots()
{
    return searchRootsFor(
        platform::paths::homeFolder(), qEnvironmentVariable("XDG_DATA_HOME"), qEnvironmentVariable("XDG_DATA_DIRS"),
        qEnvironmentVariable("WINEPREFIX"),
        {QStringLiteral("/opt"), QStringLiteral("/usr/local/games"), QStringLiteral("/mnt"), QStringLiteral("/media")});
}

QStringList findFiles(const QStringList &roots, const QStringList &names, const std::atomic_bool *cancel)
{
    QStringList wanted;
    for (const QString &name : names)
        wanted.append(name.toLower());

    QStringList found;
    std::set<std::pair<quint64, quint64>> visited;
    // Depth-first, each folder's files before its sub-folders, sub-folders in name order.
    std::vector<std::pair<QString, int>> stack;
    for (auto it = roots.crbegin(); it != roots.crend(); ++it)
        stack.emplace_back(*it, 0);

    while (!stack.empty()) {
        if (cancel && cancel->load())
            break;
        auto [folder, depth] = stack.back();
        stack.pop_back();
        const auto id = folderIdentity(folder);
        if (!id || !visited.insert(*id).second)
            continue;
        const QDir dir(folder);
        const QFileInfoList files = dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
        for (const QFileInfo &file : files) {
            if (wanted.contains(file.fileName().toLower()))
                found.append(file.absoluteFilePath());
        }
        if (depth >= kMaxDepth)
            continue;
        const QFileInfoList dirs =
            dir.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::NoSymLinks, QDir::Name);
        for (auto it = dirs.crbegin(); it != dirs.crend(); ++it)
            stack.emplace_back(it->absoluteFilePath(), depth + 1);
    }
    return found;
}

bool FoundGamePaths::any() const
{
    for (const auto &path : paths) {
        if (path)
            return true;
    }
    return false;
}

QString userIniFolder(const QString &gameFile, const QString &home)
{
    const QFileInfo info(gameFile);
    const QString name = info.fileName().toLower();
    // UT 469 writes them below the home folder; Unreal 227 keeps UnrealLinux.ini and
    // User.ini beside its program unless a package set up a folder of the user's own.
    QStringList own;
    if (name.startsWith(u"ut-bin"))
        own = {QStringLiteral(".utpg/System")};
    else if (name.startsWith(u"unreal-bin"))
        own = {QStringLiteral(".Unreal/System"), QStringLiteral(".unreal/System")};
    for (const QString &folder : std::as_const(own)) {
        const QString path = QDir(home).filePath(folder);
        if (QFileInfo(path).isDir())
            return path;
    }
    return gameFile.isEmpty() ? QString() : info.absolutePath();
}

QString userIniFolder(const QString &gameFile)
{
    return userIniFolder(gameFile, platform::paths::homeFolder());
}

FoundGamePaths assignFoundPaths(const QStringList &found)
{
    FoundGamePaths result;
    std::array<int, 4> rank = {-1, -1, -1, -1};
    auto put = [&](int field, const QString &path, int preferred) {
        if (preferred < rank[static_cast<size_t>(field)])
            return;
        rank[static_cast<size_t>(field)] = preferred;
        result.paths[field] = path;
    };
    for (const QString &path : found) {
        const QString name = QFileInfo(path).fileName().toLower();
        if (!gameExecutableNames().contains(name))
            continue;
        const ExecutableKind kind = classifyExecutable(path, found);
        const int preferred = preference(name);
        if (kind.editor) {
            if (kind.game != GameKind::UT)
                put(1, path, preferred);
            if (kind.game != GameKind::Unreal)
                put(3, path, preferred);
        } else if (kind.game) {
            put(*kind.game == GameKind::UT ? 2 : 0, path, preferred);
        }
    }
    return result;
}

} // namespace orv::core
