// A table of figures as a record set, so that grids show it, copy it and write it as they do every
// other result, and altorra-query prints it through the same writer.
#pragma once

#include "analysis/table.h"
#include "jet/jet.h"

#include <memory>

namespace analysisrows {

class TableRows : public jet::RecordSet {
  public:
    explicit TableRows(std::shared_ptr<const analysis::Table> table) : table_(std::move(table)) {}

    int fieldCount() const override { return table_->fieldCount(); }
    QString fieldName(int field) const override { return table_->fieldName(field); }
    int fieldIndex(const QString& name) const override { return table_->fieldIndex(name); }
    int recordCount() const override { return table_->recordCount(); }
    jet::Value value(int row, int field) const override;

    const analysis::Table& table() const { return *table_; }

  private:
    std::shared_ptr<const analysis::Table> table_;
};

}  // namespace analysisrows
