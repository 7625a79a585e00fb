// A table of figures as plain values: captions, cells and, for each cell, a mark (a figure not
// computed, or how complete a month is) and a note that says why, for a window to draw and show on
// hover. The windows and altorra-query hand it to their grids and writers as a record set
// (analysisrows/tablerows.h).
#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace analysis {

enum class Mark : quint8 { None, NotComputed, Full, Partial, Empty };

// One cell: empty (NULL), a whole number, a number with decimals, or a text.
class Cell {
  public:
    enum class Kind : quint8 { Null, Integer, Real, Text };
    Cell() = default;
    static Cell integer(qint64 v);
    static Cell real(double v);
    static Cell text(const QString& v);

    Kind kind() const { return kind_; }
    bool isNull() const { return kind_ == Kind::Null; }
    qint64 toInt() const { return kind_ == Kind::Real ? qint64(d_) : i_; }
    double toDouble() const { return kind_ == Kind::Real ? d_ : double(i_); }
    const QString& text() const { return s_; }

  private:
    Kind kind_ = Kind::Null;
    qint64 i_ = 0;
    double d_ = 0;
    QString s_;
};

class Table {
  public:
    explicit Table(QStringList captions) : captions_(std::move(captions)) {}

    int fieldCount() const { return int(captions_.size()); }
    QString fieldName(int field) const { return captions_.value(field); }
    const QStringList& captions() const { return captions_; }
    // The field of that caption (case ignored), -1 when none.
    int fieldIndex(const QString& name) const;
    int recordCount() const { return rows_; }
    // The cell; NULL outside the table.
    Cell value(int row, int field) const;

    // Starts a row; the setters fill its cells (a cell not set stays NULL).
    void addRow();
    void set(int field, const Cell& value, Mark mark = Mark::None, const QString& note = QString());
    void setInt(int field, qint64 value) { set(field, Cell::integer(value)); }
    void setText(int field, const QString& value) { set(field, Cell::text(value)); }
    // A figure rounded to `decimals` places (NaN leaves the cell NULL).
    void setNumber(int field, double value, int decimals);
    void setMissing(int field, const QString& note);

    Mark mark(int row, int field) const;
    QString note(int row, int field) const;

  private:
    bool inside(int row, int field) const {
        return row >= 0 && row < rows_ && field >= 0 && field < captions_.size();
    }
    size_t at(int row, int field) const { return size_t(row) * size_t(captions_.size()) + size_t(field); }
    QStringList captions_;
    int rows_ = 0;
    std::vector<Cell> cells_;
    std::vector<Mark> marks_;
    std::vector<QString> notes_;
};

}  // namespace analysis
