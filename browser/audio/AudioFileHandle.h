#pragma once
// The file handle of the player: opens an audio file read-only, tells its data format and
// the number of bytes of audio data, and reads those bytes by offset. Backed by libsndfile.
//
// Raw PCM (8/16/24/32-bit integers in either byte order, 32/64-bit float) is handed out as
// the bytes in the file, so the player converts and resamples it itself. Everything else
// that libsndfile opens (compressed AIFF-C, FLAC, Ogg ...) is decoded to native 32-bit
// float frames; offsets and byte counts then refer to that decoded stream.
//
// One handle is used by one thread at a time: the client thread while the player is set
// up, the disk reader thread while a streaming player plays.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "AudioDataFormat.h"
#include "AudioStatus.h"

struct sf_private_tag;

class AudioFileHandle {
public:
    ~AudioFileHandle();
    AudioFileHandle(const AudioFileHandle &) = delete;
    AudioFileHandle &operator=(const AudioFileHandle &) = delete;

    // Opens path read-only. kSrkFileOpenFailed when libsndfile cannot open it,
    // kSrkFormatUnsupported when it has no frames layout we can describe.
    static SrkStatus Open(const std::string &path, std::unique_ptr<AudioFileHandle> *out);

    const AudioDataFormat &DataFormat() const { return mFormat; }
    int64_t AudioDataByteCount() const { return mByteCount; }
    // True when the file's samples are decoded to float rather than handed out raw.
    bool IsDecoded() const { return mDecoded; }

    // Reads up to *ioCount bytes of audio data starting at offset into buffer; *ioCount
    // becomes the number read, fewer at the end of the audio data. Offsets need not fall on
    // a frame boundary. Blocking disk access: never on the audio thread.
    SrkStatus ReadBytes(int64_t offset, uint32_t *ioCount, void *buffer);

    // Object dump for PlayerPrint.
    void Print() const;

private:
    AudioFileHandle() = default;
    bool ReadFrames(int64_t frame, int64_t count, void *dst);

    sf_private_tag *mFile = nullptr;
    std::string mPath;
    AudioDataFormat mFormat;
    int64_t mByteCount = 0;
    int64_t mFrames = 0;
    int mSndFormat = 0;
    bool mDecoded = false;
    std::vector<uint8_t> mFrameScratch;  // one frame, for reads that start or end mid-frame
};
