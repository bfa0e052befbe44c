// SPDX-License-Identifier: GPL-3.0-or-later
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "orv/frontend/formstorage/registryexport.h"
#include "platform/registrystore.h"
#include "tests/support/testpaths.h"

using platform::RegistryRoot;
using platform::RegistryStore;
using platform::RegistryValue;

TEST(RegistryExport, WritesTheKnownTreeByteForByte)
{
    QTemporaryDir dir;
    RegistryStore store(RegistryRoot::CurrentUser, dir.filePath(QStringLiteral("HKEY_CURRENT_USER.reg")));
    QByteArray bytes;
    for (int i = 0; i < 52; ++i)
        bytes.append(char(i * 5));
    RegistryValue expand = RegistryValue::fromString(QStringLiteral("%TEMP%\\x"));
    expand.type = platform::RegistryValueType::ExpandString;
    RegistryValue other = RegistryValue::fromBinary("\x01");
    other.type = platform::RegistryValueType::Other;

    ASSERT_TRUE(store.setString(u"SOFTWARE\\Orvane\\Main options", u"BeaconPort_Text", QStringLiteral("7777")));
    ASSERT_TRUE(store.setString(u"SOFTWARE\\Orvane", u"Path", QStringLiteral(R"(C:\UT "GOTY")")));
    ASSERT_TRUE(store.setString(u"SOFTWARE\\Orvane", u"Na\"me\\", QStringLiteral("x")));
    ASSERT_TRUE(store.setDWord(u"SOFTWARE\\Orvane", u"Number", 0xbeef));
    ASSERT_TRUE(store.setBinary(u"SOFTWARE\\Orvane", u"Blob", bytes));
    ASSERT_TRUE(store.setBinary(u"SOFTWARE\\Orvane", u"Short", QByteArray("\xab\x01", 2)));
    ASSERT_TRUE(store.setValue(u"SOFTWARE\\Orvane", u"Expand", expand));
    ASSERT_TRUE(store.setValue(u"SOFTWARE\\Orvane", u"Other", other));
    ASSERT_TRUE(store.setString(u"SOFTWARE\\Orvane", u"", QStringLiteral("default")));
    ASSERT_TRUE(store.setString(u"SOFTWARE\\Orvane\\Main form state\\.InternetList_Columns", u"Item0_Width",
                                QStringLiteral("120")));
    ASSERT_TRUE(store.createKey(u"SOFTWARE\\Orvane\\Find form"));
    ASSERT_TRUE(store.setString(u"SOFTWARE\\Other", u"NotExported", QStringLiteral("x")));

    QByteArray blob;
    for (int i = 0; i < 52; ++i) {
        blob += QByteArray::number(i * 5, 16).rightJustified(2, '0').toUpper();
        if (i < 51)
            blob += ',';
        if (i == 25 || i == 50)
            blob += "\\\r\n";
    }
    const QByteArray expected = "REGEDIT4\r\n"
                                "\r\n[HKEY_CURRENT_USER\\SOFTWARE\\Orvane]\r\n"
                                "\"Path\"=\"C:\\\\UT \\\"GOTY\\\"\"\r\n"
                                "\"Na\\\"me\\\\\"=\"x\"\r\n"
                                "\"Number\"=dword:0000BEEF\r\n"
                                "\"Blob\"=hex:" +
                                blob +
                                "\r\n"
                                "\"Short\"=hex:AB,01\r\n"
                                "\"Expand\"=\"%TEMP%\\\\x\"\r\n"
                                "\"Other\"=\"\"\r\n"
                                "@=\"default\"\r\n"
                                "\r\n[HKEY_CURRENT_USER\\SOFTWARE\\Orvane\\Find form]\r\n"
                                "\r\n[HKEY_CURRENT_USER\\SOFTWARE\\Orvane\\Main form state]\r\n"
                                "\r\n[HKEY_CURRENT_USER\\SOFTWARE\\Orvane\\Main form state\\.InternetList_Columns]\r\n"
                                "\"Item0_Width\"=\"120\"\r\n"
                                "\r\n[HKEY_CURRENT_USER\\SOFTWARE\\Orvane\\Main options]\r\n"
                                "\"BeaconPort_Text\"=\"7777\"\r\n";
    EXPECT_EQ(
        orv::frontend::exportRegEdit4(store, QStringLiteral("SOFTWARE\\Orvane"), QStringLiteral("HKEY_CURRENT_USER")),
        expected);
}
