// Binding (see bind.h).
#include "jet/sql/bind.h"

#include "jet/internal/types.h"
#include "jet/internal/values.h"
#include "jet/sql/evaluate.h"

namespace jet {

namespace {

// A field of a type the program cannot show (0: the type is not known, as of a query's field).
bool cannotShow(int type) {
    return type != 0 && !showableType(type);
}

// Resolves names against the source, collecting the ones it lacks as parameters.
class Binder {
  public:
    Binder(const sql::Select& select, const SourceColumns& source) : select_(select), source_(source) {}

    bool ownQualifier(const QString& qualifier) const {
        const QString q = foldKey(qualifier);
        return q == foldKey(select_.source) || q == foldKey(select_.sourceAlias);
    }

    // A field of the source, or else -1 and a parameter the statement does not supply. `listed`:
    // a field of the select list, where fields shown only may be.
    int bind(const QString& qualifier, const QString& name, bool listed = false) {
        const bool qualified = !qualifier.isEmpty();
        if (qualified && !ownQualifier(qualifier)) {
            addParameter(qualifier + QLatin1Char('.') + name);
            return -1;
        }
        const QString key = foldKey(name);
        for (int i = 0; i < source_.names.size(); ++i) {
            if (foldKey(source_.names[i]) == key) {
                const bool shownOnly = !listed && source_.shownOnly.value(i);
                if ((cannotShow(source_.types[i]) || shownOnly) && unshowable_.isEmpty()) {
                    unshowable_ = source_.names[i];
                }
                return i;
            }
        }
        addParameter(qualified ? qualifier + QLatin1Char('.') + name : name);
        return -1;
    }

    void bindExpr(sql::Expr& e) {
        if (e.kind == sql::Expr::Kind::Column) {
            e.column = bind(e.qualifier, e.name);
        }
        if (e.a) {
            bindExpr(*e.a);
        }
        if (e.b) {
            bindExpr(*e.b);
        }
    }

    int parameterCount() const { return int(parameters_.size()); }
    // The first field named that the program cannot show; empty when none.
    const QString& unshowable() const { return unshowable_; }

  private:
    void addParameter(const QString& name) {
        const QString p = foldKey(name);
        if (!parameters_.contains(p)) {
            parameters_ << p;
        }
    }

    const sql::Select& select_;
    const SourceColumns& source_;
    QStringList parameters_;
    QString unshowable_;
};

bool bindItems(const sql::Select& select, const SourceColumns& source, Binder& binder, BoundSelect* out,
               Error* error) {
    for (const sql::SelectItem& item : select.items) {
        if (item.star) {
            if (!item.qualifier.isEmpty() && !binder.ownQualifier(item.qualifier)) {
                *error = errors::missingSource(item.qualifier);
                return false;
            }
            for (int i = 0; i < source.names.size(); ++i) {
                if (cannotShow(source.types[i])) {
                    out->leftOut << source.names[i];  // the other fields still show
                    continue;
                }
                out->read << i;
                out->captions << source.names[i];
                out->types << source.types[i];
                out->shownOnly << source.shownOnly.value(i);
            }
            continue;
        }
        const int c = binder.bind(item.qualifier, item.name, true);
        out->read << c;
        // A field without alias is headed by its name as the table stores it.
        out->captions << (item.hasAlias ? item.alias : c >= 0 ? source.names[c] : item.name);
        out->types << (c >= 0 ? source.types[c] : 0);
        out->shownOnly << (c >= 0 && source.shownOnly.value(c));
    }
    return true;
}

}  // namespace

bool bindSelect(sql::Select& select, const SourceColumns& source, BoundSelect* out, Error* error) {
    *out = BoundSelect();
    Binder binder(select, source);
    if (!bindItems(select, source, binder, out, error)) {
        return false;
    }
    out->outWidth = int(out->read.size());
    if (select.where) {
        binder.bindExpr(*select.where);
    }
    QVector<int> orderColumns;
    for (const sql::OrderItem& o : select.order) {
        orderColumns << binder.bind(o.qualifier, o.name);
    }
    if (binder.parameterCount() > 0) {
        *error = errors::tooFewParameters(binder.parameterCount());
        return false;
    }
    if (!binder.unshowable().isEmpty()) {
        *error = errors::unsupportedColumn(binder.unshowable());
        return false;
    }
    // DISTINCT compares the fields too.
    const int shown = select.distinct ? int(out->shownOnly.indexOf(true)) : -1;
    if (shown >= 0) {
        *error = errors::unsupportedColumn(out->captions[shown]);
        return false;
    }
    if (select.where && !typesAgree(*select.where, source.types)) {
        *error = errors::typeMismatch();
        return false;
    }
    for (int c : orderColumns) {
        int at = int(out->read.indexOf(c));
        if (at < 0) {
            at = int(out->read.size());
            out->read << c;
        }
        out->sortAt << at;
    }
    return true;
}

}  // namespace jet
