// SPDX-License-Identifier: GPL-3.0-or-later
// quillet-tokens [--] FILE...: prints the token stream of each file as the editor's highlighter
// sees it, for golden tests and for diagnosing the highlighter.
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "platform/commandline.h"
#include "quillet/core/tokendump.h"

namespace {

// The whole file, or nullopt when it cannot be opened or read (a folder, for one).
std::optional<std::string> readFile(const char *path)
{
    std::FILE *file = std::fopen(path, "rb");
    if (!file)
        return std::nullopt;
    std::string text;
    char buffer[65536];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        text.append(buffer, got);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed)
        return std::nullopt;
    return text;
}

const char kUsage[] = "usage: quillet-tokens [--] FILE...\n";

const char kHelp[] = "Prints the token stream of each UnrealScript FILE as Quillet's highlighter sees it:\n"
                     "one line per token, the files one after another.\n"
                     "\n"
                     "  -h, --help     show this help and exit\n"
                     "      --version  show the version and exit\n"
                     "  --             the arguments that follow are files, even when they start with '-'\n"
                     "\n"
                     "Exit status: 0 when every file was read, 1 when some could not be read or the output\n"
                     "could not be written, 2 for bad arguments.\n";

} // namespace

int main(int argc, char **argv)
{
    std::vector<const char *> files;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (optionsEnded || argument == "-" || argument.empty() || argument[0] != '-') {
            files.push_back(argv[i]);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "-h" || argument == "--help") {
            std::fputs(kUsage, stdout);
            std::fputs(kHelp, stdout);
            return std::fflush(stdout) == 0 ? 0 : 1;
        } else if (argument == "--version") {
            const std::string version = platform::commandline::projectVersion().toStdString();
            std::printf("quillet-tokens %s\n", version.c_str());
            return std::fflush(stdout) == 0 ? 0 : 1;
        } else {
            std::fprintf(stderr, "quillet-tokens: unknown option '%s'\n%s", argv[i], kUsage);
            return 2;
        }
    }
    if (files.empty()) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    int status = 0;
    for (const char *path : files) {
        const std::optional<std::string> text = readFile(path);
        if (!text) {
            std::fprintf(stderr, "quillet-tokens: cannot read %s\n", path);
            status = 1;
            continue;
        }
        std::string out;
        quillet::core::dumpTokens(*text, out);
        std::fwrite(out.data(), 1, out.size(), stdout);
    }
    return std::fflush(stdout) == 0 ? status : 1;
}
