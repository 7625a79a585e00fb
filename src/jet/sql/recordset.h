// The engine's snapshots, stored by column: integers and doubles unboxed, each text column a
// dictionary of its distinct texts, NULL as a bit. A cell costs about what its stored value costs.
#pragma once

#ifndef ALTORRA_JET_INTERNAL
#error "jet/sql headers are private to the engine (altorra_jet)"
#endif

#include <QHash>
#include <QStringList>
#include <QVector>

#include <vector>

#include "jet/internal/jetfile.h"
#include "jet/jet.h"

namespace jet {

// One column. Its values are all of one kind in practice (the kind of the field); a column that
// meets a second kind keeps whole values from then on.
class ColumnStore {
  public:
    void reserve(size_t rows);
    void append(const Value& v);
    // As append() of the value named, without making it: the reader's fixed-width cells.
    void appendNull() { nulls_.push_back(true); }
    void appendInteger(qint64 v);
    void appendReal(double v, bool single);
    void appendDate(double serial);
    void appendCurrency(qint64 tenThousandths);
    // Gives back the room reserved beyond what was used.
    void shrink();

    size_t size() const { return nulls_.size(); }
    bool isNull(size_t row) const { return nulls_[row]; }
    Value value(size_t row) const;
    QString text(size_t row, const DisplayFormat& format) const;
    QStringView textView(size_t row, const DisplayFormat& format, QString* buffer) const;

  private:
    enum class Store : quint8 { None, Int32, Int64, Real, Text, Bytes, Mixed };
    void start(const Value& v);
    bool fits(const Value& v) const;
    void toMixed();
    void widen();
    void appendText(const QString& s);
    void append64(const Value& v, size_t row);
    void appendFormatted(size_t row, const DisplayFormat& format, QString* out) const;

    Store store_ = Store::None;
    Value::Kind kind_ = Value::Kind::Null;
    bool single_ = false;
    size_t reserved_ = 0;
    std::vector<bool> nulls_;
    std::vector<qint32> i32_;  // Boolean, Integer while every value fits
    std::vector<qint64> i64_;  // Currency, wider integers
    std::vector<double> reals_;
    std::vector<quint32> textIds_;
    std::vector<QString> texts_;
    QHash<QString, quint32> textIndex_;
    std::vector<QByteArray> bytes_;
    std::vector<Value> mixed_;
};

// Rows kept column by column: what a statement reads, and then what it shows.
struct ColumnTable {
    explicit ColumnTable(int width = 0) : columns(size_t(width)) {}
    std::vector<ColumnStore> columns;
    size_t rows() const { return columns.empty() ? 0 : columns[0].size(); }
    Value value(size_t row, int column) const { return columns[size_t(column)].value(row); }
};

class RecordSetImpl : public RecordSet {
  public:
    int fieldCount() const override { return captions.size(); }
    QString fieldName(int field) const override { return captions.value(field); }
    int fieldIndex(const QString& name) const override;
    int recordCount() const override { return count_; }
    Value value(int row, int field) const override;
    bool isNull(int row, int field) const override;
    QString text(int row, int field, const DisplayFormat& format) const override;
    QStringView textView(int row, int field, const DisplayFormat& format, QString* buffer) const override;

    // Takes the rows: `order` lists the rows of `table` shown, in order (empty: all, as they are).
    void setRows(ColumnTable&& table, std::vector<quint32>&& order, bool all);

    QStringList leftOutFields() const override { return leftOut; }

    QStringList captions;
    QVector<int> types;  // column types of the fields, as the source declares them
    QStringList leftOut;
    QVector<bool> shownOnly;  // fields not compared or sorted (BoundSelect::shownOnly)

  private:
    const ColumnStore* cell(int row, int field, size_t* at) const;

    ColumnTable table_;
    std::vector<quint32> order_;
    int count_ = 0;
};

// Rows of a snapshot seen as a record source.
class SnapshotRowValues : public RowValues {
  public:
    explicit SnapshotRowValues(const RecordSetImpl& rs) : rs_(rs) {}
    void setRow(int row) { row_ = row; }
    Value value(int column) override { return rs_.value(row_, column); }

  private:
    const RecordSetImpl& rs_;
    int row_ = 0;
};

}  // namespace jet
