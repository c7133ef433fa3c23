// Fuzzes AudioKit's file facts, playability test and sample-rate rewrite through a real
// (in-memory) file, with libsndfile reading it.
//
// For any input: nothing crashes or hangs; a rewrite that reports failure leaves the file
// byte-identical, and one that reports success changes at most the ten bytes of one rate
// field and never the file's length.

#include "AudioKit.h"

#include <cstdlib>
#include <string>
#include <vector>

#include <sys/mman.h>
#include <unistd.h>

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

std::vector<uint8_t> contents(int fd) {
    std::vector<uint8_t> out;
    uint8_t buf[4096];
    off_t at = 0;
    ssize_t got;
    while ((got = ::pread(fd, buf, sizeof buf, at)) > 0) {
        out.insert(out.end(), buf, buf + got);
        at += got;
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static const int fd = ::memfd_create("srk-fuzz", MFD_CLOEXEC);
    if (fd < 0) std::abort();
    static const std::string path = "/proc/self/fd/" + std::to_string(fd);

    check(::ftruncate(fd, 0) == 0);
    size_t done = 0;
    while (done < size) {
        const ssize_t put = ::pwrite(fd, data + done, size - done, off_t(done));
        check(put > 0);
        done += size_t(put);
    }

    double sr = 0;
    uint32_t channels = 0, bits = 0, format = 0;
    int64_t dataSize = -1;
    AudioKit::getAudioFileInfo(path, &sr, &channels, &bits, &format, &dataSize);
    check(dataSize <= int64_t(size));
    (void)AudioKit::canPlayFile(path, false);

    const std::vector<uint8_t> before(data, data + size);
    const bool failed = AudioKit::writeNewSampleRateHeaderInfo(path, 0.5, false);
    const std::vector<uint8_t> after = contents(fd);
    check(after.size() == before.size());
    size_t first = after.size(), last = 0, differing = 0;
    for (size_t i = 0; i < after.size(); ++i) {
        if (after[i] != before[i]) {
            ++differing;
            if (first == after.size()) first = i;
            last = i;
        }
    }
    if (failed) check(differing == 0);
    else check(differing == 0 || last - first < 10);
    return 0;
}
