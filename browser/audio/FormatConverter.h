#pragma once
// Converts a stream of PCM frames in a file's data format to the interleaved 32-bit float
// frames an output takes: decodes the samples, resamples from the input rate to the output
// rate with libsoxr (which pulls its input through a callback), and maps input channels
// to output channels. Input is pulled block by block through an input procedure, so the
// converter never sees the file and never waits for it.
//
// Created, configured and destroyed on the client thread; FillBuffer runs on the audio
// thread and allocates nothing, takes no lock and touches no disk.

#include <cstdint>
#include <memory>
#include <vector>

#include "AudioDataFormat.h"
#include "AudioStatus.h"

struct soxr;

class FormatConverter {
public:
    // Hands the converter input: *ioPackets holds the number of packets wanted and returns
    // the number handed; *outData and *outBytes the bytes. Zero bytes means no input now.
    using InputProc = SrkStatus (*)(void *context, uint32_t *ioPackets, const void **outData,
                                    uint32_t *outBytes);

    // The most input the converter asks for in one call, in bytes: an input procedure that
    // hands out silence needs a block of zeros this large at most.
    static constexpr uint32_t kMaxInputBytesPerPull = 65536;

    ~FormatConverter();
    FormatConverter(const FormatConverter &) = delete;
    FormatConverter &operator=(const FormatConverter &) = delete;

    // Input: linear PCM (8/16/24/32-bit integer either byte order, 32/64-bit float);
    // output: native 32-bit float, packed. kSrkFormatUnsupported for anything else,
    // kSrkConverterFailed when the resampler cannot be made.
    static SrkStatus New(const AudioDataFormat &input, const AudioDataFormat &output,
                         std::unique_ptr<FormatConverter> *out);

    // One entry per output channel: the input channel it plays, or -1 for silence.
    // Without a map, output channel i plays input channel i (silence past the last one).
    SrkStatus SetChannelMap(const int32_t *map, uint32_t count);

    // Fills frames output frames, pulling input through proc. Returns the first nonzero
    // status of proc (the frames it could not feed are silent), else 0. Audio thread.
    SrkStatus FillBuffer(float *out, uint32_t frames, InputProc proc, void *context);

    const AudioDataFormat &InputFormat() const { return mIn; }
    const AudioDataFormat &OutputFormat() const { return mOutFmt; }
    bool IsResampling() const { return mSoxr != nullptr; }
    // Output frames still owed for the input taken so far (the resampler's delay); 0
    // without resampling. Audio thread, between FillBuffer calls.
    uint64_t PendingOutputFrames() const;
    void Print() const;

private:
    using Decoder = void (*)(const uint8_t *src, uint32_t samples, float *dst);
    FormatConverter() = default;
    uint32_t PullFrames(float *dst, uint32_t maxFrames);
    void WarmUpResampler();
    static size_t SoxrInput(void *state, const void **data, size_t requested);

    AudioDataFormat mIn;
    AudioDataFormat mOutFmt;
    Decoder mDecode = nullptr;
    uint32_t mInChannels = 0;
    uint32_t mOutChannels = 0;
    uint32_t mBytesPerFrame = 0;
    uint32_t mBlockFrames = 0;  // frames per pull and per resampler call
    std::vector<int32_t> mMap;
    bool mIdentityMap = true;
    soxr *mSoxr = nullptr;  // null when the rates are equal: frames pass through unresampled
    bool mWarming = false;
    uint64_t mWarmInputFrames = 0;
    uint64_t mSkipFrames = 0;  // resampled silence still to drop before the file's first frame
    std::vector<float> mInBlock;   // decoded input handed to the resampler
    std::vector<float> mOutBlock;  // resampled (or passed-through) frames before the map
    std::vector<uint8_t> mCarry;   // a frame split across two input blocks
    uint32_t mCarryBytes = 0;
    const uint8_t *mRaw = nullptr;  // input bytes not yet decoded
    uint32_t mRawBytes = 0;
    // Valid during FillBuffer only.
    InputProc mProc = nullptr;
    void *mContext = nullptr;
    SrkStatus mStatus = kSrkNoErr;
};
