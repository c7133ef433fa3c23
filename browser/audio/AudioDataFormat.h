#pragma once
// The data format record that describes a stream of audio frames: a file's samples as
// they lie on disk, or what an output takes. 40 bytes, read and written whole.

#include <cstdint>

#include "AudioKit.h"

struct AudioDataFormat {
    double sampleRate = 0.0;
    uint32_t formatID = 0;
    uint32_t formatFlags = 0;
    uint32_t bytesPerPacket = 0;
    uint32_t framesPerPacket = 0;
    uint32_t bytesPerFrame = 0;
    uint32_t channelsPerFrame = 0;
    uint32_t bitsPerChannel = 0;
    uint32_t reserved = 0;
};
static_assert(sizeof(AudioDataFormat) == 40);

// Linear PCM, samples interleaved frame by frame.
constexpr uint32_t kSrkFormatLinearPCM = srkFourCC("lpcm");

constexpr uint32_t kSrkFormatFlagIsFloat = 1u << 0;
constexpr uint32_t kSrkFormatFlagIsBigEndian = 1u << 1;
constexpr uint32_t kSrkFormatFlagIsSignedInteger = 1u << 2;
constexpr uint32_t kSrkFormatFlagIsPacked = 1u << 3;

// Native-endian 32-bit float interleaved PCM with the given rate and channel count: the
// format every output takes.
AudioDataFormat SrkFloatFormat(double sampleRate, uint32_t channels);

// Prints the record field by field, or "Can't print a NULL desc!" for null.
void PrintDataFormat(const AudioDataFormat *format);
