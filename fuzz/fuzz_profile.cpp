// SPDX-License-Identifier: GPL-3.0-or-later
// Private-profile functions over an arbitrary INI file: read a key, read a section, write a
// key (for inputs with a fourth part, the value) and read it back.

#include "fuzz/fuzzinput.h"
#include "platform/profile.h"

using namespace platform;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QList<QByteArrayView> pieces = fuzzinput::parts(fuzzinput::bytes(data, size));
    const QByteArrayView fileBytes = pieces.value(0);
    const QString section = pieces.size() > 1 ? fuzzinput::latin1(pieces[1]) : QStringLiteral("Engine.GameInfo");
    const QString key = pieces.size() > 2 ? fuzzinput::latin1(pieces[2]) : QStringLiteral("MaxPlayers");

    const QString path = fuzzinput::scratchFile(QStringLiteral("Game.ini"));
    if (!fuzzinput::writeScratch(path, fileBytes))
        return 0;
    (void)profile::readString(path, section, key, QStringLiteral("default"));
    (void)profile::readSection(path, section);
    const QString value = pieces.size() > 3 ? fuzzinput::latin1(pieces[3]) : QStringLiteral("fuzz value");
    if (profile::writeString(path, section, key, value))
        (void)profile::readSection(path, section);
    return 0;
}
