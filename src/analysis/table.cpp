#include "analysis/table.h"

#include <cmath>

namespace analysis {

Cell Cell::integer(qint64 v) {
    Cell c;
    c.kind_ = Kind::Integer;
    c.i_ = v;
    return c;
}

Cell Cell::real(double v) {
    Cell c;
    c.kind_ = Kind::Real;
    c.d_ = v;
    return c;
}

Cell Cell::text(const QString& v) {
    Cell c;
    c.kind_ = Kind::Text;
    c.s_ = v;
    return c;
}

int Table::fieldIndex(const QString& name) const {
    for (int i = 0; i < captions_.size(); ++i) {
        if (captions_[i].compare(name, Qt::CaseInsensitive) == 0) {
            return i;
        }
    }
    return -1;
}

Cell Table::value(int row, int field) const {
    return inside(row, field) ? cells_[at(row, field)] : Cell();
}

void Table::addRow() {
    ++rows_;
    const size_t size = size_t(rows_) * size_t(captions_.size());
    cells_.resize(size);
    marks_.resize(size, Mark::None);
    notes_.resize(size);
}

void Table::set(int field, const Cell& value, Mark mark, const QString& note) {
    if (!inside(rows_ - 1, field)) {
        return;
    }
    const size_t i = at(rows_ - 1, field);
    cells_[i] = value;
    marks_[i] = mark;
    notes_[i] = note;
}

void Table::setNumber(int field, double value, int decimals) {
    if (std::isnan(value)) {
        set(field, Cell());
        return;
    }
    if (decimals <= 0) {
        set(field, Cell::integer(qint64(std::llround(value))));
        return;
    }
    const double scale = std::pow(10.0, decimals);
    const double rounded = std::round(value * scale) / scale;
    set(field, Cell::real(rounded == 0 ? 0.0 : rounded));  // never "-0"
}

void Table::setMissing(int field, const QString& note) {
    set(field, Cell(), Mark::NotComputed, note);
}

Mark Table::mark(int row, int field) const {
    return inside(row, field) ? marks_[at(row, field)] : Mark::None;
}

QString Table::note(int row, int field) const {
    return inside(row, field) ? notes_[at(row, field)] : QString();
}

}  // namespace analysis
