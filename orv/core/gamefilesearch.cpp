// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/core/gamefilesearch.h"

#include <set>
#include <utility>
#include <vector>

#include <QDir>
#include <QFileInfo>

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
    static const QStringList names = {QStringLiteral("unreal.exe"), QStringLiteral("unrealed.exe"),
                                      QStringLiteral("unrealtournament.exe")};
    return names;
}

QStringList defaultSearchRoots()
{
    QStringList candidates = {platform::paths::homeFolder(), QStringLiteral("/opt"), QStringLiteral("/usr/local/games"),
                              QStringLiteral("/mnt"), QStringLiteral("/media")};
    const QString prefix = qEnvironmentVariable("WINEPREFIX");
    if (!prefix.isEmpty())
        candidates.append(QDir(prefix).filePath(QStringLiteral("drive_c")));
    candidates.append(QDir(platform::paths::homeFolder()).filePath(QStringLiteral(".wine/drive_c")));

    QStringList roots;
    for (const QString &candidate : std::as_const(candidates)) {
        const QString path = QFileInfo(candidate).canonicalFilePath();
        if (path.isEmpty() || !QFileInfo(path).isDir())
            continue;
        bool covered = false;
        for (const QString &root : std::as_const(roots))
            covered = covered || isInside(path, root);
        if (!covered)
            roots.append(path);
    }
    return roots;
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

FoundGamePaths assignFoundPaths(const QStringList &found)
{
    FoundGamePaths result;
    for (const QString &path : found) {
        const QString name = QFileInfo(path).fileName().toLower();
        if (name == u"unreal.exe") {
            result.paths[0] = path;
        } else if (name == u"unrealed.exe") {
            result.paths[1] = path;
            result.paths[3] = path;
        } else if (name == u"unrealtournament.exe") {
            result.paths[2] = path;
        }
    }
    return result;
}

} // namespace orv::core
