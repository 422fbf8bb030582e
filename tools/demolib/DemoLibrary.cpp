// Writes the demo library file: demolib <output file> [songs] [seed]. Dates follow today's date.
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "tools/demolib/DemoGen.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: demolib <output file> [songs] [seed]\n");
        return 2;
    }
    int songs = argc > 2 ? std::atoi(argv[2]) : 5000;
    unsigned seed = argc > 3 ? static_cast<unsigned>(std::atoi(argv[3])) : 1u;
    if (songs < 1 || songs > 10000000) {
        std::fprintf(stderr, "songs must be 1 to 10000000\n");
        return 2;
    }
    std::time_t now = std::time(nullptr);
    std::tm* t = std::localtime(&now);
    std::string text = swirlo::demolib::MakeDemoLibrary(songs, seed, t->tm_year + 1900, t->tm_mon + 1, t->tm_mday);
    std::FILE* f = std::fopen(argv[1], "wb");
    if (!f || std::fwrite(text.data(), 1, text.size(), f) != text.size() || std::fclose(f) != 0) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
