// Rows as tab-separated text, the form the export file and altorra-query share: every cell
// followed by a tab, CRLF line ends, no quoting. Written through one buffer of fixed size straight
// to a file descriptor, so nothing grows with the number of rows.
#pragma once

#include <QByteArray>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <memory>

#include "jet/jet.h"

namespace jet {

// The text in the archive's code page, one byte a character: Latin-1 as it stands, the 27
// characters Windows-1252 keeps in 0x80-0x9F (the euro sign is 0x80), "?" for anything else.
// Appended to *bytes.
void appendWindows1252(QStringView text, QByteArray* bytes);

class TabWriter {
  public:
    enum class Encoding { Utf8, Windows1252 };

    // Values are written as `locale`'s regional settings show them (see DisplayFormat).
    explicit TabWriter(Encoding encoding, const QLocale& locale = QLocale());
    ~TabWriter();  // closes, as close() does
    TabWriter(const TabWriter&) = delete;
    TabWriter& operator=(const TabWriter&) = delete;

    // Creates the file, or empties it. False (and error()) when that fails.
    bool open(const QString& path);
    // Writes to a descriptor that stays open after close() (standard output).
    void attach(int fd);

    // Each write returns false once a write has failed; what reached the file stays there.
    bool writeHeader(const QStringList& captions);
    bool writeRow(const RecordSet& rows, int row);
    bool writeRow(const RowCells& cells);

    // Writes what is buffered and releases a file that open() opened. False when any write failed.
    bool close();
    // The system's error number of the first failure (0 when none).
    int error() const { return error_; }
    const DisplayFormat& format() const { return format_; }

  private:
    void appendText(QStringView text);
    void endCell() { *end_++ = '\t'; }
    bool endLine();
    // Room for `bytes` more bytes at end_, flushing first when the buffer is short of it.
    void reserve(qsizetype bytes);
    bool flush();

    Encoding encoding_;
    DisplayFormat format_;
    int fd_ = -1;
    bool owned_ = false;
    int error_ = 0;
    QByteArray buffer_;
    char* end_ = nullptr;
    QString cell_;  // room for a cell's text that had to be made, kept from one cell to the next
};

}  // namespace jet
