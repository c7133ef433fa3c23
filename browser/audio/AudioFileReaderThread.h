#pragma once
// Streaming from disk: a player's provider holds two chunk-sized halves; the render thread
// plays one while the shared disk reader thread (sReaderThread) refills the other. The
// render thread only ever try-locks the reader's lock and hands out silence rather than
// wait; the reader is the only thread that reads streaming files during playback.

#include <atomic>
#include <cstdint>
#include <vector>

#include "AudioFilePlayer.h"
#include "AudioLock.h"

// The per-player state the disk reader works on.
class FileThreadVariables : public AudioFileManager {
public:
    FileThreadVariables(AudioFilePlayer &parent, AudioFileHandle &file, int64_t fileLength, uint32_t chunkSize);

    // Disk reader thread: refills the half the next write goes to (the reader's loop body
    // for one request). A read failure is notified to the player.
    void ReadChunk();

    uint32_t ChunkSize() const { return mChunkSize; }
    bool WritesToFirstHalf() const { return mWriteToFirstBuffer.load(std::memory_order_acquire); }
    bool FinishedReading() const { return mFinishedReadingData.load(std::memory_order_acquire); }

protected:
    const uint32_t mChunkSize;
    const int64_t mFileLength;
    int64_t mReadFilePosition = 0;  // client thread in DoConnect, then the reader only
    std::atomic<bool> mWriteToFirstBuffer{false};   // written by the reader
    std::atomic<bool> mFinishedReadingData{false};  // written by the reader
    // A refill has been asked for and the reader has not finished it yet. Set by the render
    // thread when it asks, cleared by the reader when it is done, so that the render thread
    // never asks twice for the same half.
    std::atomic<bool> mRequestOutstanding{false};
};

class AudioFileReaderThread : public FileThreadVariables {
public:
    AudioFileReaderThread(AudioFilePlayer &parent, AudioFileHandle &file, int64_t fileLength, uint32_t chunkSize);
    ~AudioFileReaderThread() override;

    SrkStatus GetFileData(const void **outData, uint32_t *outSize) override;
    void DoConnect() override;
    void AfterRender() override;
    void Disconnect() override;
    uint32_t GetFileBufferSize() override { return 2 * mChunkSize; }

private:
    // Render thread: queues a refill request unless the lock is busy; remembers a miss.
    void AskForRefill();

    bool mReadFromFirstBuffer = true;       // render thread
    bool mLockUnsuccessful = false;         // render thread
    bool mIsEngaged = false;                // client thread
    int32_t mNumTimesAskedSinceFinished = -1;  // render thread
};

// The one disk reader thread of the process, shared by all streaming players.
class FileReaderThread {
public:
    FileReaderThread();

    // Client thread. Counts a reader; starts the thread for the first one.
    void AddReader();
    // Client thread. Drops every request of reader, and returns only once the thread is
    // not reading into it, so the reader may be destroyed afterwards. The last reader
    // removed tells the thread to end.
    void RemoveReader(FileThreadVariables *reader);
    // Render thread, never waits: queues a refill for reader and wakes the thread. False
    // when the lock was busy and nothing was queued.
    bool TryNextRead(FileThreadVariables *reader);

    AudioLock &GetGuard() { return mGuard; }

    // Diagnostics and tests.
    int32_t NumberOfReaders();
    bool IsThreadAlive();
    // Waits until no request is queued or being read; false on time-out.
    bool WaitUntilIdle(uint64_t timeoutNs);
    // True on the disk reader thread.
    static bool IsReaderThread();

    static int32_t GetThreadBasePriority(pthread_t thread);

private:
    void StartFixedPriorityThread();
    static void *DiskReaderEntry(void *context);
    void ReadNextChunk();

    AudioLock mGuard;
    int32_t mThreadPriority = 62;
    bool mThreadShouldDie = false;
    int32_t mNumReaders = 0;
    std::vector<FileThreadVariables *> mFileData;  // the request queue, first come first served
    FileThreadVariables *mReading = nullptr;        // the reader being read into, outside the lock
    bool mThreadAlive = false;
};

extern FileReaderThread &sReaderThread;
