#include "FormatConverter.h"

#include <soxr.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

// The resampler grows its internal buffers as it meets new block sizes. Before the first
// render it is run on silence in blocks larger than any it meets later, so that its
// buffers reach their final size on the client thread and the audio thread never
// allocates (see the real-time test).
constexpr uint32_t kWarmBlockFrames = 32768;
constexpr uint32_t kWarmFrames = 65536;

template <bool Big, int Bytes>
inline uint64_t LoadUnsigned(const uint8_t *p) {
    uint64_t v = 0;
    for (int i = 0; i < Bytes; ++i) v |= uint64_t(p[Big ? i : Bytes - 1 - i]) << (8 * (Bytes - 1 - i));
    return v;
}

void DecodeU8(const uint8_t *src, uint32_t n, float *dst) {
    for (uint32_t i = 0; i < n; ++i) dst[i] = float(int(src[i]) - 128) * (1.0f / 128.0f);
}
void DecodeS8(const uint8_t *src, uint32_t n, float *dst) {
    for (uint32_t i = 0; i < n; ++i) dst[i] = float(int8_t(src[i])) * (1.0f / 128.0f);
}
template <bool Big>
void DecodeS16(const uint8_t *src, uint32_t n, float *dst) {
    for (uint32_t i = 0; i < n; ++i)
        dst[i] = float(int16_t(LoadUnsigned<Big, 2>(src + 2 * i))) * (1.0f / 32768.0f);
}
template <bool Big>
void DecodeS24(const uint8_t *src, uint32_t n, float *dst) {
    for (uint32_t i = 0; i < n; ++i) {
        // Put the 24 bits at the top of a 32-bit word so that the sign comes along.
        const int32_t v = int32_t(uint32_t(LoadUnsigned<Big, 3>(src + 3 * i)) << 8);
        dst[i] = float(v) * (1.0f / 2147483648.0f);
    }
}
template <bool Big>
void DecodeS32(const uint8_t *src, uint32_t n, float *dst) {
    for (uint32_t i = 0; i < n; ++i)
        dst[i] = float(double(int32_t(uint32_t(LoadUnsigned<Big, 4>(src + 4 * i)))) * (1.0 / 2147483648.0));
}
template <bool Big>
void DecodeF32(const uint8_t *src, uint32_t n, float *dst) {
    for (uint32_t i = 0; i < n; ++i) dst[i] = std::bit_cast<float>(uint32_t(LoadUnsigned<Big, 4>(src + 4 * i)));
}
template <bool Big>
void DecodeF64(const uint8_t *src, uint32_t n, float *dst) {
    for (uint32_t i = 0; i < n; ++i) dst[i] = float(std::bit_cast<double>(LoadUnsigned<Big, 8>(src + 8 * i)));
}

}  // namespace

FormatConverter::~FormatConverter() {
    if (mSoxr) soxr_delete(mSoxr);
}

SrkStatus FormatConverter::New(const AudioDataFormat &input, const AudioDataFormat &output,
                               std::unique_ptr<FormatConverter> *out) {
    if (input.formatID != kSrkFormatLinearPCM || output.formatID != kSrkFormatLinearPCM)
        return kSrkFormatUnsupported;
    const uint32_t ch = input.channelsPerFrame;
    if (ch == 0 || ch > 1024 || output.channelsPerFrame == 0 || output.channelsPerFrame > 1024 ||
        !(input.sampleRate > 0.0) || !(output.sampleRate > 0.0) || input.framesPerPacket != 1)
        return kSrkFormatUnsupported;
    if (!(output.formatFlags & kSrkFormatFlagIsFloat) || output.bitsPerChannel != 32 ||
        bool(output.formatFlags & kSrkFormatFlagIsBigEndian) != (std::endian::native == std::endian::big))
        return kSrkFormatUnsupported;
    const uint32_t bits = input.bitsPerChannel;
    const bool big = input.formatFlags & kSrkFormatFlagIsBigEndian;
    const bool isFloat = input.formatFlags & kSrkFormatFlagIsFloat;
    const bool isSigned = input.formatFlags & kSrkFormatFlagIsSignedInteger;
    Decoder decode = nullptr;
    if (isFloat) {
        if (bits == 32) decode = big ? DecodeF32<true> : DecodeF32<false>;
        if (bits == 64) decode = big ? DecodeF64<true> : DecodeF64<false>;
    } else if (bits == 8) {
        decode = isSigned ? DecodeS8 : DecodeU8;
    } else if (isSigned) {
        if (bits == 16) decode = big ? DecodeS16<true> : DecodeS16<false>;
        if (bits == 24) decode = big ? DecodeS24<true> : DecodeS24<false>;
        if (bits == 32) decode = big ? DecodeS32<true> : DecodeS32<false>;
    }
    if (!decode || input.bytesPerFrame != bits / 8 * ch) return kSrkFormatUnsupported;

    std::unique_ptr<FormatConverter> c(new FormatConverter);
    c->mIn = input;
    c->mOutFmt = output;
    c->mDecode = decode;
    c->mInChannels = ch;
    c->mOutChannels = output.channelsPerFrame;
    c->mBytesPerFrame = input.bytesPerFrame;
    c->mBlockFrames = std::max<uint32_t>(1, std::min<uint32_t>(1024, kMaxInputBytesPerPull / input.bytesPerFrame));
    c->mMap.resize(c->mOutChannels);
    for (uint32_t i = 0; i < c->mOutChannels; ++i) c->mMap[i] = i < ch ? int32_t(i) : -1;
    c->mIdentityMap = c->mOutChannels == ch;
    c->mInBlock.assign(size_t(input.sampleRate != output.sampleRate ? kWarmBlockFrames : c->mBlockFrames) * ch, 0.0f);
    c->mOutBlock.assign(size_t(c->mBlockFrames) * ch, 0.0f);
    c->mCarry.assign(input.bytesPerFrame, 0);
    if (input.sampleRate != output.sampleRate) {
        soxr_error_t err = nullptr;
        const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
        const soxr_quality_spec_t q = soxr_quality_spec(SOXR_HQ, 0);
        // One thread: the resampler runs inside the audio callback and must not fan out.
        const soxr_runtime_spec_t rt = soxr_runtime_spec(1);
        c->mSoxr = soxr_create(input.sampleRate, output.sampleRate, ch, &err, &io, &q, &rt);
        if (!c->mSoxr || err) return kSrkConverterFailed;
        if (soxr_set_input_fn(c->mSoxr, &FormatConverter::SoxrInput, c.get(), kWarmBlockFrames))
            return kSrkConverterFailed;
        c->WarmUpResampler();
    }
    *out = std::move(c);
    return kSrkNoErr;
}

SrkStatus FormatConverter::SetChannelMap(const int32_t *map, uint32_t count) {
    if (!map || count != mOutChannels) return kSrkParamErr;
    for (uint32_t i = 0; i < count; ++i)
        if (map[i] >= int32_t(mInChannels)) return kSrkParamErr;
    mMap.assign(map, map + count);
    mIdentityMap = mOutChannels == mInChannels;
    for (uint32_t i = 0; i < count && mIdentityMap; ++i) mIdentityMap = map[i] == int32_t(i);
    return kSrkNoErr;
}

// Decodes up to maxFrames input frames into dst, asking the input procedure for more bytes
// when the current block is used up. Returns at least one frame: when the procedure has
// nothing or fails, silence stands in for the missing input.
uint32_t FormatConverter::PullFrames(float *dst, uint32_t maxFrames) {
    const uint32_t bpf = mBytesPerFrame;
    uint32_t got = 0;
    int emptyPulls = 0;
    while (got < maxFrames) {
        if (mRawBytes == 0) {
            if (got > 0) break;
            if (emptyPulls++ >= 2 || mStatus != kSrkNoErr) {
                std::fill(dst, dst + size_t(maxFrames) * mInChannels, 0.0f);
                return maxFrames;
            }
            uint32_t packets = maxFrames;
            const void *data = nullptr;
            uint32_t bytes = 0;
            const SrkStatus s = mProc(mContext, &packets, &data, &bytes);
            if (s != kSrkNoErr) mStatus = s;
            mRaw = static_cast<const uint8_t *>(data);
            mRawBytes = (s == kSrkNoErr && data) ? bytes : 0;
            continue;
        }
        if (mCarryBytes > 0) {
            // Finish a frame whose first bytes ended the previous block.
            const uint32_t n = std::min(bpf - mCarryBytes, mRawBytes);
            std::memcpy(mCarry.data() + mCarryBytes, mRaw, n);
            mCarryBytes += n;
            mRaw += n;
            mRawBytes -= n;
            if (mCarryBytes == bpf) {
                mDecode(mCarry.data(), mInChannels, dst + size_t(got) * mInChannels);
                ++got;
                mCarryBytes = 0;
            }
            continue;
        }
        const uint32_t whole = std::min(mRawBytes / bpf, maxFrames - got);
        if (whole == 0) {
            // The block ends inside a frame: keep its bytes for the next block.
            std::memcpy(mCarry.data(), mRaw, mRawBytes);
            mCarryBytes = mRawBytes;
            mRawBytes = 0;
            continue;
        }
        mDecode(mRaw, whole * mInChannels, dst + size_t(got) * mInChannels);
        mRaw += size_t(whole) * bpf;
        mRawBytes -= whole * bpf;
        got += whole;
    }
    return got;
}

void FormatConverter::WarmUpResampler() {
    std::vector<float> scratch(size_t(kWarmBlockFrames) * mInChannels);
    mWarming = true;
    mWarmInputFrames = 0;
    uint64_t produced = 0;
    for (uint32_t done = 0; done < kWarmFrames; done += kWarmBlockFrames)
        produced += soxr_output(mSoxr, scratch.data(), kWarmBlockFrames);
    mWarming = false;
    // Output frame k stands for input time k / output rate, so the file's first frame
    // comes out at output frame (silent input frames x output rate / input rate); what
    // comes before it is the warm-up's silence, dropped at the first render.
    const double firstFileFrame = double(mWarmInputFrames) * mOutFmt.sampleRate / mIn.sampleRate;
    const double skip = std::llround(firstFileFrame) - double(produced);
    mSkipFrames = skip > 0 ? uint64_t(skip) : 0;
}

size_t FormatConverter::SoxrInput(void *state, const void **data, size_t requested) {
    auto *self = static_cast<FormatConverter *>(state);
    if (self->mWarming) {
        // mInBlock holds only zeros until the first real pull.
        const size_t n = std::min<size_t>(requested, kWarmBlockFrames);
        self->mWarmInputFrames += n;
        *data = self->mInBlock.data();
        return n;
    }
    const uint32_t n = self->PullFrames(self->mInBlock.data(), uint32_t(std::min<size_t>(requested, kWarmBlockFrames)));
    *data = self->mInBlock.data();
    return n;
}

SrkStatus FormatConverter::FillBuffer(float *out, uint32_t frames, InputProc proc, void *context) {
    mProc = proc;
    mContext = context;
    mStatus = kSrkNoErr;
    const uint32_t inCh = mInChannels;
    const uint32_t outCh = mOutChannels;
    while (mSoxr && mSkipFrames > 0) {
        const size_t got = soxr_output(mSoxr, mOutBlock.data(), size_t(std::min<uint64_t>(mSkipFrames, mBlockFrames)));
        if (got == 0) break;
        mSkipFrames -= got;
    }
    uint32_t done = 0;
    while (done < frames) {
        const uint32_t n = std::min(mBlockFrames, frames - done);
        float *block = mOutBlock.data();
        if (mSoxr) {
            const size_t got = soxr_output(mSoxr, block, n);
            if (got < n) std::fill(block + got * inCh, block + size_t(n) * inCh, 0.0f);
        } else {
            uint32_t got = 0;
            while (got < n) got += PullFrames(block + size_t(got) * inCh, n - got);
        }
        float *dst = out + size_t(done) * outCh;
        if (mIdentityMap) {
            std::memcpy(dst, block, size_t(n) * inCh * sizeof(float));
        } else {
            for (uint32_t f = 0; f < n; ++f) {
                const float *src = block + size_t(f) * inCh;
                for (uint32_t c = 0; c < outCh; ++c) dst[size_t(f) * outCh + c] = mMap[c] < 0 ? 0.0f : src[mMap[c]];
            }
        }
        done += n;
    }
    mProc = nullptr;
    mContext = nullptr;
    return mStatus;
}

uint64_t FormatConverter::PendingOutputFrames() const {
    if (!mSoxr) return 0;
    const double d = soxr_delay(mSoxr);
    return d > 0 ? uint64_t(std::ceil(d)) : 0;
}

void FormatConverter::Print() const {
    std::printf("Converter %p: %s, %u to %u channels\n", static_cast<const void *>(this),
                mSoxr ? "resampling" : "same rate", mInChannels, mOutChannels);
    PrintDataFormat(&mIn);
    PrintDataFormat(&mOutFmt);
}
