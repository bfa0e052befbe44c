// SPDX-License-Identifier: GPL-3.0-or-later
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "orv/frontend/gameforms/executablesearch.h"
#include "tests/support/testpaths.h"

using namespace orv::frontend;
using orv::core::gameExecutableNames;

TEST(ExecutableSearch, ResponsiveSearchReturnsTheWorkersFinds)
{
    QTemporaryDir dir;
    ASSERT_TRUE(testsupport::writeFile(dir.filePath("Unreal.exe"), "MZ"));
    EXPECT_EQ(findFilesResponsively({dir.path()}, gameExecutableNames()), QStringList({dir.filePath("Unreal.exe")}));
}
