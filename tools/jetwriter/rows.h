// Row encoding: values into the fixed area, the variable area with its offset table, the null
// mask, and long values onto their LVAL pages.
#pragma once

#include "jetwriter/pages.h"

namespace jetwriter::detail {

class RowEncoder {
  public:
    RowEncoder(PageWriter& w, const TableDef& t, TableRun& run) : w_(w), f_(w.f()), t_(t), run_(run) {}

    // Encodes one row, storing only its first `stored` columns (-1 = all); long values go to LVAL
    // pages on the way.
    bool encode(const Row& row, int stored, QByteArray& out, QString* error);

  private:
    bool checkCount(const Row& row, int stored, QString* error) const;
    bool encodeCell(int i, const QVariant& v, QByteArray& fixed, QByteArray& mask, QList<QByteArray>& vars,
                    QString* error);
    // Column count, fixed area, variable data, offset table, null mask.
    void assemble(int n, const QByteArray& fixed, const QByteArray& mask, const QList<QByteArray>& vars,
                  QByteArray& out);
    // Jet 3 keeps one-byte offsets; a jump table tells which entries lie beyond each 256 bytes.
    void jet3Trailer(QByteArray& out, const QList<int>& offs, int eod, int maskSize);

    bool encodeFixed(const ColDef& c, const QVariant& v, QByteArray& fixed, int at, QString* error);
    bool encodeInteger(const ColDef& c, const QVariant& v, QByteArray& fixed, int at, QString* error);
    bool encodeReal(const ColDef& c, const QVariant& v, QByteArray& fixed, int at);
    bool encodeGuid(const QVariant& v, QByteArray& fixed, int at);
    bool encodeExtendedDate(const QVariant& v, QByteArray& fixed, int at);

    // Decimal: a sign byte (0x80 negative), then the unscaled value as four 32-bit little-endian
    // words, the most significant first.
    bool encodeDecimal(const ColDef& c, const QVariant& v, QByteArray& fixed, int at, QString* error);

    // A calculated column's stored result, in its wrapper.
    bool encodeCalculated(const ColDef& c, const QVariant& v, QByteArray& out, QString* error);

    bool encodeText(const ColDef& c, const QString& s, QByteArray& out, QString* error);

    bool encodeVar(const ColDef& c, const QVariant& v, QByteArray& out, QString* error);

    // The 12-byte long-value header, with the data inline, in one LVAL row or in a chain.
    bool longValue(const ColDef& c, const QByteArray& data, QByteArray& out, QString* error);

    bool fail(QString* error);

    PageWriter& w_;
    const Format& f_;
    const TableDef& t_;
    TableRun& run_;
};

}  // namespace jetwriter::detail
