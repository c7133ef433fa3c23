#include "AudioFilePlayer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "AudioFileReaderThread.h"

namespace {

// Silence handed to the converter when a provider has nothing: read-only memory that no
// reader ever writes, one block of zero bytes and one of unsigned 8-bit silence.
alignas(16) const uint8_t kZeroBytes[FormatConverter::kMaxInputBytesPerPull] = {};
struct MidScaleBlock {
    uint8_t bytes[FormatConverter::kMaxInputBytesPerPull];
    MidScaleBlock() { std::memset(bytes, 0x80, sizeof bytes); }
};
const MidScaleBlock kMidScaleBytes;

}  // namespace

uint8_t SrkSilenceByte(const AudioDataFormat &format) {
    const bool unsignedByte = format.bitsPerChannel == 8 && !(format.formatFlags & kSrkFormatFlagIsFloat) &&
                              !(format.formatFlags & kSrkFormatFlagIsSignedInteger);
    return unsignedByte ? 0x80 : 0x00;
}

// ---------------------------------------------------------------- AudioFileManager

AudioFileManager::AudioFileManager(AudioFilePlayer &parent, AudioFileHandle &file)
    : mParent(parent), mAudioFileID(file) {}

AudioFileManager::~AudioFileManager() = default;

SrkStatus AudioFileManager::Render(float *data, uint32_t frames) {
    const uint32_t framesPerPacket = std::max<uint32_t>(1, mParent.GetFileFormat().framesPerPacket);
    const SrkStatus status = mConverter->FillBuffer(data, frames / framesPerPacket, ACComplexInputProc, this);
    if (status != kSrkNoErr) {
        char chars[5];
        SrkStatusChars(status, chars);
        std::fprintf(stderr, "AudioConverterFillComplexBuffer:%ld,%-4.4s\n", static_cast<long>(status), chars);
        mParent.DoNotification(status);
    } else {
        // The resampler still holds the last moments of the file when the data runs out:
        // the end is reported only after they have been rendered.
        if (mInputEnded) {
            if (mTailFramesLeft < 0) mTailFramesLeft = int64_t(mConverter->PendingOutputFrames());
            else mTailFramesLeft = std::max<int64_t>(0, mTailFramesLeft - int64_t(frames));
        }
        AfterRender();
    }
    return status;
}

SrkStatus AudioFileManager::FileRenderProc(void *context, float *data, uint32_t frames) {
    return static_cast<AudioFileManager *>(context)->Render(data, frames);
}

SrkStatus AudioFileManager::ACComplexInputProc(void *context, uint32_t *ioPackets, const void **outData,
                                               uint32_t *outBytes) {
    auto *self = static_cast<AudioFileManager *>(context);
    const void *data = nullptr;
    uint32_t size = 0;
    const SrkStatus status = self->GetFileData(&data, &size);
    const AudioDataFormat &format = self->mParent.GetFileFormat();
    const uint32_t bytesPerPacket = std::max<uint32_t>(1, format.bytesPerPacket);
    if (size == 0 && *ioPackets > 0) {
        // No data now (end of file, or an underrun): the converter gets silence for this
        // pull, in the file's own format. The packet count stays as asked.
        uint64_t bytes = uint64_t(*ioPackets) * bytesPerPacket;
        bytes = std::min<uint64_t>({bytes, self->GetFileBufferSize(), sizeof kZeroBytes});
        size = uint32_t(bytes);
        data = SrkSilenceByte(format) == 0 ? static_cast<const void *>(kZeroBytes)
                                           : static_cast<const void *>(kMidScaleBytes.bytes);
    } else {
        *ioPackets = size / bytesPerPacket;
    }
    *outData = data;
    *outBytes = size;
    return status;
}

// ---------------------------------------------------------------- AudioFileData

AudioFileData::AudioFileData(AudioFilePlayer &parent, AudioFileHandle &file, uint32_t size)
    : AudioFileManager(parent, file), mSize(size) {
    mFileBuffer.reset(new uint8_t[std::max<uint32_t>(size, 1)]);
    uint32_t got = size;
    SrkThrowIfError(file.ReadBytes(0, &got, mFileBuffer.get()), "AudioFileReadBytes");
    mSize = got;
}

void AudioFileData::DoConnect() {
    ResetEnd();
    mFirstPass = true;
    mShouldFinish = false;
}

SrkStatus AudioFileData::GetFileData(const void **outData, uint32_t *outSize) {
    if (mFirstPass.load(std::memory_order_relaxed) || GetLooping()) {
        *outData = mFileBuffer.get();
        *outSize = mSize;
        mFirstPass.store(false, std::memory_order_relaxed);
    } else {
        *outData = nullptr;
        *outSize = 0;
        mShouldFinish.store(true, std::memory_order_relaxed);
        MarkInputEnded();
    }
    return kSrkNoErr;
}

void AudioFileData::AfterRender() {
    if (mShouldFinish.load(std::memory_order_relaxed) && EndHasPlayed()) mParent.DoNotification(kSrkPlayerEndOfFile);
}

// ---------------------------------------------------------------- AudioFilePlayer

uint32_t AudioFilePlayer::ChunkSizeForBytesPerSecond(uint32_t bytesPerSecond) {
    constexpr uint64_t kUnit = 32768;
    const uint64_t down = bytesPerSecond / kUnit * kUnit;
    if (down > 131072) return uint32_t(down);
    return uint32_t(std::min<uint64_t>((uint64_t(bytesPerSecond) + kUnit - 1) / kUnit * kUnit, 0x80000000ULL));
}

AudioFilePlayer::AudioFilePlayer(const std::string &path) {
    SrkThrowIfError(AudioFileHandle::Open(path, &mAudioFileID), "AudioFileOpen");
    mFileDescription = mAudioFileID->DataFormat();
    mFileSampleRate = mFileDescription.sampleRate;
    const int64_t fileLength = mAudioFileID->AudioDataByteCount();
    uint32_t chunkSize = 0;
    if (fileLength > kMaxInMemoryBytes) {
        const double bps = mFileDescription.sampleRate * mFileDescription.bytesPerFrame;
        const uint32_t bytesPerSecond =
            bps >= double(std::numeric_limits<uint32_t>::max()) ? std::numeric_limits<uint32_t>::max() : uint32_t(bps);
        chunkSize = ChunkSizeForBytesPerSecond(bytesPerSecond);
    }
    if (chunkSize != 0 && fileLength > 2 * int64_t(chunkSize)) {
        mAudioFileManager = std::make_unique<AudioFileReaderThread>(*this, *mAudioFileID, fileLength, chunkSize);
        mUsingReaderThread = true;
    } else {
        if (fileLength > int64_t(std::numeric_limits<uint32_t>::max())) SrkThrowIfError(kSrkFormatUnsupported, "AudioFileReadBytes");
        mAudioFileManager = std::make_unique<AudioFileData>(*this, *mAudioFileID, uint32_t(fileLength));
    }
}

AudioFilePlayer::~AudioFilePlayer() {
    Disconnect();
    DisconnectProvider();
    mAudioFileManager.reset();
    mAudioFileID.reset();
    mConverter.reset();
}

uint32_t AudioFilePlayer::GetChunkSize() const {
    return mUsingReaderThread ? static_cast<FileThreadVariables *>(mAudioFileManager.get())->ChunkSize() : 0;
}

void AudioFilePlayer::SetNotifier(AudioFilePlayNotifier notifier, void *context) {
    mNotifier = notifier;
    mRefCon = context;
}

void AudioFilePlayer::SetDestination(AudioOutput *unit, int32_t bus) {
    if (mConnected) throw SrkStatus(kSrkUnknownErr);
    mPlayUnit = unit;
    mBusNumber = bus;
    mConverter.reset();
    // An output has a single input, bus 0.
    if (bus != 0) SrkThrowIfError(kSrkNoSuchBus, "AudioUnitGetProperty");
    const AudioDataFormat destFormat = unit->StreamFormat();
    mIsAUNTUnit = false;
    // Speed is resampling: the converter treats the file as running at rate x speed. The
    // rate is worked out from the file's own rate each time, so that setting a destination
    // twice does not apply the speed twice.
    if (!(mPlaySpeed > 0.0) || !std::isfinite(mPlaySpeed)) SrkThrowIfError(kSrkBadSpeed, "AudioConverterNew");
    mFileDescription.sampleRate = mFileSampleRate * mPlaySpeed;
    SrkThrowIfError(FormatConverter::New(mFileDescription, destFormat, &mConverter), "AudioConverterNew");
    if (mFileDescription.channelsPerFrame == 1) {
        // The one file channel feeds every output channel.
        const std::vector<int32_t> map(destFormat.channelsPerFrame, 0);
        SrkThrowIfError(mConverter->SetChannelMap(map.data(), uint32_t(map.size())), "AudioConverterSetProperty");
    }
}

void AudioFilePlayer::DisconnectProvider() {
    if (mProviderDisconnectPending.exchange(false)) mAudioFileManager->Disconnect();
}

void AudioFilePlayer::Connect() {
    DisconnectProvider();
    if (mConnected) return;
    if (!mPlayUnit || !mConverter) SrkThrowIfError(kSrkPlayerNoDestination, "AudioUnitSetProperty");
    mAudioFileManager->SetConverter(mConverter.get());
    mAudioFileManager->DoConnect();
    mPlayUnit->SetRenderCallback(&AudioFileManager::FileRenderProc, mAudioFileManager.get());
    mConnected = true;
}

void AudioFilePlayer::Disconnect() {
    if (!mConnected.exchange(false)) {
        if (!AudioOutput::InRenderCallback() && !FileReaderThread::IsReaderThread()) DisconnectProvider();
        return;
    }
    mPlayUnit->SetRenderCallback(nullptr, nullptr);
    mProviderDisconnectPending = true;
    // Disengaging from the reader may wait for it; the audio thread must not, and the
    // reader thread cannot wait for itself. Both leave it to the client's next call.
    if (!AudioOutput::InRenderCallback() && !FileReaderThread::IsReaderThread()) DisconnectProvider();
}

void AudioFilePlayer::DoNotification(SrkStatus status) {
    if (mNotifier) {
        mNotifier(mRefCon, status);
        return;
    }
    if (status != kSrkPlayerUnderrun) Disconnect();
}

void AudioFilePlayer::Print() const {
    mAudioFileID->Print();
    if (mConverter) mConverter->Print();
    std::printf("Destination Bus:%ld\n", static_cast<long>(mBusNumber));
    std::printf("Is 'aunt' unit:%s\n", mIsAUNTUnit ? "true" : "false");
    std::printf("Is Connected:%s\n", IsConnected() ? "true" : "false");
    std::printf("Using Reader Thread:%s\n", mUsingReaderThread ? "true" : "false");
    std::printf("- - - - - - - - - - - - - - \n");
    std::fflush(stdout);
}

// ---------------------------------------------------------------- function interface

namespace {
template <typename F>
SrkStatus Guarded(F &&f) {
    try {
        f();
        return kSrkNoErr;
    } catch (SrkStatus status) {
        return status;
    } catch (...) {
        return kSrkUnknownErr;
    }
}
}  // namespace

SrkStatus NewAudioFilePlayID(const char *path, AudioFilePlayID *outPlayer) {
    if (!path || !outPlayer) return kSrkParamErr;
    return Guarded([&] { *outPlayer = new AudioFilePlayer(path); });
}

SrkStatus DisposeAudioFilePlayID(AudioFilePlayID player) {
    if (!player) return kSrkNoErr;
    return Guarded([&] { delete player; });
}

SrkStatus PlayerSetDestination(AudioFilePlayID player, AudioOutput *unit, int32_t bus) {
    if (!player || !unit) return kSrkParamErr;
    return Guarded([&] { player->SetDestination(unit, bus); });
}

SrkStatus PlayerSetLooping(AudioFilePlayID player, bool loop) {
    if (!player) return kSrkParamErr;
    return Guarded([&] { player->SetLooping(loop); });
}

SrkStatus PlayerSetSpeed(AudioFilePlayID player, double speed) {
    if (!player) return kSrkParamErr;
    return Guarded([&] { player->SetSpeed(speed); });
}

SrkStatus PlayerSetNotifier(AudioFilePlayID player, AudioFilePlayNotifier notifier, void *context) {
    if (!player) return kSrkParamErr;
    return Guarded([&] { player->SetNotifier(notifier, context); });
}

SrkStatus PlayerConnect(AudioFilePlayID player) {
    if (!player) return kSrkParamErr;
    return Guarded([&] { player->Connect(); });
}

SrkStatus PlayerDisconnect(AudioFilePlayID player) {
    if (!player) return kSrkParamErr;
    return Guarded([&] { player->Disconnect(); });
}

SrkStatus PlayerIsConnected(AudioFilePlayID player, bool *outIsConnected) {
    if (!player || !outIsConnected) return kSrkParamErr;
    *outIsConnected = player->IsConnected();
    return kSrkNoErr;
}

SrkStatus PlayerGetInfo(AudioFilePlayID player, AudioOutput **outUnit, int32_t *outBus,
                        FormatConverter **outConverter) {
    if (!player) return kSrkParamErr;
    if (!player->GetDestUnit()) return kSrkPlayerNoDestination;
    if (outUnit) *outUnit = player->GetDestUnit();
    if (outBus) *outBus = player->GetBusNumber();
    if (outConverter) *outConverter = player->GetAudioConverter();
    return kSrkNoErr;
}

SrkStatus PlayerPrint(AudioFilePlayID player) {
    if (!player) return kSrkParamErr;
    return Guarded([&] { player->Print(); });
}
