// A zip archive written entry by entry onto a seekable device, as OpenDocument files are: entries
// stored or deflated (zlib), each header completed once its entry is written. No ZIP64: an entry
// or archive beyond 4 GiB fails.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QIODevice>
#include <QString>

#include <memory>
#include <vector>

namespace exporter {

class ZipFile {
  public:
    explicit ZipFile(QIODevice* out, QDateTime stamp = QDateTime::currentDateTime());
    ~ZipFile();

    // One entry at a time: begin, write as often as needed, end.
    bool begin(const QByteArray& name, bool deflate);
    bool write(const char* data, qint64 size);
    bool write(const QByteArray& data) { return write(data.constData(), data.size()); }
    bool end();
    bool add(const QByteArray& name, const QByteArray& data, bool deflate);
    // The central directory, after the last entry.
    bool finish();

    QString error() const { return error_; }

  private:
    struct Entry {
        QByteArray name;
        bool deflate = false;
        quint32 crc = 0;
        quint64 packed = 0, size = 0;
        quint64 offset = 0;
    };
    bool put(const QByteArray& bytes);
    bool fail(const QString& reason);
    bool pump(int flush);

    QIODevice* out_;
    quint16 time_ = 0, date_ = 0;
    std::vector<Entry> entries_;
    bool open_ = false;
    struct Stream;
    std::unique_ptr<Stream> z_;
    QByteArray buffer_;
    QString error_;
};

}  // namespace exporter
