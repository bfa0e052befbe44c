// SPDX-License-Identifier: GPL-3.0-or-later
// quillet-tokens FILE...: prints the token stream of each file as the editor's highlighter
// sees it, for golden tests and for diagnosing the highlighter.
#include <cstdio>
#include <optional>
#include <string>

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

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: quillet-tokens FILE...\n");
        return 2;
    }
    int status = 0;
    for (int i = 1; i < argc; ++i) {
        const std::optional<std::string> text = readFile(argv[i]);
        if (!text) {
            std::fprintf(stderr, "quillet-tokens: cannot read %s\n", argv[i]);
            status = 1;
            continue;
        }
        std::string out;
        quillet::core::dumpTokens(*text, out);
        std::fwrite(out.data(), 1, out.size(), stdout);
    }
    return std::fflush(stdout) == 0 ? status : 1;
}
