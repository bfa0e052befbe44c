// SPDX-License-Identifier: GPL-3.0-or-later
#include <cstring>

#include <gtest/gtest.h>

#include "platform/commandline.h"

using namespace platform::commandline;

namespace {

const ProgramInfo kEditor{QStringLiteral("Quillet"), QStringLiteral("Edits scripts."), true, false};
const ProgramInfo kBrowser{QStringLiteral("orv"), QStringLiteral("Browses servers."), false, true};

struct Case
{
    const char *name;
    const ProgramInfo *program;
    QStringList arguments;
    std::optional<int> exitStatus;
    QStringList files;
    const char *outputStart; // "" when nothing is printed on standard output
    const char *errorPart;   // "" when nothing is printed on standard error
};

} // namespace

TEST(CommandLine, ParsesEachCaseAsTheProgramsExpect)
{
    const Case cases[] = {
        {"nothing", &kBrowser, {}, std::nullopt, {}, "", ""},
        {"help", &kBrowser, {"--help"}, 0, {}, "Usage: orv [OPTION]...\n", ""},
        {"short help wins over files", &kEditor, {"a.uc", "-h"}, 0, {}, "Usage: Quillet [OPTION]... [FILE]...", ""},
        {"version", &kEditor, {"--version"}, 0, {}, "Quillet ", ""},
        {"files in order", &kEditor, {"b.uc", "/tmp/a.uc"}, std::nullopt, {"b.uc", "/tmp/a.uc"}, "", ""},
        {"double dash ends options",
         &kEditor,
         {"--", "-odd.uc", "--help"},
         std::nullopt,
         {"-odd.uc", "--help"},
         "",
         ""},
        {"toolkit options pass",
         &kBrowser,
         {"-style", "fusion", "--platform=offscreen", "-reverse"},
         std::nullopt,
         {},
         "",
         ""},
        {"toolkit option without value", &kBrowser, {"-style"}, 2, {}, "", "option '-style' needs a value"},
        {"unknown option",
         &kBrowser,
         {"--fullscreen"},
         2,
         {},
         "",
         "orv: unknown option '--fullscreen'\nTry 'orv --help'"},
        {"file refused without files", &kBrowser, {"servers.lst"}, 2, {}, "", "unexpected argument 'servers.lst'"},
        {"unknown option with files", &kEditor, {"a.uc", "-x"}, 2, {}, "", "unknown option '-x'"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const Parsed parsed = parse(*c.program, c.arguments);
        EXPECT_EQ(parsed.exitStatus, c.exitStatus);
        EXPECT_EQ(parsed.files, c.files);
        EXPECT_EQ(parsed.output.left(qsizetype(std::strlen(c.outputStart))), QLatin1String(c.outputStart));
        EXPECT_EQ(parsed.output.isEmpty(), *c.outputStart == '\0');
        EXPECT_TRUE(parsed.error.contains(QLatin1String(c.errorPart))) << parsed.error.toStdString();
        EXPECT_EQ(parsed.error.isEmpty(), *c.errorPart == '\0');
    }
}

TEST(CommandLine, VersionNamesTheVersionAndTheDataFolderWhenAsked)
{
    EXPECT_EQ(versionText(kEditor), QStringLiteral("Quillet %1\n").arg(projectVersion()));
    EXPECT_FALSE(projectVersion().isEmpty());
    const QString browser = versionText(kBrowser);
    EXPECT_TRUE(browser.startsWith(QStringLiteral("orv %1\nShipped data: ").arg(projectVersion())))
        << browser.toStdString();
}
