#include "AudioStatus.h"

#include <cstdio>

void SrkStatusChars(SrkStatus status, char out[5]) {
    const uint32_t v = uint32_t(status);
    for (int i = 0; i < 4; ++i) {
        const char c = char((v >> (24 - 8 * i)) & 0xFF);
        out[i] = (c >= 0x20 && c < 0x7F) ? c : '.';
    }
    out[4] = '\0';
}

void SrkPrintError(const char *name, SrkStatus status) {
    char chars[5];
    SrkStatusChars(status, chars);
    std::printf("Error:%s=0x%lX,%ld,%s\n\n", name, static_cast<unsigned long>(uint32_t(status)),
                static_cast<long>(status), chars);
    std::fflush(stdout);
}
