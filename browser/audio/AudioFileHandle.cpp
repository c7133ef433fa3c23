#include "AudioFileHandle.h"

#include <sndfile.h>

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstring>

namespace {

// The container formats whose PCM samples lie in the file as plain interleaved frames that
// sf_read_raw hands out unchanged.
bool IsPlainContainer(int major) {
    switch (major) {
    case SF_FORMAT_WAV:
    case SF_FORMAT_WAVEX:
    case SF_FORMAT_AIFF:
    case SF_FORMAT_W64:
    case SF_FORMAT_RF64:
    case SF_FORMAT_SD2:
    case SF_FORMAT_CAF:
    case SF_FORMAT_AU:
        return true;
    default:
        return false;
    }
}

}  // namespace

AudioFileHandle::~AudioFileHandle() {
    if (mFile) sf_close(mFile);
}

SrkStatus AudioFileHandle::Open(const std::string &path, std::unique_ptr<AudioFileHandle> *out) {
    SF_INFO info{};
    SNDFILE *file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) return kSrkFileOpenFailed;
    std::unique_ptr<AudioFileHandle> h(new AudioFileHandle);
    h->mFile = file;
    h->mPath = path;
    h->mSndFormat = info.format;
    h->mFrames = info.frames < 0 ? 0 : info.frames;
    if (info.channels <= 0 || info.samplerate <= 0) return kSrkFormatUnsupported;

    const int major = info.format & SF_FORMAT_TYPEMASK;
    const int sub = info.format & SF_FORMAT_SUBMASK;
    uint32_t bytes = 0;
    uint32_t flags = kSrkFormatFlagIsPacked;
    switch (sub) {
    case SF_FORMAT_PCM_S8: bytes = 1; flags |= kSrkFormatFlagIsSignedInteger; break;
    case SF_FORMAT_PCM_U8: bytes = 1; break;
    case SF_FORMAT_PCM_16: bytes = 2; flags |= kSrkFormatFlagIsSignedInteger; break;
    case SF_FORMAT_PCM_24: bytes = 3; flags |= kSrkFormatFlagIsSignedInteger; break;
    case SF_FORMAT_PCM_32: bytes = 4; flags |= kSrkFormatFlagIsSignedInteger; break;
    case SF_FORMAT_FLOAT: bytes = 4; flags |= kSrkFormatFlagIsFloat; break;
    case SF_FORMAT_DOUBLE: bytes = 8; flags |= kSrkFormatFlagIsFloat; break;
    default: break;
    }
    const uint32_t channels = uint32_t(info.channels);
    if (bytes != 0 && IsPlainContainer(major)) {
        // The raw bytes are in the file's byte order: libsndfile says whether that differs
        // from ours.
        const bool swap = sf_command(file, SFC_RAW_DATA_NEEDS_ENDSWAP, nullptr, 0) == SF_TRUE;
        const bool nativeBig = std::endian::native == std::endian::big;
        if (bytes > 1 && (swap != nativeBig)) flags |= kSrkFormatFlagIsBigEndian;
        AudioDataFormat &f = h->mFormat;
        f.sampleRate = info.samplerate;
        f.formatID = kSrkFormatLinearPCM;
        f.formatFlags = flags;
        f.bytesPerFrame = bytes * channels;
        f.bytesPerPacket = f.bytesPerFrame;
        f.framesPerPacket = 1;
        f.channelsPerFrame = channels;
        f.bitsPerChannel = bytes * 8;
    } else {
        h->mDecoded = true;
        h->mFormat = SrkFloatFormat(info.samplerate, channels);
    }
    h->mByteCount = h->mFrames * int64_t(h->mFormat.bytesPerFrame);
    h->mFrameScratch.resize(h->mFormat.bytesPerFrame);
    *out = std::move(h);
    return kSrkNoErr;
}

bool AudioFileHandle::ReadFrames(int64_t frame, int64_t count, void *dst) {
    if (count <= 0) return true;
    if (sf_seek(mFile, frame, SEEK_SET) != frame) return false;
    if (mDecoded) return sf_readf_float(mFile, static_cast<float *>(dst), count) == count;
    const sf_count_t bytes = count * sf_count_t(mFormat.bytesPerFrame);
    return sf_read_raw(mFile, dst, bytes) == bytes;
}

SrkStatus AudioFileHandle::ReadBytes(int64_t offset, uint32_t *ioCount, void *buffer) {
    if (offset < 0) return kSrkFileReadFailed;
    const int64_t bpf = mFormat.bytesPerFrame;
    const int64_t want = std::min<int64_t>(*ioCount, std::max<int64_t>(0, mByteCount - offset));
    *ioCount = 0;
    auto *dst = static_cast<uint8_t *>(buffer);
    int64_t done = 0;
    int64_t frame = offset / bpf;
    // A read that starts inside a frame: read that frame whole and keep its tail.
    if (const int64_t head = offset % bpf; head != 0 && want > 0) {
        if (!ReadFrames(frame, 1, mFrameScratch.data())) return kSrkFileReadFailed;
        const int64_t n = std::min(bpf - head, want);
        std::memcpy(dst, mFrameScratch.data() + head, size_t(n));
        done = n;
        ++frame;
    }
    const int64_t whole = (want - done) / bpf;
    if (!ReadFrames(frame, whole, dst + done)) return kSrkFileReadFailed;
    done += whole * bpf;
    frame += whole;
    if (const int64_t tail = want - done; tail > 0) {
        if (!ReadFrames(frame, 1, mFrameScratch.data())) return kSrkFileReadFailed;
        std::memcpy(dst + done, mFrameScratch.data(), size_t(tail));
        done += tail;
    }
    *ioCount = uint32_t(done);
    return kSrkNoErr;
}

void AudioFileHandle::Print() const {
    std::printf("AudioFile %p: \"%s\" libsndfile format 0x%X, %lld frames, %s\n",
                static_cast<const void *>(this), mPath.c_str(), unsigned(mSndFormat),
                static_cast<long long>(mFrames), mDecoded ? "decoded to float" : "raw PCM");
    PrintDataFormat(&mFormat);
}
