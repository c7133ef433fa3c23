#include "AudioDataFormat.h"

#include <bit>
#include <cstdio>

#include "AudioStatus.h"

AudioDataFormat SrkFloatFormat(double sampleRate, uint32_t channels) {
    AudioDataFormat f;
    f.sampleRate = sampleRate;
    f.formatID = kSrkFormatLinearPCM;
    f.formatFlags = kSrkFormatFlagIsFloat | kSrkFormatFlagIsPacked;
    if constexpr (std::endian::native == std::endian::big) f.formatFlags |= kSrkFormatFlagIsBigEndian;
    f.bytesPerFrame = 4 * channels;
    f.bytesPerPacket = f.bytesPerFrame;
    f.framesPerPacket = 1;
    f.channelsPerFrame = channels;
    f.bitsPerChannel = 32;
    return f;
}

void PrintDataFormat(const AudioDataFormat *format) {
    if (!format) {
        std::printf("Can't print a NULL desc!\n");
        return;
    }
    char id[5];
    SrkStatusChars(SrkStatus(format->formatID), id);
    std::printf("- - - - - - - - - - - - - - - - - - - -\n");
    std::printf("  Sample Rate:%f\n", format->sampleRate);
    std::printf("  Format ID:%s\n", id);
    std::printf("  Format Flags:%lX\n", static_cast<unsigned long>(format->formatFlags));
    std::printf("  Bytes per Packet:%ld\n", static_cast<long>(format->bytesPerPacket));
    std::printf("  Frames per Packet:%ld\n", static_cast<long>(format->framesPerPacket));
    std::printf("  Bytes per Frame:%ld\n", static_cast<long>(format->bytesPerFrame));
    std::printf("  Channels per Frame:%ld\n", static_cast<long>(format->channelsPerFrame));
    std::printf("  Bits per Channel:%ld\n", static_cast<long>(format->bitsPerChannel));
    std::printf("- - - - - - - - - - - - - - - - - - - -\n");
}
