// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <optional>

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

#include "platform/result.h"

namespace orv::engine {
struct PlayerEntry;
struct ServerInfo;
} // namespace orv::engine

namespace orv::core {

enum class SkinGame { Unreal, UT };

// Slots of the two tables: Unreal indexes 0-100, Unreal Tournament 0-500.
constexpr int kUnrealSkinSlots = 101;
constexpr int kUTSkinSlots = 501;
constexpr int kSkinPictureSize = 32;

// One known skin (Unreal) or skin, face, team and voice (Unreal Tournament) of a list file.
struct SkinEntry
{
    QString name; // up to 128 characters
    QString skin; // up to 40
    QString mesh; // up to 40
    QString face; // up to 40, Unreal Tournament only
    QString talk; // up to 40, Unreal Tournament only
    QString team; // up to 6, Unreal Tournament only
    bool view = false;
    quint16 pict = 0;

    bool operator==(const SkinEntry &) const = default;
};

// A game's skin table: a fixed number of slots, the count the list file gave (never more
// than the slots) and the 32 x 32 pictures of its strip.
struct SkinTable
{
    SkinGame game = SkinGame::Unreal;
    int count = 0;
    QList<SkinEntry> entries; // always slotCount(game) entries
    QList<QImage> pictures;

    static int slotCount(SkinGame game) { return game == SkinGame::Unreal ? kUnrealSkinSlots : kUTSkinSlots; }
    static SkinTable empty(SkinGame game);

    // The entry at index, or nullptr outside 0 .. count - 1.
    const SkinEntry *entry(int index) const;
    // The picture with that number, or a null image when the strip has none.
    QImage picture(int pict) const;
    // The indexes the skin menu lists: 0 .. count - 1 with view set, in order.
    QList<int> menuIndexes() const;
};

// Reads the lines of "u_skins.lst" or "ut_skins.lst". Lines that cannot be read, keys
// that are not known and indexes outside the table are skipped; a "SkinsCount" above the
// table's slots is cut to them. Fails only when no line gives a "SkinsCount" number.
platform::Result<SkinTable> parseSkinList(const QStringList &lines, SkinGame game);

// Cuts a picture strip into 32 x 32 squares, left to right. A strip narrower than one
// square gives none.
QList<QImage> cutPictureStrip(const QImage &strip);

// Voice names of "ut_voices.lst": every line that is not empty and does not start with ";".
QStringList parseVoiceList(const QStringList &lines);

// Unreal's menu captions: lower case with the first letter of every blank-separated word
// in capitals.
QString properCase(const QString &text);

// The two tables and the voice list, loaded from the program folder.
class SkinTables
{
public:
    enum class LoadOutcome { Loaded, Missing, Failed };
    struct LoadResult
    {
        LoadOutcome unreal = LoadOutcome::Missing;
        LoadOutcome ut = LoadOutcome::Missing;
        bool failed() const { return unreal == LoadOutcome::Failed || ut == LoadOutcome::Failed; }
    };

    SkinTables();

    // Loads "u_skins.lst"/"u_skins.bmp" then "ut_skins.lst"/"ut_skins.bmp" from folder.
    // A game whose list or strip is missing keeps an empty table.
    LoadResult load(const QString &folder);
    // Reads "ut_voices.lst" from folder; nullopt when the file cannot be read.
    static std::optional<QStringList> loadVoices(const QString &folder);

    const SkinTable &table(SkinGame game) const { return game == SkinGame::Unreal ? m_unreal : m_ut; }
    void setTable(SkinTable table);

    // The picture of a player row of the players list: the Unreal table for a server whose
    // game name is the Unreal beacon sign, the Unreal Tournament table for any other. The
    // first matching entry gives its picture number; no match gives 0.
    struct PlayerPicture
    {
        SkinGame game = SkinGame::UT;
        int pict = 0;
    };
    PlayerPicture playerPicture(const orv::engine::ServerInfo &info, const orv::engine::PlayerEntry &player,
                                const QString &beaconSign1) const;

private:
    SkinTable m_unreal;
    SkinTable m_ut;
};

} // namespace orv::core
