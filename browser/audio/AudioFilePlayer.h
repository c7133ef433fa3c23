#pragma once
// The streaming file player: plays one audio file into one output. The file's frames are
// converted to the output's format (and, for a speed other than 1.0, resampled) inside the
// output's render callback. Small files are held in memory whole (AudioFileData); larger
// ones are read a chunk at a time by the shared disk reader thread into a two-half buffer
// (AudioFileReaderThread, AudioFileReaderThread.h), so the render callback never touches
// the disk and never waits on a lock.
//
// Thread rules: a player is created, configured, connected, disconnected and destroyed on
// one client thread. The output's audio thread runs the render path (FileRenderProc,
// ACComplexInputProc, GetFileData, AfterRender) and the notifier. Failing calls inside the
// classes print one "Error:" line to standard output and throw the status (SrkStatus);
// the function interface at the end turns it into its return value.

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "AudioDataFormat.h"
#include "AudioFileHandle.h"
#include "AudioOutput.h"
#include "AudioStatus.h"
#include "FormatConverter.h"

class AudioFilePlayer;

// The client's notification: end of file (-10001), underrun (-10000) or an error status.
// Called on the audio thread (and, for a read failure, on the disk reader thread).
using AudioFilePlayNotifier = void (*)(void *context, SrkStatus status);

// The data provider of a player: hands the converter the file's bytes on the audio thread.
class AudioFileManager {
public:
    AudioFileManager(AudioFilePlayer &parent, AudioFileHandle &file);
    virtual ~AudioFileManager();
    AudioFileManager(const AudioFileManager &) = delete;
    AudioFileManager &operator=(const AudioFileManager &) = delete;

    // Client thread. Ends what DoConnect began; nothing in the base.
    virtual void Disconnect() {}
    // Audio thread: the next block of file bytes (null and 0 when there is none now).
    virtual SrkStatus GetFileData(const void **outData, uint32_t *outSize) = 0;
    // Client thread: prepares the first data; throws.
    virtual void DoConnect() = 0;
    // Audio thread, after every successful render.
    virtual void AfterRender() = 0;
    // Size of the buffer the provider hands data out of.
    virtual uint32_t GetFileBufferSize() = 0;

    void SetConverter(FormatConverter *converter) { mConverter = converter; }
    // Any thread; takes effect at the next request.
    void SetLooping(bool loop) { mLoop.store(loop, std::memory_order_relaxed); }
    bool GetLooping() const { return mLoop.load(std::memory_order_relaxed); }
    AudioFilePlayer &GetParent() const { return mParent; }

    // Fills one interleaved buffer of the output's format. Audio thread.
    SrkStatus Render(float *data, uint32_t frames);
    // The output's render callback; context is the manager. Audio thread.
    static SrkStatus FileRenderProc(void *context, float *data, uint32_t frames);
    // The converter's input procedure; context is the manager. Audio thread.
    static SrkStatus ACComplexInputProc(void *context, uint32_t *ioPackets, const void **outData,
                                        uint32_t *outBytes);

protected:
    // Providers call this when they hand out the first empty request after the end of
    // the data. Audio thread.
    void MarkInputEnded() { mInputEnded = true; }
    // True once the end of the data has been handed out and the converter has since
    // rendered the audio it still held, so a reported end cuts nothing off. Audio thread.
    bool EndHasPlayed() const { return mInputEnded && mTailFramesLeft == 0; }
    // Client thread, from DoConnect.
    void ResetEnd() {
        mInputEnded = false;
        mTailFramesLeft = -1;
    }

    AudioFilePlayer &mParent;
    FormatConverter *mConverter = nullptr;
    AudioFileHandle &mAudioFileID;
    std::unique_ptr<uint8_t[]> mFileBuffer;
    std::atomic<bool> mLoop{false};

private:
    bool mInputEnded = false;
    int64_t mTailFramesLeft = -1;  // -1: not known yet
};

// The whole file in memory, handed out at once on every pass.
class AudioFileData : public AudioFileManager {
public:
    // Reads the whole audio data (size bytes) on the calling thread; throws on failure.
    AudioFileData(AudioFilePlayer &parent, AudioFileHandle &file, uint32_t size);

    SrkStatus GetFileData(const void **outData, uint32_t *outSize) override;
    void DoConnect() override;
    void AfterRender() override;
    uint32_t GetFileBufferSize() override { return mSize; }

private:
    // Written on the audio thread once DoConnect has run on the client thread.
    std::atomic<bool> mFirstPass{false};
    std::atomic<bool> mShouldFinish{false};
    uint32_t mSize = 0;
};

class AudioFilePlayer {
public:
    // Opens the file and chooses its provider; throws the status on failure.
    explicit AudioFilePlayer(const std::string &path);
    ~AudioFilePlayer();
    AudioFilePlayer(const AudioFilePlayer &) = delete;
    AudioFilePlayer &operator=(const AudioFilePlayer &) = delete;

    // Builds the converter from the file's format at file rate x speed to the output's
    // format. Refused (-1) while connected. Client thread; throws.
    void SetDestination(AudioOutput *unit, int32_t bus);
    void SetNotifier(AudioFilePlayNotifier notifier, void *context);
    void SetLooping(bool loop) { mAudioFileManager->SetLooping(loop); }
    bool IsLooping() const { return mAudioFileManager->GetLooping(); }
    // Used from the next SetDestination on.
    void SetSpeed(double speed) { mPlaySpeed = speed; }
    double GetSpeed() const { return mPlaySpeed; }
    // Engages the provider and installs the render callback. Client thread; throws.
    void Connect();
    // Detaches the render callback and disengages the provider. Client thread; from the
    // audio or reader thread (a player without notifier ending itself) only the callback
    // is detached there and the provider is disengaged by the next client-thread call.
    void Disconnect();
    bool IsConnected() const { return mConnected.load(); }

    // Passes status to the notifier; without one, the player disconnects itself for
    // everything but an underrun. Audio or reader thread.
    void DoNotification(SrkStatus status);

    AudioOutput *GetDestUnit() const { return mPlayUnit; }
    int32_t GetBusNumber() const { return mBusNumber; }
    FormatConverter *GetAudioConverter() const { return mConverter.get(); }
    const AudioDataFormat &GetFileFormat() const { return mFileDescription; }
    AudioFileManager *GetManager() const { return mAudioFileManager.get(); }
    AudioFileHandle *GetFileHandle() const { return mAudioFileID.get(); }
    bool UsingReaderThread() const { return mUsingReaderThread; }
    // Bytes per half of a streaming provider; 0 for an in-memory file.
    uint32_t GetChunkSize() const;

    // The chunk size for a file of this many bytes per second: rounded down to a multiple
    // of 32 KiB when that exceeds 128 KiB, else rounded up to one.
    static uint32_t ChunkSizeForBytesPerSecond(uint32_t bytesPerSecond);
    // Files of at most this many bytes are always held in memory.
    static constexpr int64_t kMaxInMemoryBytes = 1048575;

    void Print() const;

private:
    void DisconnectProvider();

    AudioOutput *mPlayUnit = nullptr;
    int32_t mBusNumber = 0;
    std::unique_ptr<AudioFileHandle> mAudioFileID;
    AudioDataFormat mFileDescription;  // the file's format; its rate becomes rate x speed
    double mFileSampleRate = 0.0;      // the rate the file declares
    std::atomic<bool> mConnected{false};
    bool mIsAUNTUnit = false;  // first-generation units do not exist here; always false
    bool mUsingReaderThread = false;
    std::unique_ptr<AudioFileManager> mAudioFileManager;
    std::unique_ptr<FormatConverter> mConverter;
    AudioFilePlayNotifier mNotifier = nullptr;
    double mPlaySpeed = 1.0;
    void *mRefCon = nullptr;
    std::atomic<bool> mProviderDisconnectPending{false};
};

// ---- Function interface. No exception leaves these; each returns a status. ----

using AudioFilePlayID = AudioFilePlayer *;

SrkStatus NewAudioFilePlayID(const char *path, AudioFilePlayID *outPlayer);
SrkStatus DisposeAudioFilePlayID(AudioFilePlayID player);
SrkStatus PlayerSetDestination(AudioFilePlayID player, AudioOutput *unit, int32_t bus);
SrkStatus PlayerSetLooping(AudioFilePlayID player, bool loop);
SrkStatus PlayerSetSpeed(AudioFilePlayID player, double speed);
SrkStatus PlayerSetNotifier(AudioFilePlayID player, AudioFilePlayNotifier notifier, void *context);
SrkStatus PlayerConnect(AudioFilePlayID player);
SrkStatus PlayerDisconnect(AudioFilePlayID player);
SrkStatus PlayerIsConnected(AudioFilePlayID player, bool *outIsConnected);
SrkStatus PlayerGetInfo(AudioFilePlayID player, AudioOutput **outUnit, int32_t *outBus,
                        FormatConverter **outConverter);
SrkStatus PlayerPrint(AudioFilePlayID player);

// The byte value of silence in a format: 0x80 for unsigned 8-bit samples, else 0.
uint8_t SrkSilenceByte(const AudioDataFormat &format);
