// SPDX-License-Identifier: GPL-3.0-or-later
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "orv/tools/valueeditorchoice.h"

using orv::tools::chooseValueEditor;
using orv::tools::mapsFolderFor;
using orv::tools::ValueEditor;

TEST(ValueEditorChoice, PicksTheEditorFromKeyAndValue)
{
    struct Case
    {
        const char *key;
        const char *value;
        ValueEditor expected;
    };
    const Case cases[] = {
        {"bEnabled", "True", ValueEditor::TrueFalseBox},
        {"UseSound", "FALSE", ValueEditor::TrueFalseBox},
        {"MapPath", "", ValueEditor::FileNameBox},
        {"SavePath", "", ValueEditor::FileNameBox},
        {"LocalMap", "", ValueEditor::FileNameBox},
        {"MapNum", "", ValueEditor::PlainCell},
        {"Port", "", ValueEditor::PlainCell},
        {"Map", "..\\Maps\\DM-Deck16.unr", ValueEditor::FileNameBox},
        {"LocalMap", "DM-Deck16.UNR", ValueEditor::FileNameBox},
        {"Path", "C:\\Games", ValueEditor::FileNameBox},
        {"MapPath", "7777", ValueEditor::PlainCell},    // a value is there: the key no longer counts
        {"Note", "true.unr", ValueEditor::FileNameBox}, // the later finding wins
        {"Port", "7777", ValueEditor::PlainCell},
    };
    for (const Case &c : cases)
        EXPECT_EQ(chooseValueEditor(QString::fromLatin1(c.key), QString::fromLatin1(c.value)), c.expected)
            << c.key << "=" << c.value;
}

TEST(ValueEditorChoice, MapsFolderIsTheSiblingOfTheSystemFolder)
{
    QTemporaryDir dir;
    const QString root = dir.path();
    ASSERT_TRUE(QDir(root).mkpath(QStringLiteral("UT/System")));
    ASSERT_TRUE(QDir(root).mkpath(QStringLiteral("UT/maps")));
    EXPECT_EQ(mapsFolderFor(root + QStringLiteral("/UT/System")), root + QStringLiteral("/UT/maps"));
    EXPECT_EQ(mapsFolderFor(root + QStringLiteral("/UT/SYSTEM/")), root + QStringLiteral("/UT/maps"));
    EXPECT_EQ(mapsFolderFor(root + QStringLiteral("/Other/Systems")), root + QStringLiteral("/Other/Systems"));
    EXPECT_EQ(mapsFolderFor(QStringLiteral("/nowhere/Unreal/System")), QStringLiteral("/nowhere/Unreal/Maps"));
}
