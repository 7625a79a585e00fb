// Fuzz target: a file of any content opened as an archive, every table and stored query read to
// its last value. The reader must end each with an error or the rows, never crash, hang or eat
// memory.
#include "fuzz/fuzzread.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // One file in memory, rewritten for each input: nothing touches the disk.
    static const int fd = memfd_create("archivio.mdb", 0);
    if (fd < 0 || ftruncate(fd, 0) != 0 || (size > 0 && pwrite(fd, data, size, 0) != ssize_t(size)))
        std::abort();
    fuzzread::openAndReadAll(QStringLiteral("/proc/self/fd/%1").arg(fd));
    return 0;
}
