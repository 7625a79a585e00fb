// The engine's snapshot: rows kept as values, row after row.
#pragma once

#include <QStringList>
#include <QVector>

#include <vector>

#include "jet/internal/jetfile.h"
#include "jet/jet.h"
#include "jet/jetvalue.h"

namespace jet {

class RecordSetImpl : public RecordSet {
  public:
    int fieldCount() const override { return captions.size(); }
    QString fieldName(int field) const override { return captions.value(field); }
    int fieldIndex(const QString& name) const override {
        const QString key = foldKey(name);
        for (int i = 0; i < captions.size(); ++i) {
            if (foldKey(captions[i]) == key) {
                return i;
            }
        }
        return -1;
    }
    int recordCount() const override { return captions.isEmpty() ? 0 : int(cells.size() / captions.size()); }
    const Value& value(int row, int field) const override {
        static const Value null{};
        if (row < 0 || field < 0 || field >= captions.size() || row >= recordCount()) {
            return null;
        }
        return cells[qsizetype(row) * captions.size() + field];
    }

    QStringList captions;
    QVector<int> types;  // column types of the fields, as the source declares them
    std::vector<Value> cells;
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
