// Cracking a row: null mask at the end, fixed columns after the column count, variable columns
// located through the offsets' table (one byte per offset and a jump table in Jet 3).
#include "jet/internal/rowvalues.h"

#include <cstring>

#include "jet/internal/types.h"
#include "jet/internal/values.h"

namespace jet {

namespace {

// A calculated Decimal is stored as the platform's DECIMAL: u16 reserved, scale, sign, then the
// 96-bit magnitude as high, low and middle 32-bit words.
QString calculatedDecimal(const uchar* data, int inner) {
    if (inner < 16) {
        return QString();
    }
    uchar plain[17] = {};
    plain[0] = data[3] ? 0x80 : 0;
    std::memcpy(plain + 5, data + 4, 4);   // high
    std::memcpy(plain + 9, data + 12, 4);  // middle
    std::memcpy(plain + 13, data + 8, 4);  // low
    return decimalText(plain, data[2]);
}

// Jet 3: one-byte offsets; every 256 bytes a jump-table entry names the first offset past it.
void jet3Offsets(const PageFile& pages, const uchar* row, int len, int maskSize, CrackedRow* out) {
    const int v = row[len - 1 - maskSize];
    int jumps = (len - 1) / 256;
    const int colPtr = len - maskSize - jumps - 2;
    if (colPtr - v < 1 || colPtr >= len) {
        pages.damaged();
    }
    if ((colPtr - v) / 256 < jumps) {
        --jumps;  // the last jump entry is a filler
    }
    int used = 0;
    for (int i = 0; i <= v; ++i) {
        while (used < jumps && i == row[len - maskSize - 2 - used]) {
            ++used;
        }
        out->varOffsets[i] = row[colPtr - i] + used * 256;
    }
    out->rowVarCols = v;
    out->varEnd = colPtr - v;
}

void jet4Offsets(const PageFile& pages, const uchar* row, int len, int maskSize, CrackedRow* out) {
    const int v = u16(row + len - maskSize - 2);
    const int tableStart = len - maskSize - 4 - 2 * v;
    if (v > 256 || tableStart < 2) {
        pages.damaged();
    }
    for (int i = 0; i <= v; ++i) {
        out->varOffsets[i] = u16(row + len - maskSize - 4 - 2 * i);
    }
    out->rowVarCols = v;
    out->varEnd = tableStart;
}

}  // namespace

RowLayout::RowLayout(const PageFile& pages, const TableDef& def)
    : pages_(pages), jet3_(pages.jet3()), variable_(def.numVarCols > 0) {
    int highest = 0;
    for (const ColumnDef& c : def.columns) {
        highest = qMax(highest, c.colNum + 1);
        if (c.fixed && !(c.type == TypeBoolean && !c.calculated)) {
            // Where cell() reads it.
            const int size = fixedSize(c.type) ? fixedSize(c.type) : c.size;
            fixed_.append(Fixed{c.colNum, (jet3_ ? 1 : 2) + c.fixedOffset + size});
        }
        const bool longText = c.calculated && c.type == TypeText && c.size == 0;
        if (!c.fixed && (c.type == TypeMemo || c.type == TypeOle || longText)) {
            longValues_.append(Long{c.colNum, c.varIndex});
        }
    }
    // A definition that counts fewer columns than it numbers is not trusted for the count.
    maxColumns_ = qMax(def.maxColumns, highest);
    // By a row's column count, the end of the fixed cells it may store: a row whose fixed area
    // reaches that far needs no look at its null mask.
    fixedEnd_.fill(0, maxColumns_ + 1);
    for (const Fixed& f : std::as_const(fixed_)) {
        fixedEnd_[f.colNum + 1] = qMax(fixedEnd_[f.colNum + 1], f.end);
    }
    for (int n = 1; n <= maxColumns_; ++n) {
        fixedEnd_[n] = qMax(fixedEnd_[n], fixedEnd_[n - 1]);
    }
}

void RowLayout::crack(const uchar* row, int len, CrackedRow* out) const {
    const int countSize = jet3_ ? 1 : 2;
    const int rowCols = jet3_ ? row[0] : u16(row);
    const int maskSize = (rowCols + 7) / 8;
    if (rowCols > maxColumns_ || maskSize + countSize > len) {
        pages_.damaged();
    }
    out->row = row;
    out->len = len;
    out->rowCols = rowCols;
    out->mask = row + len - maskSize;
    out->rowVarCols = 0;
    out->varEnd = len - maskSize;
    if (variable_ && len > maskSize + countSize) {
        (jet3_ ? jet3Offsets : jet4Offsets)(pages_, row, len, maskSize, out);
        // Offsets rise and stay inside the variable area.
        for (int i = 0; i <= out->rowVarCols; ++i) {
            if (out->varOffsets[i] < countSize || out->varOffsets[i] > out->varEnd ||
                (i > 0 && out->varOffsets[i] < out->varOffsets[i - 1])) {
                pages_.damaged();
            }
        }
    }
    if (Q_UNLIKELY(fixedEnd_[rowCols] > out->varEnd)) {
        checkFixed(*out);
    }
    if (!longValues_.isEmpty()) {
        checkLongValues(*out);
    }
}

// Only the cells present must fit: a NULL one may take no room.
void RowLayout::checkFixed(const CrackedRow& r) const {
    for (const Fixed& f : fixed_) {
        if (f.colNum < r.rowCols && (r.mask[f.colNum / 8] & (1 << (f.colNum % 8))) && f.end > r.varEnd) {
            pages_.damaged();
        }
    }
}

void RowLayout::checkLongValues(const CrackedRow& r) const {
    for (const Long& l : longValues_) {
        if (l.colNum < r.rowCols && l.varIndex < r.rowVarCols &&
            (r.mask[l.colNum / 8] & (1 << (l.colNum % 8)))) {
            const int start = r.varOffsets[l.varIndex];
            pages_.checkLongValue(r.row + start, r.varOffsets[l.varIndex + 1] - start);
        }
    }
}

PageRowValues::PageRowValues(const PageFile& pages, const TextCodec& text, const TableDef& def, JetFile* file)
    : pages_(pages),
      text_(text),
      def_(def),
      file_(file),
      layout_(pages, def),
      last_(def.columns.size()),
      fixed_(def.columns.size()) {
    for (int i = 0; i < def.columns.size(); ++i) {
        const ColumnDef& c = def.columns[i];
        switch (c.type) {
            case TypeByte:
            case TypeInteger:
            case TypeLong:
            case TypeBigInt:
            case TypeCurrency:
            case TypeSingle:
            case TypeDouble:
            case TypeDateTime:
                if (c.fixed && !c.calculated && c.fixedOffset >= 0) {
                    // As cell() finds it: after the column count, at the column's fixed offset.
                    fixed_[i].start = (pages.jet3() ? 1 : 2) + c.fixedOffset;
                    fixed_[i].end = fixed_[i].start + fixedSize(c.type);
                    fixed_[i].colNum = c.colNum;
                }
                break;
            default:
                break;
        }
    }
}

void PageRowValues::set(const uchar* row, int len) {
    layout_.crack(row, len, &cracked_);
}

bool PageRowValues::cell(const ColumnDef& c, const uchar** p, int* len) const {
    const CrackedRow& r = cracked_;
    if (c.colNum >= r.rowCols) {
        return false;  // stored before the column was added
    }
    const bool present = r.mask[c.colNum / 8] & (1 << (c.colNum % 8));
    if (c.type == TypeBoolean && !c.calculated) {
        *len = 0;
        return present;
    }
    if (c.fixed) {
        const int start = (pages_.jet3() ? 1 : 2) + c.fixedOffset;
        const int size = fixedSize(c.type) ? fixedSize(c.type) : c.size;
        if (!present) {
            return false;
        }
        if (start + size > r.varEnd) {
            pages_.damaged();
        }
        *p = r.row + start;
        *len = size;
        return true;
    }
    if (c.varIndex >= r.rowVarCols || !present) {
        return false;
    }
    *p = r.row + r.varOffsets[c.varIndex];
    *len = r.varOffsets[c.varIndex + 1] - r.varOffsets[c.varIndex];
    return true;
}

Value PageRowValues::value(int column) {
    const ColumnDef& c = def_.columns[column];
    const bool complex = c.type == TypeComplex && c.complexLink >= 0 && file_;
    if (!showableType(c.type) && !complex) {
        throw ReadFailure{errors::unsupportedColumn(c.name)};  // whatever the row holds, even NULL
    }
    const uchar* p = nullptr;
    int len = 0;
    const bool present = cell(c, &p, &len);
    if (c.type == TypeBoolean && !c.calculated) {
        return Value::fromBool(present);
    }
    if (!present) {
        return Value();
    }
    if (c.calculated) {
        return calculated(c, p, len);
    }
    if (complex) {
        if (len < 4) {
            pages_.damaged();
        }
        return file_->complexValue(def_, column, u32(p));
    }
    if (c.type == TypeText) {
        return text(column, p, len);
    }
    return typed(c, p, len);
}

bool PageRowValues::fixedCell(int column, const uchar** p) {
    const Fixed& f = fixed_.constData()[column];
    if (f.start == 0) {
        return false;
    }
    const CrackedRow& r = cracked_;
    // Stored before the column was added, or NULL.
    if (f.colNum >= r.rowCols || !(r.mask[f.colNum / 8] & (1 << (f.colNum % 8)))) {
        *p = nullptr;
        return true;
    }
    if (f.end > r.varEnd) {
        pages_.damaged();
    }
    *p = r.row + f.start;
    return true;
}

Value PageRowValues::text(int column, const uchar* p, int len) {
    // Consecutive rows often repeat a text (a station's name): share the string.
    Last& last = last_[column];
    if (last.valid && last.raw.size() == size_t(len) && std::memcmp(last.raw.data(), p, size_t(len)) == 0) {
        return last.value;
    }
    last.raw.assign(reinterpret_cast<const char*>(p), size_t(len));
    last.value = Value::fromText(text_.decode(p, len));
    last.valid = true;
    return last.value;
}

Value PageRowValues::typed(const ColumnDef& c, const uchar* p, int len) {
    switch (c.type) {
        case TypeText:
            return Value::fromText(text_.decode(p, len));
        case TypeBinary:
            return Value::fromBytes(QByteArray(reinterpret_cast<const char*>(p), len));
        case TypeMemo:
        case TypeOle: {
            const QByteArray raw = pages_.longValue(p, len);
            if (c.type == TypeOle) {
                return Value::fromBytes(raw);
            }
            return Value::fromText(text_.decode(reinterpret_cast<const uchar*>(raw.constData()), raw.size()));
        }
        case TypeGuid:
            if (len < 16) {
                pages_.damaged();
            }
            return Value::fromText(guidText(p));
        case TypeNumeric:
            if (len < 17) {
                pages_.damaged();
            }
            return Value::fromDecimal(decimalText(p, c.scale));
        case TypeDateTimeExtended: {
            Value v;
            if (!decodeExtendedDate(p, len, &v)) {
                pages_.damaged();
            }
            return v;
        }
        default:
            break;
    }
    const int size = fixedSize(c.type);
    if (size == 0 || c.type == TypeComplex) {
        throw ReadFailure{errors::unsupportedColumn(c.name)};
    }
    if (len < size) {
        pages_.damaged();
    }
    return decodeFixed(c.type, p);
}

// A calculated column stores its result wrapped: the length at 16, the data from 20; the result's
// type is the one its properties name (the definition's type may differ from it).
Value PageRowValues::calculated(const ColumnDef& c, const uchar* p, int len) {
    QByteArray wrapped;
    if (c.type == TypeMemo || (c.type == TypeText && c.size == 0)) {
        wrapped = pages_.longValue(p, len);  // long text: the wrapper is inside the long value
        p = reinterpret_cast<const uchar*>(wrapped.constData());
        len = int(wrapped.size());
    }
    if (len < 20) {
        pages_.damaged();
    }
    const int inner = int(qMin<quint32>(u32(p + 16), quint32(len - 20)));
    const uchar* data = p + 20;
    ColumnDef result = c;
    result.type = c.resultType ? c.resultType : c.type;
    switch (result.type) {
        case TypeBoolean:
            return Value::fromBool(inner > 0 && data[0] != 0);
        case TypeText:
        case TypeMemo:
            return Value::fromText(text_.decode(data, inner));
        case TypeNumeric:
            if (inner < 16) {
                return Value();  // a NULL result may be stored as no data
            }
            return Value::fromDecimal(calculatedDecimal(data, inner));
        default:
            if (inner == 0) {
                return Value();  // a NULL result may be stored as no data
            }
            return typed(result, data, inner);
    }
}

}  // namespace jet
