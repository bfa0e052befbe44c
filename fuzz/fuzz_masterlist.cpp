// SPDX-License-Identifier: GPL-3.0-or-later
// Master lists downloaded from the web: conversion of "address:port" lines and the merge of
// the converted lines into the combined Internet list, through the file functions too.

#include "fuzz/fuzzinput.h"
#include "orv/net/combinedlist.h"
#include "orv/net/masterlist.h"

using namespace orv::net;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView input = fuzzinput::bytes(data, size);

    QList<QByteArray> lines;
    for (const QByteArrayView line : fuzzinput::parts(input, '\n'))
        lines.append(line.toByteArray());
    if (const auto converted = convertMasterLines(lines)) {
        CombinedList combined;
        for (const QByteArray &line : *converted)
            combined.add(fuzzinput::latin1(line));
        (void)combined.sortedLines();
    }

    const QString path = fuzzinput::scratchFile(QStringLiteral("master.txt"));
    if (!fuzzinput::writeScratch(path, input))
        return 0;
    CombinedList combined;
    combined.add(QStringLiteral("127.0.0.2 7777 7778"));
    (void)ConvertAndMergeMasterList(path, combined);
    (void)combined.sortedLines();
    return 0;
}
