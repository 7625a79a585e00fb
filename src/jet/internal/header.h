// The database header on page 0.
#pragma once

#include "jet/internal/filebytes.h"

namespace jet {

struct FileHeader {
    int version = 0;  // 0 Jet 3, 1 Jet 4, 2 to 6 ACE (Access 2007 to 2019)
    bool jet3 = false;
    int pageSize = 4096;
    int codePage = 0;        // the code page of Jet 3 text
    bool encrypted = false;  // pages are encrypted
    bool password = false;   // a database password is set
};

// Reads the first bytes of a file (at least kHeaderBytes); false when they are not a Jet or
// ACE database header of a version this reader knows.
constexpr int kHeaderBytes = 0x100;
bool parseHeader(const uchar* bytes, FileHeader* out);

}  // namespace jet
