// Fuzz target: a file of any content read through every path a statement can take (the key
// arrays, the engine without them, the full read of the table): they must agree, row for row or
// error for error. Starts from the same archives as fuzz_open.
#include "fuzz/fuzzpaths.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const int fd = memfd_create("archivio.mdb", 0);
    if (fd < 0 || ftruncate(fd, 0) != 0 || (size > 0 && pwrite(fd, data, size, 0) != ssize_t(size)))
        std::abort();
    const QString difference = fuzzpaths::check(QStringLiteral("/proc/self/fd/%1").arg(fd));
    if (!difference.isEmpty()) {
        std::fprintf(stderr, "fuzz_paths: le vie di lettura non concordano: %s\n", qPrintable(difference));
        std::abort();
    }
    return 0;
}
