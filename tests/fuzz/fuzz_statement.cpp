// Fuzz target: statements and record sources of any text run against a fixed archive with the
// program's tables and stored queries. The engine must answer each with rows or its error.
#include "fuzz/fuzzread.h"

#include "jet/jet.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {
std::shared_ptr<jet::Database> archive;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    QString path = qEnvironmentVariable("ALTORRA_FUZZ_ARCHIVE");
    if (path.isEmpty())
        path = QStringLiteral(ALTORRA_FUZZ_ARCHIVE);
    jet::Error error;
    archive = jet::Database::open(path, &error);
    if (!archive) {
        std::fprintf(stderr, "fuzz_statement: %s: %s\n", qPrintable(path), qPrintable(error.message));
        std::abort();
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The program's statements are a few hundred characters; longer inputs only slow the search.
    if (size > 2048)
        return 0;
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    fuzzread::readAll(*archive, text);
    return 0;
}
