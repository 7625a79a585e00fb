// The property blob: "MR2\0" (or "KKD\0" in Jet 3), then chunks of u32 length and u16 kind: 0x80
// lists the property names, 0x00 to 0x02 hold the properties of the object or of one column (its
// name first), each entry u16 length, u8 flags, u8 data type, u16 name index, u16 value length.
#include "jet/internal/properties.h"

#include <cstring>

#include "jet/internal/types.h"

namespace jet {

namespace {

QStringList readNames(const uchar* p, qint64 size, const TextCodec& text) {
    QStringList names;
    qint64 pos = 0;
    while (pos + 2 <= size) {
        const int length = u16(p + pos);
        if (pos + 2 + length > size) {
            break;
        }
        names << text.decode(p + pos + 2, length);
        pos += 2 + length;
    }
    return names;
}

// One block of properties: the column it belongs to, then its entries.
void readBlock(const uchar* p, qint64 size, const QStringList& names, const TextCodec& text,
               QHash<QString, int>* out) {
    if (size < 6) {
        return;
    }
    const int nameLength = u16(p + 4);
    if (6 + nameLength > size) {
        return;
    }
    const QString column = foldKey(text.decode(p + 6, nameLength));
    qint64 pos = 6 + nameLength;
    while (pos + 8 <= size) {
        const int length = u16(p + pos);
        const int name = u16(p + pos + 4);
        const int valueLength = u16(p + pos + 6);
        if (length < 8 || pos + length > size || pos + 8 + valueLength > size) {
            return;
        }
        if (name < names.size() && names[name] == QLatin1String("ResultType") && valueLength >= 1 &&
            valueLength <= 4) {
            int value = 0;
            for (int i = valueLength - 1; i >= 0; --i) {
                value = (value << 8) | p[pos + 8 + i];
            }
            out->insert(column, value);
        }
        pos += length;
    }
}

}  // namespace

QHash<QString, int> resultTypes(const QByteArray& blob, const TextCodec& text) {
    QHash<QString, int> out;
    const auto* p = reinterpret_cast<const uchar*>(blob.constData());
    const qint64 size = blob.size();
    if (size < 4 || (std::memcmp(p, "MR2", 4) != 0 && std::memcmp(p, "KKD", 4) != 0)) {
        return out;
    }
    QStringList names;
    qint64 pos = 4;
    while (pos + 6 <= size) {
        const qint64 length = u32(p + pos);
        const int kind = u16(p + pos + 4);
        if (length < 6 || length > size - pos) {
            break;  // every chunk moves on: no loop, whatever the bytes
        }
        if (kind == 0x80) {
            names = readNames(p + pos + 6, length - 6, text);
        } else if (kind <= 0x02) {
            readBlock(p + pos + 6, length - 6, names, text, &out);
        }
        pos += length;
    }
    return out;
}

}  // namespace jet
