// Text as the file stores it: UCS-2 (plain or in the compressed form) in Jet 4 and later, bytes
// of the database's code page in Jet 3.
#pragma once

#include <QString>
#include <QVector>

#include "jet/internal/filebytes.h"

namespace jet {

class TextCodec {
  public:
    // Jet 3 files: the code page named in the header (0 or unknown: Windows-1252).
    void setJet3CodePage(int codePage);
    void setUnicode() { jet3_ = false; }

    // Every character kept: embedded NULs, surrogate pairs.
    QString decode(const uchar* p, int len) const;

  private:
    QString decodeMultiByte(const uchar* p, int len) const;

    bool jet3_ = false;
    QVector<char16_t> table_;  // single-byte code pages: byte -> character
    QByteArray iconvName_;     // double-byte code pages, decoded through iconv
};

}  // namespace jet
