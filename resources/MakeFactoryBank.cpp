// Writes the factory bank resource: 64 program records at their factory values.
#include <cstdio>

#include "shell/FactoryValues.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT\n", argv[0]);
        return 2;
    }
    const std::vector<uint8_t> image = makeFactoryBankImage(64);
    std::FILE* f = std::fopen(argv[1], "wb");
    if (!f || std::fwrite(image.data(), 1, image.size(), f) != image.size() || std::fclose(f) != 0) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
        return 1;
    }
    return 0;
}
