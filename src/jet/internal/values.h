// Values of fixed-width columns from their stored bytes.
#pragma once

#include <QString>

#include "jet/internal/filebytes.h"

namespace jet {

// Column type codes beyond the classic ones (the classic ones are in types.h).
enum MoreColumnTypes : int {
    TypeComplex = 0x12,  // attachment, multi-value: a key into a hidden table
    TypeBigInt = 0x13,
    TypeDateTimeExtended = 0x14,
};

// Bytes a fixed column of this type takes in a row; 0 for variable and unknown types.
int fixedSize(int type);
// Whether the program can show a column of this type exactly: not attachments, multi-value
// fields or types it does not know.
bool showableType(int type);
// A Date/Time Extended cell: days since 0001-01-01 in 19 digits, ':', seconds of the day in 12
// digits, 7 digits of 100 ns (42 bytes in all). False when the cell does not hold one.
bool decodeExtendedDate(const uchar* p, int len, Value* out);
// Byte, Integer, Long, BigInt, Currency, Single, Double, DateTime; NULL for other types.
Value decodeFixed(int type, const uchar* p);
// {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}: the first three groups are stored little-endian.
QString guidText(const uchar* p);
// A Decimal: sign byte, then a 128-bit magnitude as four 32-bit words, the most significant first.
// Written from its digits with `scale` decimals, never through a floating-point number.
QString decimalText(const uchar* p, int scale);

}  // namespace jet
