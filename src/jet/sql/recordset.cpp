// Column storage of snapshots (see recordset.h).
#include "jet/sql/recordset.h"

#include <limits>

#include "jet/internal/types.h"

namespace jet {

namespace {

// Texts indexed for sharing; a column of mostly distinct texts (notes) stops indexing new ones.
constexpr int kMaxIndexedTexts = 1 << 16;

template <typename T>
void padTo(std::vector<T>& v, size_t size) {
    if (v.size() < size) {
        v.resize(size);
    }
}

}  // namespace

void ColumnStore::reserve(size_t rows) {
    reserved_ = rows;
    nulls_.reserve(rows);
}

void ColumnStore::shrink() {
    reserved_ = 0;
    i32_.shrink_to_fit();
    i64_.shrink_to_fit();
    reals_.shrink_to_fit();
    textIds_.shrink_to_fit();
    bytes_.shrink_to_fit();
    mixed_.shrink_to_fit();
    texts_.shrink_to_fit();
    textIndex_ = QHash<QString, quint32>();  // only needed while rows are added
}

void ColumnStore::start(const Value& v) {
    kind_ = v.kind();
    single_ = v.isSingle();
    if (v.isExtendedDate()) {
        store_ = Store::Mixed;  // a serial would lose the fraction of a second
        return;
    }
    switch (kind_) {
        case Value::Kind::Boolean:
        case Value::Kind::Integer:
            store_ = Store::Int32;
            i32_.reserve(reserved_);
            break;
        case Value::Kind::Currency:
            store_ = Store::Int64;
            i64_.reserve(reserved_);
            break;
        case Value::Kind::Real:
        case Value::Kind::DateTime:
            store_ = Store::Real;
            reals_.reserve(reserved_);
            break;
        case Value::Kind::Text:
        case Value::Kind::Decimal:  // its digits
            store_ = Store::Text;
            textIds_.reserve(reserved_);
            break;
        default:
            store_ = Store::Bytes;
            break;
    }
}

bool ColumnStore::fits(const Value& v) const {
    return v.kind() == kind_ && v.isSingle() == single_ && !v.isExtendedDate();
}

void ColumnStore::toMixed() {
    std::vector<Value> values;
    values.reserve(std::max(reserved_, size()));
    for (size_t r = 0; r < size(); ++r) {
        values.push_back(value(r));
    }
    i32_ = {};
    i64_ = {};
    reals_ = {};
    textIds_ = {};
    texts_ = {};
    textIndex_ = {};
    bytes_ = {};
    mixed_ = std::move(values);
    store_ = Store::Mixed;
}

void ColumnStore::widen() {
    i64_.assign(i32_.begin(), i32_.end());
    i64_.reserve(std::max(reserved_, i64_.size()));
    i32_ = {};
    store_ = Store::Int64;
}

void ColumnStore::appendText(const QString& s) {
    const auto found = textIndex_.constFind(s);
    if (found != textIndex_.constEnd()) {
        textIds_.push_back(found.value());
        return;
    }
    const quint32 id = quint32(texts_.size());
    texts_.push_back(s);
    if (textIndex_.size() < kMaxIndexedTexts) {
        textIndex_.insert(s, id);
    }
    textIds_.push_back(id);
}

void ColumnStore::append(const Value& v) {
    const size_t row = size();
    nulls_.push_back(v.isNull());
    if (v.isNull()) {
        return;
    }
    if (store_ == Store::None) {
        start(v);
    } else if (store_ != Store::Mixed && !fits(v)) {
        toMixed();
    }
    switch (store_) {
        case Store::Int32:
            if (v.toInt() < std::numeric_limits<qint32>::min() ||
                v.toInt() > std::numeric_limits<qint32>::max()) {
                widen();
                return append64(v, row);
            }
            padTo(i32_, row);
            i32_.push_back(qint32(v.toInt()));
            return;
        case Store::Int64:
            return append64(v, row);
        case Store::Real:
            padTo(reals_, row);
            reals_.push_back(kind_ == Value::Kind::DateTime ? v.dateSerial() : v.toDouble());
            return;
        case Store::Text:
            padTo(textIds_, row);
            appendText(v.text());
            return;
        case Store::Bytes:
            padTo(bytes_, row);
            bytes_.push_back(v.bytes());
            return;
        case Store::Mixed:
        case Store::None:
            padTo(mixed_, row);
            mixed_.push_back(v);
            return;
    }
}

void ColumnStore::appendInteger(qint64 v) {
    if (store_ == Store::Int32 && kind_ == Value::Kind::Integer && v >= std::numeric_limits<qint32>::min() &&
        v <= std::numeric_limits<qint32>::max()) {
        const size_t row = size();
        nulls_.push_back(false);
        padTo(i32_, row);
        i32_.push_back(qint32(v));
        return;
    }
    append(Value::fromInt(v));
}

void ColumnStore::appendReal(double v, bool single) {
    if (store_ == Store::Real && kind_ == Value::Kind::Real && single_ == single) {
        const size_t row = size();
        nulls_.push_back(false);
        padTo(reals_, row);
        reals_.push_back(v);
        return;
    }
    append(Value::fromReal(v, single));
}

void ColumnStore::appendDate(double serial) {
    if (store_ == Store::Real && kind_ == Value::Kind::DateTime) {
        const size_t row = size();
        nulls_.push_back(false);
        padTo(reals_, row);
        reals_.push_back(serial);
        return;
    }
    append(Value::fromDateSerial(serial));
}

void ColumnStore::appendCurrency(qint64 units) {
    if (store_ == Store::Int64 && kind_ == Value::Kind::Currency) {
        const size_t row = size();
        nulls_.push_back(false);
        padTo(i64_, row);
        i64_.push_back(units);
        return;
    }
    append(Value::fromCurrency(units));
}

void ColumnStore::append64(const Value& v, size_t row) {
    padTo(i64_, row);
    i64_.push_back(kind_ == Value::Kind::Currency ? v.currencyUnits() : v.toInt());
}

Value ColumnStore::value(size_t row) const {
    if (row >= size() || nulls_[row]) {
        return Value();
    }
    switch (store_) {
        case Store::Int32:
            return kind_ == Value::Kind::Boolean ? Value::fromBool(i32_[row] != 0)
                                                 : Value::fromInt(i32_[row]);
        case Store::Int64:
            return kind_ == Value::Kind::Currency ? Value::fromCurrency(i64_[row])
                                                  : Value::fromInt(i64_[row]);
        case Store::Real:
            return kind_ == Value::Kind::DateTime ? Value::fromDateSerial(reals_[row])
                                                  : Value::fromReal(reals_[row], single_);
        case Store::Text:
            return kind_ == Value::Kind::Decimal ? Value::fromDecimal(texts_[textIds_[row]])
                                                 : Value::fromText(texts_[textIds_[row]]);
        case Store::Bytes:
            return Value::fromBytes(bytes_[row]);
        case Store::Mixed:
            return mixed_[row];
        case Store::None:
            break;
    }
    return Value();
}

void ColumnStore::appendFormatted(size_t row, const DisplayFormat& format, QString* out) const {
    switch (store_) {
        case Store::Int32:
            if (kind_ == Value::Kind::Boolean) {
                format.appendBool(i32_[row] != 0, out);
            } else {
                format.appendInteger(i32_[row], out);
            }
            return;
        case Store::Int64:
            if (kind_ == Value::Kind::Currency) {
                format.appendCurrency(i64_[row], out);
            } else {
                format.appendInteger(i64_[row], out);
            }
            return;
        case Store::Real:
            if (kind_ == Value::Kind::DateTime) {
                format.appendDate(reals_[row], out);
            } else {
                format.appendReal(reals_[row], single_, out);
            }
            return;
        default:
            format.append(value(row), out);
            return;
    }
}

QString ColumnStore::text(size_t row, const DisplayFormat& format) const {
    if (row >= size() || nulls_[row]) {
        return QString();
    }
    if (store_ == Store::Text && kind_ == Value::Kind::Text) {
        return texts_[textIds_[row]];  // shared, not copied
    }
    QString s;
    appendFormatted(row, format, &s);
    return s;
}

QStringView ColumnStore::textView(size_t row, const DisplayFormat& format, QString* buffer) const {
    if (row >= size() || nulls_[row]) {
        return QStringView();
    }
    if (store_ == Store::Text && kind_ == Value::Kind::Text) {
        return texts_[textIds_[row]];
    }
    buffer->resize(0);
    appendFormatted(row, format, buffer);
    return *buffer;
}

// ---------------------------------------------------------------------------------- record set

int RecordSetImpl::fieldIndex(const QString& name) const {
    const QString key = foldKey(name);
    for (int i = 0; i < captions.size(); ++i) {
        if (foldKey(captions[i]) == key) {
            return i;
        }
    }
    return -1;
}

void RecordSetImpl::setRows(ColumnTable&& table, std::vector<quint32>&& order, bool all) {
    table_ = std::move(table);
    table_.columns.resize(size_t(captions.size()));  // sort keys beyond the fields are not kept
    for (ColumnStore& c : table_.columns) {
        c.shrink();
    }
    order_ = all ? std::vector<quint32>() : std::move(order);
    count_ = int(all ? table_.rows() : order_.size());
}

const ColumnStore* RecordSetImpl::cell(int row, int field, size_t* at) const {
    if (row < 0 || field < 0 || field >= captions.size() || row >= count_) {
        return nullptr;
    }
    *at = order_.empty() ? size_t(row) : size_t(order_[size_t(row)]);
    return &table_.columns[size_t(field)];
}

Value RecordSetImpl::value(int row, int field) const {
    size_t at = 0;
    const ColumnStore* c = cell(row, field, &at);
    return c ? c->value(at) : Value();
}

bool RecordSetImpl::isNull(int row, int field) const {
    size_t at = 0;
    const ColumnStore* c = cell(row, field, &at);
    return !c || c->isNull(at);
}

QString RecordSetImpl::text(int row, int field, const DisplayFormat& format) const {
    size_t at = 0;
    const ColumnStore* c = cell(row, field, &at);
    return c ? c->text(at, format) : QString();
}

QStringView RecordSetImpl::textView(int row, int field, const DisplayFormat& format, QString* buffer) const {
    size_t at = 0;
    const ColumnStore* c = cell(row, field, &at);
    return c ? c->textView(at, format, buffer) : QStringView();
}

}  // namespace jet
