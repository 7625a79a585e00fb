// Decoding text values and names.
#include "jet/internal/textcodec.h"

#include <iconv.h>

#include <cerrno>

namespace jet {

namespace {

bool doubleByte(int codePage) {
    return codePage == 932 || codePage == 936 || codePage == 949 || codePage == 950 || codePage == 1361;
}

iconv_t openConverter(int codePage) {
    for (const char* form : {"CP%1", "WINDOWS-%1"}) {
        const QByteArray name = QString::fromLatin1(form).arg(codePage).toLatin1();
        iconv_t cd = iconv_open("UTF-16LE", name.constData());
        if (cd != iconv_t(-1)) {
            return cd;
        }
    }
    return iconv_t(-1);
}

// One byte through a converter; false when the code page leaves it undefined.
bool convertByte(iconv_t cd, uchar b, char16_t* out) {
    char in[1] = {char(b)};
    char buf[8];
    char* ip = in;
    char* op = buf;
    size_t il = 1, ol = sizeof buf;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &ip, &il, &op, &ol) == size_t(-1) || sizeof buf - ol != 2) {
        return false;
    }
    *out = char16_t(uchar(buf[0]) | (uchar(buf[1]) << 8));
    return true;
}

}  // namespace

void TextCodec::setJet3CodePage(int codePage) {
    jet3_ = true;
    table_.clear();
    iconvName_.clear();
    iconv_t cd = codePage > 0 ? openConverter(codePage) : iconv_t(-1);
    if (cd == iconv_t(-1)) {
        codePage = 1252;
        cd = openConverter(codePage);
    }
    if (cd != iconv_t(-1) && doubleByte(codePage)) {
        iconvName_ = QByteArray("CP") + QByteArray::number(codePage);
        iconv_close(cd);
        return;
    }
    table_.resize(256);
    for (int b = 0; b < 256; ++b) {
        char16_t c = char16_t(b);
        // Bytes the code page leaves undefined keep their value, as Windows converts them.
        if (cd != iconv_t(-1) && !convertByte(cd, uchar(b), &c)) {
            c = char16_t(b);
        }
        table_[b] = c;
    }
    if (cd != iconv_t(-1)) {
        iconv_close(cd);
    }
}

QString TextCodec::decode(const uchar* p, int len) const {
    if (len <= 0) {
        return QString();
    }
    if (jet3_) {
        if (!iconvName_.isEmpty()) {
            return decodeMultiByte(p, len);
        }
        QString s(len, Qt::Uninitialized);
        QChar* out = s.data();
        for (int i = 0; i < len; ++i) {
            out[i] = QChar(table_[p[i]]);
        }
        return s;
    }
    if (len >= 2 && p[0] == 0xFF && p[1] == 0xFE) {
        // Compressed form: starts with one byte per character, a 0 byte switches modes.
        QString s;
        s.reserve(len);
        bool compressed = true;
        int i = 2;
        while (i < len) {
            if (p[i] == 0) {
                compressed = !compressed;
                ++i;
            } else if (compressed) {
                s.append(QChar(p[i]));
                ++i;
            } else if (i + 1 < len) {
                s.append(QChar(char16_t(p[i] | (p[i + 1] << 8))));
                i += 2;
            } else {
                break;
            }
        }
        return s;
    }
    QString s(len / 2, Qt::Uninitialized);
    QChar* out = s.data();
    for (int i = 0; i + 1 < len; i += 2) {
        out[i / 2] = QChar(char16_t(p[i] | (p[i + 1] << 8)));
    }
    return s;
}

QString TextCodec::decodeMultiByte(const uchar* p, int len) const {
    iconv_t cd = iconv_open("UTF-16LE", iconvName_.constData());
    if (cd == iconv_t(-1)) {
        return QString();
    }
    QByteArray out(len * 4 + 8, Qt::Uninitialized);
    char* ip = reinterpret_cast<char*>(const_cast<uchar*>(p));
    size_t il = size_t(len);
    char* op = out.data();
    size_t ol = size_t(out.size());
    while (il > 0) {
        if (iconv(cd, &ip, &il, &op, &ol) != size_t(-1)) {
            break;
        }
        if (errno == E2BIG || ol < 2) {
            break;
        }
        // An undefined or cut sequence: the replacement character, and on with the next byte.
        *op++ = char(0xFD);
        *op++ = char(0xFF);
        ol -= 2;
        ++ip;
        --il;
    }
    iconv_close(cd);
    const int bytes = int(out.size() - qsizetype(ol));
    return QString(reinterpret_cast<const QChar*>(out.constData()), bytes / 2);
}

}  // namespace jet
