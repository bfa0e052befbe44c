// SPDX-License-Identifier: GPL-3.0-or-later
// INI files as the INI editor reads them: the section store, section rows, a key rename,
// numbering of duplicate keys and the strip of those numbers.

#include "fuzz/fuzzinput.h"
#include "orv/tools/inikeynumbers.h"
#include "orv/tools/tbiggerinifile.h"

using namespace orv::tools;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView input = fuzzinput::bytes(data, size);

    const QByteArray numbered = numberDuplicateKeys(input);
    (void)stripKeyNumbers(numbered);
    (void)stripKeyNumbers(input);

    TBiggerIniFile ini(QStringLiteral("/nonexistent/fuzz.ini"));
    ini.loadFromBytes(numbered);
    const QByteArrayList names = ini.sectionNames();
    int budget = 32; // edits of the first sections are enough; every edit rewrites the store
    for (const QByteArray &name : names) {
        if (--budget < 0)
            break;
        const QList<QByteArray> lines = ini.sectionLines(name);
        (void)TBiggerIniFile::valueOf(lines, "Name");
        const QList<IniRow> rows = ini.sectionRows(name);
        if (!rows.isEmpty())
            ini.renameKey(name, 0, "Renamed");
        ini.write(name, "FuzzKey", "FuzzValue");
    }
    (void)ini.toBytes();
    return 0;
}
