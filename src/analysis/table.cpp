#include "analysis/table.h"

#include <cmath>

namespace analysis {

int Table::fieldIndex(const QString& name) const {
    for (int i = 0; i < captions_.size(); ++i) {
        if (captions_[i].compare(name, Qt::CaseInsensitive) == 0) {
            return i;
        }
    }
    return -1;
}

jet::Value Table::value(int row, int field) const {
    if (row < 0 || row >= rows_ || field < 0 || field >= captions_.size()) {
        return jet::Value();
    }
    return cells_[at(row, field)];
}

void Table::addRow() {
    ++rows_;
    const size_t size = size_t(rows_) * size_t(captions_.size());
    cells_.resize(size);
    marks_.resize(size, Mark::None);
    notes_.resize(size);
}

void Table::set(int field, const jet::Value& value, Mark mark, const QString& note) {
    if (rows_ == 0 || field < 0 || field >= captions_.size()) {
        return;
    }
    const size_t i = at(rows_ - 1, field);
    cells_[i] = value;
    marks_[i] = mark;
    notes_[i] = note;
}

void Table::setNumber(int field, double value, int decimals) {
    if (std::isnan(value)) {
        set(field, jet::Value());
        return;
    }
    if (decimals <= 0) {
        set(field, jet::Value::fromInt(qint64(std::llround(value))));
        return;
    }
    const double scale = std::pow(10.0, decimals);
    const double rounded = std::round(value * scale) / scale;
    set(field, jet::Value::fromReal(rounded == 0 ? 0.0 : rounded));  // never "-0"
}

void Table::setMissing(int field, const QString& note) {
    set(field, jet::Value(), Mark::NotComputed, note);
}

Mark Table::mark(int row, int field) const {
    return row >= 0 && row < rows_ && field >= 0 && field < captions_.size() ? marks_[at(row, field)]
                                                                             : Mark::None;
}

QString Table::note(int row, int field) const {
    return row >= 0 && row < rows_ && field >= 0 && field < captions_.size() ? notes_[at(row, field)]
                                                                             : QString();
}

}  // namespace analysis
