// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include <QString>
#include <QStringList>

// The arguments every program understands before it creates anything: --help, --version,
// and for the windowed programs the check that nothing else unknown was given.
namespace platform::commandline {

// The version of the whole tool set, as the build sets it.
QString projectVersion();

// What a windowed program accepts on its command line.
struct ProgramInfo
{
    QString name;              // the executable's name, as the user types it
    QString description;       // one line for --help
    bool acceptsFiles = false; // FILE... arguments (Quillet opens them)
    bool reportsData = false;  // --version also says where the shipped data was found
    // With acceptsFiles: how the usage line names the arguments (default "[FILE]...") and
    // the line of help about them.
    QString operandUsage = {};
    QString operandHelp = {};
};

// The outcome of reading a command line: either a run with the files it names, or an
// immediate end with text for standard output or standard error and an exit status.
struct Parsed
{
    std::optional<int> exitStatus; // set when the program is to end at once
    QString output;                // for standard output (--help, --version)
    QString error;                 // for standard error (unknown arguments)
    QStringList files;             // FILE... arguments, in their order
};

// The --version text: "<name> <version>", and with reportsData the shipped data folder.
QString versionText(const ProgramInfo &program);

// Reads the arguments after the program name. Options of the GUI toolkit (-style fusion,
// -platform offscreen, ...) pass through untouched for it to read; "--" ends the options.
Parsed parse(const ProgramInfo &program, const QStringList &arguments);

// parse() on main()'s arguments, printing the texts. Returns the exit status when the
// program is to end at once; the files named are stored in *files when given.
std::optional<int> handle(const ProgramInfo &program, int argc, char **argv, QStringList *files = nullptr);

} // namespace platform::commandline
