// The header: format and version, and the fields kept under the header's fixed RC4 mask (code
// page, page encryption key, database password).
#include "jet/internal/header.h"

#include <cmath>
#include <cstring>

namespace jet {

namespace {

// RC4 keystream XORed over `data`.
void rc4(const uchar* key, int keyLength, uchar* data, int length) {
    uchar s[256];
    for (int i = 0; i < 256; ++i) {
        s[i] = uchar(i);
    }
    for (int i = 0, j = 0; i < 256; ++i) {
        j = (j + s[i] + key[i % keyLength]) & 0xFF;
        std::swap(s[i], s[j]);
    }
    for (int n = 0, i = 0, j = 0; n < length; ++n) {
        i = (i + 1) & 0xFF;
        j = (j + s[i]) & 0xFF;
        std::swap(s[i], s[j]);
        data[n] ^= s[(s[i] + s[j]) & 0xFF];
    }
}

bool allZero(const uchar* p, int n) {
    for (int i = 0; i < n; ++i) {
        if (p[i]) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool parseHeader(const uchar* bytes, FileHeader* out) {
    if (bytes[0] != 0 || (std::memcmp(bytes + 4, "Standard Jet DB", 15) != 0 &&
                          std::memcmp(bytes + 4, "Standard ACE DB", 15) != 0)) {
        return false;
    }
    // One byte: Access 2010 files hold 03 here followed by other bytes.
    const int version = bytes[0x14];
    if (version > 6) {
        return false;
    }
    out->version = version;
    out->jet3 = version == 0;
    out->pageSize = out->jet3 ? 2048 : 4096;

    uchar plain[kHeaderBytes];
    std::memcpy(plain, bytes, kHeaderBytes);
    static const uchar key[4] = {0xC7, 0xDA, 0x39, 0x6B};
    rc4(key, 4, plain + 0x18, out->jet3 ? 126 : 128);
    out->codePage = u16(plain + 0x3C);
    out->encrypted = u32(plain + 0x3E) != 0;
    if (out->jet3) {
        out->password = !allZero(plain + 0x42, 20);
    } else {
        // Jet 4 and later mask the password with the integer part of the creation date.
        double created;
        const quint64 bits = u64(plain + 0x72);
        std::memcpy(&created, &bits, 8);
        uchar mask[4] = {};
        if (created == created && created > -2e9 && created < 2e9) {
            const qint32 day = qint32(std::floor(created));
            for (int i = 0; i < 4; ++i) {
                mask[i] = uchar(quint32(day) >> (8 * i));
            }
        }
        uchar password[40];
        for (int i = 0; i < 40; ++i) {
            password[i] = plain[0x42 + i] ^ mask[i % 4];
        }
        out->password = !allZero(password, 40);
    }
    return true;
}

}  // namespace jet
