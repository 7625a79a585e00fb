#include "analysisrows/tablerows.h"

namespace analysisrows {

jet::Value TableRows::value(int row, int field) const {
    const analysis::Cell cell = table_->value(row, field);
    switch (cell.kind()) {
        case analysis::Cell::Kind::Integer:
            return jet::Value::fromInt(cell.toInt());
        case analysis::Cell::Kind::Real:
            return jet::Value::fromReal(cell.toDouble());
        case analysis::Cell::Kind::Text:
            return jet::Value::fromText(cell.text());
        case analysis::Cell::Kind::Null:
            break;
    }
    return jet::Value();
}

}  // namespace analysisrows
