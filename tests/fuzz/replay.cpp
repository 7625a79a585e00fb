// Runs a fuzz target's inputs as an ordinary program: every file named, or found in the folders
// named, goes once through the target. Used for the regression inputs under CTest, in builds
// without libFuzzer.
#include <QByteArray>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
    LLVMFuzzerInitialize(&argc, &argv);
    QStringList files;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (!QFileInfo(arg).isDir()) {
            files << arg;
            continue;
        }
        QDirIterator it(arg, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = it.next();
            if (!file.endsWith(QLatin1String(".md")))  // the folder's own description
                files << file;
        }
    }
    files.sort();
    for (const QString& path : files) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "replay: %s non leggibile\n", qPrintable(path));
            return 1;
        }
        const QByteArray data = f.readAll();
        std::printf("%s\n", qPrintable(path));
        std::fflush(stdout);
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(data.constData()), size_t(data.size()));
    }
    std::printf("replay: %lld input\n", static_cast<long long>(files.size()));
    return 0;
}
