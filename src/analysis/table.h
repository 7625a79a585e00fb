// A table of figures as a record set, so that grids show it, copy it and write it as they do every
// other result. A cell may carry a mark (a figure not computed, or how complete a month is) and a
// note that says why, for the window to draw and show on hover.
#pragma once

#include "jet/jet.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace analysis {

enum class Mark : quint8 { None, NotComputed, Full, Partial, Empty };

class Table : public jet::RecordSet {
  public:
    explicit Table(QStringList captions) : captions_(std::move(captions)) {}

    int fieldCount() const override { return int(captions_.size()); }
    QString fieldName(int field) const override { return captions_.value(field); }
    int fieldIndex(const QString& name) const override;
    int recordCount() const override { return rows_; }
    jet::Value value(int row, int field) const override;

    // Starts a row; the setters fill its cells (a cell not set stays NULL).
    void addRow();
    void set(int field, const jet::Value& value, Mark mark = Mark::None, const QString& note = QString());
    // A figure rounded to `decimals` places (a number not computed stays NULL, marked).
    void setNumber(int field, double value, int decimals);
    void setMissing(int field, const QString& note);

    Mark mark(int row, int field) const;
    QString note(int row, int field) const;

  private:
    size_t at(int row, int field) const { return size_t(row) * size_t(captions_.size()) + size_t(field); }
    QStringList captions_;
    int rows_ = 0;
    std::vector<jet::Value> cells_;
    std::vector<Mark> marks_;
    std::vector<QString> notes_;
};

}  // namespace analysis
