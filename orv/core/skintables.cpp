// SPDX-License-Identifier: GPL-3.0-or-later
#include "orv/core/skintables.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>

#include "orv/engine/serverinfo.h"
#include "platform/textfile.h"

namespace orv::core {

namespace {

constexpr int kNameWidth = 128;
constexpr int kTextWidth = 40;
constexpr int kTeamWidth = 6;
// List files are a few kilobytes; anything far larger is not a skin list.
constexpr qint64 kMaxListFileSize = 4 * 1024 * 1024;
// A strip of 65,536 pictures is the most a 16-bit picture number can name.
constexpr int kMaxStripWidth = 65536 * kSkinPictureSize;

bool isSkippedLine(QStringView line)
{
    return line.isEmpty() || line.startsWith(u';');
}

// "SkinsCount", "=" and a number (blanks around the parts allowed).
std::optional<int> skinsCountOf(QStringView line)
{
    const qsizetype eq = line.indexOf(u'=');
    if (eq < 0 || line.left(eq).trimmed().compare(u"SkinsCount", Qt::CaseInsensitive) != 0)
        return std::nullopt;
    bool ok = false;
    const int count = line.mid(eq + 1).trimmed().toInt(&ok);
    if (!ok)
        return std::nullopt;
    return count;
}

struct ItemLine
{
    QString key;
    int index = 0;
    QString value;
};

std::optional<ItemLine> itemLineOf(QStringView line, bool trimTrailing)
{
    const qsizetype open = line.indexOf(u'[');
    const qsizetype eq = line.indexOf(u'=');
    if (open < 0 || eq < 0)
        return std::nullopt;
    const qsizetype close = line.indexOf(u']', open + 1);
    if (close < 0)
        return std::nullopt;
    bool ok = false;
    const int index = line.mid(open + 1, close - open - 1).toInt(&ok);
    if (!ok)
        return std::nullopt;
    ItemLine item;
    item.key = line.left(open).toString().toLower();
    item.index = index;
    QString value = line.mid(eq + 1).toString();
    value.remove(u'=');
    qsizetype start = 0;
    while (start < value.size() && value.at(start) == u' ')
        ++start;
    value.remove(0, start);
    if (trimTrailing) {
        qsizetype end = value.size();
        while (end > 0 && value.at(end - 1) == u' ')
            --end;
        value.truncate(end);
    }
    item.value = value;
    return item;
}

bool applyItem(SkinEntry &entry, const ItemLine &item, SkinGame game)
{
    const bool ut = game == SkinGame::UT;
    if (item.key == u"name") {
        entry.name = item.value.left(kNameWidth);
    } else if (item.key == u"view") {
        entry.view = item.value.compare(u"true", Qt::CaseInsensitive) == 0;
    } else if (item.key == u"skin") {
        entry.skin = item.value.left(kTextWidth);
    } else if (item.key == u"mesh") {
        entry.mesh = item.value.left(kTextWidth);
    } else if (item.key == u"pict") {
        bool ok = false;
        const uint pict = item.value.trimmed().toUInt(&ok);
        if (!ok || pict > 0xFFFF)
            return false;
        entry.pict = static_cast<quint16>(pict);
    } else if (ut && item.key == u"face") {
        entry.face = item.value.left(kTextWidth);
    } else if (ut && item.key == u"talk") {
        entry.talk = item.value.left(kTextWidth);
    } else if (ut && item.key == u"team") {
        entry.team = item.value.left(kTeamWidth);
    } else {
        return false;
    }
    return true;
}

} // namespace

SkinTable SkinTable::empty(SkinGame game)
{
    SkinTable table;
    table.game = game;
    table.entries.resize(slotCount(game));
    return table;
}

const SkinEntry *SkinTable::entry(int index) const
{
    if (index < 0 || index >= count || index >= entries.size())
        return nullptr;
    return &entries[index];
}

QImage SkinTable::picture(int pict) const
{
    if (pict < 0 || pict >= pictures.size())
        return {};
    return pictures[pict];
}

QList<int> SkinTable::menuIndexes() const
{
    QList<int> indexes;
    for (int i = 0; i < count && i < entries.size(); ++i) {
        if (entries[i].view)
            indexes.append(i);
    }
    return indexes;
}

platform::Result<SkinTable> parseSkinList(const QStringList &lines, SkinGame game)
{
    SkinTable table = SkinTable::empty(game);
    const int slotTotal = SkinTable::slotCount(game);
    std::optional<int> count;
    for (const QString &line : lines) {
        if (isSkippedLine(line))
            continue;
        if (const auto n = skinsCountOf(line)) {
            count = n;
            continue;
        }
        const auto item = itemLineOf(line, game == SkinGame::UT);
        // Entries outside the table's slots are dropped rather than stored past its end.
        if (!item || item->index < 0 || item->index >= slotTotal)
            continue;
        applyItem(table.entries[item->index], *item, game);
    }
    if (!count)
        return platform::Error{1, QStringLiteral("no SkinsCount number")};
    table.count = std::clamp(*count, 0, slotTotal);
    return table;
}

QList<QImage> cutPictureStrip(const QImage &strip)
{
    QList<QImage> pictures;
    if (strip.isNull() || strip.height() < 1)
        return pictures;
    const int n = std::min(strip.width(), kMaxStripWidth) / kSkinPictureSize;
    pictures.reserve(n);
    for (int k = 0; k < n; ++k)
        pictures.append(strip.copy(k * kSkinPictureSize, 0, kSkinPictureSize, kSkinPictureSize));
    return pictures;
}

QStringList parseVoiceList(const QStringList &lines)
{
    QStringList voices;
    for (const QString &line : lines) {
        if (!isSkippedLine(line))
            voices.append(line);
    }
    return voices;
}

QString properCase(const QString &text)
{
    QString result = text.toLower();
    bool wordStart = true;
    for (QChar &c : result) {
        if (c == u' ') {
            wordStart = true;
        } else {
            if (wordStart)
                c = c.toUpper();
            wordStart = false;
        }
    }
    return result;
}

SkinTables::SkinTables()
    : m_unreal(SkinTable::empty(SkinGame::Unreal))
    , m_ut(SkinTable::empty(SkinGame::UT))
{}

void SkinTables::setTable(SkinTable table)
{
    table.entries.resize(SkinTable::slotCount(table.game));
    table.count = std::clamp(table.count, 0, SkinTable::slotCount(table.game));
    (table.game == SkinGame::Unreal ? m_unreal : m_ut) = std::move(table);
}

SkinTables::LoadResult SkinTables::load(const QString &folder)
{
    const QDir dir(folder);
    auto loadOne = [&dir](SkinGame game, const QString &listName, const QString &stripName, SkinTable &target) {
        target = SkinTable::empty(game);
        const QString listPath = dir.filePath(listName);
        const QString stripPath = dir.filePath(stripName);
        if (!QFileInfo(listPath).isFile() || !QFileInfo(stripPath).isFile())
            return LoadOutcome::Missing;
        const auto lines = platform::textfile::readLines(listPath, kMaxListFileSize);
        if (!lines)
            return LoadOutcome::Failed;
        auto parsed = parseSkinList(lines.value(), game);
        if (!parsed)
            return LoadOutcome::Failed;
        QImageReader reader(stripPath);
        const QSize size = reader.size();
        if (size.isValid() && (size.width() > kMaxStripWidth || size.height() > 4 * kSkinPictureSize))
            return LoadOutcome::Failed;
        const QImage strip = reader.read();
        if (strip.isNull())
            return LoadOutcome::Failed;
        parsed.value().pictures = cutPictureStrip(strip);
        target = std::move(parsed).value();
        return LoadOutcome::Loaded;
    };
    LoadResult result;
    result.unreal = loadOne(SkinGame::Unreal, QStringLiteral("u_skins.lst"), QStringLiteral("u_skins.bmp"), m_unreal);
    result.ut = loadOne(SkinGame::UT, QStringLiteral("ut_skins.lst"), QStringLiteral("ut_skins.bmp"), m_ut);
    return result;
}

std::optional<QStringList> SkinTables::loadVoices(const QString &folder)
{
    const QString path = QDir(folder).filePath(QStringLiteral("ut_voices.lst"));
    if (!QFileInfo(path).isFile())
        return std::nullopt;
    const auto lines = platform::textfile::readLines(path, kMaxListFileSize);
    if (!lines)
        return std::nullopt;
    return parseVoiceList(lines.value());
}

SkinTables::PlayerPicture SkinTables::playerPicture(const orv::engine::ServerInfo &info,
                                                    const orv::engine::PlayerEntry &player,
                                                    const QString &beaconSign1) const
{
    auto same = [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) == 0; };
    PlayerPicture result;
    if (same(info.gamename, beaconSign1)) {
        result.game = SkinGame::Unreal;
        const QString wanted = (player.mesh + QStringLiteral("Skins.")).left(36).append(player.skin).left(66);
        for (int i = 0; i < m_unreal.count; ++i) {
            if (same(m_unreal.entries[i].skin, wanted)) {
                result.pict = m_unreal.entries[i].pict;
                break;
            }
        }
        return result;
    }
    result.game = SkinGame::UT;
    const QString team = orv::engine::teamWord(player.team);
    const bool noFace = player.face == u"None";
    for (int i = 0; i < m_ut.count; ++i) {
        const SkinEntry &e = m_ut.entries[i];
        if (!same(e.team, team))
            continue;
        const bool match =
            noFace ? (same(e.face, player.mesh) || same(e.skin, player.skin)) : same(e.face, player.face);
        if (match) {
            result.pict = e.pict;
            break;
        }
    }
    return result;
}

} // namespace orv::core
