#include "AudioFileReaderThread.h"

#include <pthread.h>
#include <sched.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

FileReaderThread &sReaderThread = *new FileReaderThread;  // lives for the whole process

namespace {

thread_local bool tIsDiskReader = false;

// The reader asks for a fixed (first-in-first-out) priority so that it runs before every
// normal thread and a refill beats the playback of a half; it stays below the sound
// server's and the device callback's real-time priorities.
constexpr int kReaderFifoPriority = 10;

std::atomic<bool> sPriorityRefusalReported{false};

}  // namespace

// ---------------------------------------------------------------- FileThreadVariables

FileThreadVariables::FileThreadVariables(AudioFilePlayer &parent, AudioFileHandle &file, int64_t fileLength,
                                         uint32_t chunkSize)
    : AudioFileManager(parent, file), mChunkSize(chunkSize), mFileLength(fileLength) {}

void FileThreadVariables::ReadChunk() {
    const bool looping = GetLooping();
    const uint32_t bytesToRead = uint32_t(std::min<int64_t>(mChunkSize, mFileLength - mReadFilePosition));
    if (bytesToRead == 0 && !looping) {
        mFinishedReadingData.store(true, std::memory_order_release);
        mRequestOutstanding.store(false, std::memory_order_release);
        return;
    }
    uint8_t *target = mFileBuffer.get() + (mWriteToFirstBuffer.load(std::memory_order_relaxed) ? 0 : mChunkSize);
    uint32_t got = bytesToRead;
    SrkStatus status = mAudioFileID.ReadBytes(mReadFilePosition, &got, target);
    if (status != kSrkNoErr) {
        // The half is not flipped: the render thread finds it missing, reports an underrun
        // and asks again.
        mRequestOutstanding.store(false, std::memory_order_release);
        mParent.DoNotification(status);
        return;
    }
    uint32_t lastRead = got;
    if (got < mChunkSize) {
        if (looping) {
            // The file ends inside this half: carry on with its start, without a gap.
            uint32_t rest = mChunkSize - got;
            status = mAudioFileID.ReadBytes(0, &rest, target + got);
            if (status != kSrkNoErr) {
                mRequestOutstanding.store(false, std::memory_order_release);
                mParent.DoNotification(status);
                return;
            }
            mReadFilePosition = 0;
            lastRead = rest;
            got += rest;
        }
        if (got < mChunkSize)
            std::memset(target + got, SrkSilenceByte(mParent.GetFileFormat()), mChunkSize - got);
    }
    mReadFilePosition += lastRead;
    mWriteToFirstBuffer.store(!mWriteToFirstBuffer.load(std::memory_order_relaxed), std::memory_order_release);
    mRequestOutstanding.store(false, std::memory_order_release);
}

// ---------------------------------------------------------------- AudioFileReaderThread

AudioFileReaderThread::AudioFileReaderThread(AudioFilePlayer &parent, AudioFileHandle &file, int64_t fileLength,
                                             uint32_t chunkSize)
    : FileThreadVariables(parent, file, fileLength, chunkSize) {
    mFileBuffer.reset(new uint8_t[size_t(2) * chunkSize]);
}

AudioFileReaderThread::~AudioFileReaderThread() { Disconnect(); }

void AudioFileReaderThread::DoConnect() {
    if (mIsEngaged) throw SrkStatus(kSrkUnknownErr);
    mLockUnsuccessful = false;
    mFinishedReadingData = false;
    mRequestOutstanding = false;
    mReadFilePosition = 0;
    mNumTimesAskedSinceFinished = -1;
    ResetEnd();
    // The first chunk is read here, before playback starts, so the first request never
    // underruns.
    uint32_t got = mChunkSize;
    SrkThrowIfError(mAudioFileID.ReadBytes(0, &got, mFileBuffer.get()), "AudioFileReadBytes");
    if (got < mChunkSize) std::memset(mFileBuffer.get() + got, SrkSilenceByte(mParent.GetFileFormat()), mChunkSize - got);
    mWriteToFirstBuffer = false;
    mReadFromFirstBuffer = true;
    mReadFilePosition = got;
    sReaderThread.AddReader();
    mIsEngaged = true;
}

void AudioFileReaderThread::AskForRefill() {
    mRequestOutstanding.store(true, std::memory_order_release);
    mLockUnsuccessful = !sReaderThread.TryNextRead(this);
}

SrkStatus AudioFileReaderThread::GetFileData(const void **outData, uint32_t *outSize) {
    if (mFinishedReadingData.load(std::memory_order_acquire)) {
        ++mNumTimesAskedSinceFinished;
        MarkInputEnded();
        *outData = nullptr;
        *outSize = 0;
        return kSrkNoErr;
    }
    // Read the outstanding flag before the half flag: when it shows no refill on the way,
    // any flip the reader made is visible too.
    const bool outstanding = mRequestOutstanding.load(std::memory_order_acquire);
    if (mReadFromFirstBuffer == mWriteToFirstBuffer.load(std::memory_order_acquire)) {
        // The reader has not refilled the next half in time.
        mParent.DoNotification(kSrkPlayerUnderrun);
        *outData = nullptr;
        *outSize = 0;
        // Ask again only when no refill is on its way (a read failed). Asking twice, or
        // moving on to the other half, would have the reader write into the half that is
        // about to be played.
        if (!outstanding) AskForRefill();
        return kSrkNoErr;
    }
    *outData = mFileBuffer.get() + (mReadFromFirstBuffer ? 0 : mChunkSize);
    *outSize = mChunkSize;
    AskForRefill();
    mReadFromFirstBuffer = !mReadFromFirstBuffer;
    return kSrkNoErr;
}

void AudioFileReaderThread::AfterRender() {
    if (mNumTimesAskedSinceFinished > 0 && EndHasPlayed()) {
        bool acquired = false;
        if (sReaderThread.GetGuard().Try(&acquired)) {
            if (acquired) sReaderThread.GetGuard().Unlock();
            mParent.DoNotification(kSrkPlayerEndOfFile);
        }
    }
    if (mLockUnsuccessful) mLockUnsuccessful = !sReaderThread.TryNextRead(this);
}

void AudioFileReaderThread::Disconnect() {
    if (mIsEngaged) {
        sReaderThread.RemoveReader(this);
        mIsEngaged = false;
    }
}

// ---------------------------------------------------------------- FileReaderThread

FileReaderThread::FileReaderThread() : mGuard("AudioFileReaderThread") { mFileData.reserve(48); }

bool FileReaderThread::IsReaderThread() { return tIsDiskReader; }

void FileReaderThread::AddReader() {
    const bool locked = mGuard.Lock();
    try {
        if (mNumReaders == 0) {
            mThreadShouldDie = false;
            // A thread told to end may not have seen it yet: it simply carries on.
            if (!mThreadAlive) StartFixedPriorityThread();
        }
        ++mNumReaders;
        // Every reader has at most one request queued: with room for all of them, the
        // render thread's append never allocates.
        if (mFileData.capacity() < size_t(mNumReaders)) mFileData.reserve(size_t(mNumReaders) * 2);
    } catch (...) {
        if (locked) mGuard.Unlock();
        throw;
    }
    if (locked) mGuard.Unlock();
}

void FileReaderThread::RemoveReader(FileThreadVariables *reader) {
    const bool locked = mGuard.Lock();
    if (mNumReaders > 0) {
        mFileData.erase(std::remove(mFileData.begin(), mFileData.end(), reader), mFileData.end());
        // The thread reads into a popped reader's buffer outside the lock: wait until it
        // is done with this one. (The reader thread itself never waits for itself.)
        while (mReading == reader && !tIsDiskReader) mGuard.Wait();
        if (--mNumReaders == 0) {
            mThreadShouldDie = true;
            mGuard.NotifyAll();
        }
    }
    if (locked) mGuard.Unlock();
}

bool FileReaderThread::TryNextRead(FileThreadVariables *reader) {
    bool acquired = false;
    if (!mGuard.Try(&acquired)) return false;
    mFileData.push_back(reader);
    // Everyone waiting on the lock's condition is woken: the reader thread, and any
    // client waiting in RemoveReader or WaitUntilIdle, so no wake-up goes to the wrong one.
    mGuard.NotifyAll();
    if (acquired) mGuard.Unlock();
    return true;
}

int32_t FileReaderThread::NumberOfReaders() {
    const bool locked = mGuard.Lock();
    const int32_t n = mNumReaders;
    if (locked) mGuard.Unlock();
    return n;
}

bool FileReaderThread::IsThreadAlive() {
    const bool locked = mGuard.Lock();
    const bool alive = mThreadAlive;
    if (locked) mGuard.Unlock();
    return alive;
}

bool FileReaderThread::WaitUntilIdle(uint64_t timeoutNs) {
    const uint64_t deadline = AudioHostTimerBase::ConvertToNanos(AudioHostTimerBase::GetCurrentTime()) + timeoutNs;
    const bool locked = mGuard.Lock();
    bool idle = true;
    while (!mFileData.empty() || mReading) {
        if (mGuard.WaitUntil(deadline) &&
            AudioHostTimerBase::ConvertToNanos(AudioHostTimerBase::GetCurrentTime()) >= deadline) {
            idle = mFileData.empty() && !mReading;
            break;
        }
    }
    if (locked) mGuard.Unlock();
    return idle;
}

int32_t FileReaderThread::GetThreadBasePriority(pthread_t thread) {
    int policy = 0;
    sched_param param{};
    if (pthread_getschedparam(thread, &policy, &param) != 0) return 0;
    switch (policy) {
    case SCHED_OTHER:
    case SCHED_FIFO:
    case SCHED_RR:
        return param.sched_priority;
    default:
        return 0;
    }
}

// Called with the lock held.
void FileReaderThread::StartFixedPriorityThread() {
    pthread_attr_t attr;
    int err = pthread_attr_init(&attr);
    if (err) SrkThrowIfError(kSrkThreadFailed, "pthread_attr_init - Thread attributes could not be created.");
    err = pthread_attr_setdetachstate(&attr, PTHREAD_CREATE_DETACHED);
    if (err) {
        pthread_attr_destroy(&attr);
        SrkThrowIfError(kSrkThreadFailed, "pthread_attr_setdetachstate - Thread attributes could not be detached.");
    }
    pthread_t thread;
    err = pthread_create(&thread, &attr, &FileReaderThread::DiskReaderEntry, this);
    pthread_attr_destroy(&attr);
    if (err) SrkThrowIfError(kSrkThreadFailed, "pthread_create - Create and start the thread.");
    mThreadAlive = true;
}

void *FileReaderThread::DiskReaderEntry(void *context) {
    tIsDiskReader = true;
    // Ask for the fixed priority from inside the thread. A system that refuses it (no
    // privilege, no real-time budget) still gets a working reader at normal priority;
    // that is said once per process.
    sched_param param{};
    param.sched_priority = kReaderFifoPriority;
    const int err = pthread_setschedparam(pthread_self(), SCHED_FIFO, &param);
    if (err != 0 && !sPriorityRefusalReported.exchange(true))
        SrkPrintError("thread_policy - Couldn't set thread as fixed priority.", SrkStatus(err));
    static_cast<FileReaderThread *>(context)->ReadNextChunk();
    return nullptr;
}

void FileReaderThread::ReadNextChunk() {
    for (;;) {
        mGuard.Lock();
        while (!mThreadShouldDie && mFileData.empty()) mGuard.Wait();
        if (mThreadShouldDie) {
            mThreadAlive = false;
            mGuard.NotifyAll();
            mGuard.Unlock();
            return;
        }
        FileThreadVariables *reader = mFileData.front();
        mFileData.erase(mFileData.begin());
        mReading = reader;
        mGuard.Unlock();

        reader->ReadChunk();

        mGuard.Lock();
        mReading = nullptr;
        mGuard.NotifyAll();
        mGuard.Unlock();
    }
}
