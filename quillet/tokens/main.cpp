// SPDX-License-Identifier: GPL-3.0-or-later
// quillet-tokens FILE...: prints the token stream of each file as the editor's highlighter
// sees it, for golden tests and for diagnosing the highlighter.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "quillet/core/tokendump.h"

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: quillet-tokens FILE...\n");
        return 2;
    }
    int status = 0;
    for (int i = 1; i < argc; ++i) {
        std::ifstream in(argv[i], std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "quillet-tokens: cannot read %s\n", argv[i]);
            status = 1;
            continue;
        }
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (in.bad()) {
            std::fprintf(stderr, "quillet-tokens: cannot read %s\n", argv[i]);
            status = 1;
            continue;
        }
        std::string out;
        quillet::core::dumpTokens(text, out);
        std::fwrite(out.data(), 1, out.size(), stdout);
    }
    return std::fflush(stdout) == 0 ? status : 1;
}
