#include "chart/tablefigure.h"

#include "db/location.h"
#include "jet/jet.h"

#include <QCollator>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <map>

namespace chart {

namespace {

const jet::DisplayFormat& plainFormat() {
    static const jet::DisplayFormat format{QLocale::c()};
    return format;
}

// A whole number the grid shows, or `fallback`.
int wholeNumber(const jet::RecordSet& rows, int row, int field, int fallback) {
    const double v = field < 0 ? kMissing : numberShown(rows, row, field);
    if (std::isnan(v) || v != std::floor(v) || std::fabs(v) > 1e6) {
        return fallback;
    }
    return int(v);
}

QString subjectsText(const QVector<Subject>& subjects) {
    QStringList labels;
    for (const Subject& s : subjects) {
        if (!s.label.isEmpty()) {
            labels << s.label;
        }
    }
    if (labels.size() <= 3) {
        return labels.join(QLatin1String(", "));
    }
    return labels.mid(0, 3).join(QLatin1String(", ")) + QStringLiteral(" e altre %1").arg(labels.size() - 3);
}

QString joinTitle(const QString& who, const QString& period) {
    QStringList parts;
    for (const QString& part : {who, period}) {
        if (!part.isEmpty()) {
            parts << part;
        }
    }
    return parts.join(QLatin1String(" - "));
}

bool hasValue(const Series& s) {
    return std::any_of(s.y.cbegin(), s.y.cend(), [](double v) { return !std::isnan(v); });
}

Series seriesOf(const Style& style, const QString& subject) {
    Series s;
    s.name = style.name;
    s.subject = subject;
    s.mark = style.mark;
    s.axis = style.axis;
    s.colour = style.colour;
    s.shown = style.shown;
    return s;
}

}  // namespace

QString withFirstField(const QString& statement, const QString& expression, const QString& caption) {
    static const QRegularExpression select(QStringLiteral("^\\s*select\\s"),
                                           QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = select.match(statement);
    if (!match.hasMatch()) {
        return QString();
    }
    return statement.left(match.capturedEnd()) + QStringLiteral("%1 as [%2], ").arg(expression, caption) +
           statement.mid(match.capturedEnd());
}

std::unique_ptr<jet::RecordSet> readRows(const QString& database, const QString& statement) {
    jet::Error error;
    if (statement.isEmpty()) {
        return nullptr;
    }
    // Spelled as the data source found it: an archive copied from Windows is ORBENI.MDB.
    const std::shared_ptr<jet::Database> archive =
        jet::Database::open(db::resolveCaseInsensitive(database), &error);
    return archive ? archive->openRecordSet(statement, &error) : nullptr;
}

double numberShown(const jet::RecordSet& rows, int row, int field) {
    if (rows.isNull(row, field)) {
        return kMissing;
    }
    // The digits the grid shows (single-precision values to seven), not the float's expansion.
    bool ok = false;
    const double v = QLocale::c().toDouble(rows.text(row, field, plainFormat()), &ok);
    return ok ? v : kMissing;
}

bool numericField(const jet::RecordSet& rows, int field) {
    if (field < 0 || field >= rows.fieldCount()) {
        return false;
    }
    using K = jet::Value::Kind;
    const int count = rows.recordCount();
    for (int row = 0; row < count; ++row) {
        if (!rows.isNull(row, field)) {
            // A column holds one type: its first value tells.
            const K kind = rows.value(row, field).kind();
            return kind == K::Integer || kind == K::Real || kind == K::Currency;
        }
    }
    return false;
}

QSet<QString> repeatedTexts(const QString& database, const QString& statement) {
    QSet<QString> seen;
    QSet<QString> repeated;
    const std::unique_ptr<jet::RecordSet> rows = readRows(database, statement);
    for (int row = 0; rows && rows->fieldCount() > 0 && row < rows->recordCount(); ++row) {
        const QString text = rows->text(row, 0, plainFormat()).trimmed();
        if (!text.isEmpty() && !rows->isNull(row, 0)) {
            (seen.contains(text) ? repeated : seen).insert(text);
        }
    }
    return repeated;
}

Subjects subjectsOf(const jet::RecordSet& rows, int keyField, int nameField,
                    const QSet<QString>& sharedNames) {
    Subjects out;
    const int count = rows.recordCount();
    out.ofRow.resize(count);
    if (keyField < 0) {
        QString name;
        for (int row = 0; row < count && name.isEmpty() && nameField >= 0; ++row) {
            name = rows.text(row, nameField, jet::DisplayFormat());
        }
        out.list.append({QString(), name, QString()});
        std::fill(out.ofRow.begin(), out.ofRow.end(), 0);
        return out;
    }
    const jet::DisplayFormat format;
    std::map<QString, int> index;  // key -> first seen order
    QVector<Subject> seen;
    for (int row = 0; row < count; ++row) {
        if (rows.isNull(row, keyField)) {
            out.ofRow[row] = -1;
            continue;
        }
        const QString key = rows.text(row, keyField, plainFormat());
        auto it = index.find(key);
        if (it == index.end()) {
            it = index.emplace(key, int(seen.size())).first;
            seen.append({key, nameField >= 0 ? rows.text(row, nameField, format).trimmed() : key, QString()});
        }
        out.ofRow[row] = it->second;
    }
    std::map<QString, int> names;
    for (const Subject& s : seen) {
        ++names[s.label];
    }
    QVector<int> order(seen.size());
    for (int i = 0; i < order.size(); ++i) {
        if (names[seen[i].label] > 1 || sharedNames.contains(seen[i].label) || seen[i].label.isEmpty()) {
            seen[i].label = seen[i].label.isEmpty()
                                ? seen[i].key
                                : QStringLiteral("%1 (%2)").arg(seen[i].label, seen[i].key);
        }
        order[i] = i;
    }
    QCollator collator(QLocale(QLocale::Italian, QLocale::Italy));
    collator.setNumericMode(true);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return collator.compare(seen[a].label, seen[b].label) < 0; });
    QVector<int> rank(seen.size());
    for (int i = 0; i < order.size(); ++i) {
        rank[order[i]] = i;
        out.list.append(seen[order[i]]);
    }
    for (int& r : out.ofRow) {
        r = r < 0 ? -1 : rank[r];
    }
    return out;
}

Figure pointFigure(const PointRows& d, const jet::RecordSet& rows) {
    Figure figure;
    figure.panels = d.panels;
    const Subjects subjects = subjectsOf(rows, d.keyField.isEmpty() ? -1 : rows.fieldIndex(d.keyField),
                                         rows.fieldIndex(d.nameField), d.sharedNames);
    figure.subjects = subjects.list;
    const int dayField = rows.fieldIndex(d.dayField);
    const int monthField = rows.fieldIndex(d.monthField);
    const int yearField = rows.fieldIndex(d.yearField);
    const int xField = rows.fieldIndex(d.xField);
    const bool dated = xField < 0;

    // Rows with an x, by subject, then by x.
    struct Point {
        int subject;
        double x;
        int row;
    };
    std::vector<Point> points;
    const int count = rows.recordCount();
    points.reserve(size_t(count));
    for (int row = 0; row < count; ++row) {
        double x = kMissing;
        if (dated) {
            const QDate date(wholeNumber(rows, row, yearField, 0), wholeNumber(rows, row, monthField, 0),
                             wholeNumber(rows, row, dayField, 0));
            x = date.isValid() ? double(date.toJulianDay()) : kMissing;
        } else {
            x = numberShown(rows, row, xField);
        }
        if (!std::isnan(x) && subjects.ofRow[row] >= 0) {
            points.push_back({subjects.ofRow[row], x, row});
        }
    }
    std::stable_sort(points.begin(), points.end(), [](const Point& a, const Point& b) {
        return a.subject != b.subject ? a.subject < b.subject : a.x < b.x;
    });

    std::vector<std::pair<int, Style>> fields;
    for (const auto& [caption, style] : d.fields) {
        const int field = rows.fieldIndex(caption);
        if (numericField(rows, field) && style.panel >= 0 && style.panel < figure.panels.size()) {
            Style s = style;
            if (s.name.isEmpty()) {
                s.name = rows.fieldName(field);
            }
            fields.emplace_back(field, s);
        }
    }
    size_t begin = 0;
    for (int subject = 0; subject < figure.subjects.size(); ++subject) {
        size_t end = begin;
        while (end < points.size() && points[end].subject == subject) {
            ++end;
        }
        QVector<double> x;
        QVector<int> at;
        for (size_t i = begin; i < end; ++i) {
            // Two rows of one subject on one x: the first is drawn (a series never doubles back).
            if (x.isEmpty() || x.constLast() != points[i].x) {
                x.append(points[i].x);
                at.append(points[i].row);
            }
        }
        for (const auto& [field, style] : fields) {
            Series s = seriesOf(style, figure.subjects[subject].key);
            s.group = style.name;
            s.x = x;
            s.y.reserve(x.size());
            for (const int row : at) {
                s.y.append(numberShown(rows, row, field));
            }
            if (hasValue(s)) {
                figure.panels[style.panel].series.append(s);
            }
        }
        begin = end;
    }
    return figure;
}

Figure seriesFigure(const SeriesRows& d, const jet::RecordSet& rows) {
    Figure figure;
    figure.panels = d.panels;
    const Subjects subjects = subjectsOf(rows, d.keyField.isEmpty() ? -1 : rows.fieldIndex(d.keyField),
                                         rows.fieldIndex(d.nameField), d.sharedNames);
    figure.subjects = subjects.list;
    struct Category {
        int field;
        int panel;
        double x;
    };
    QVector<Category> categories;
    for (const auto& [caption, panel] : d.categories) {
        const int field = rows.fieldIndex(caption);
        if (numericField(rows, field) && panel >= 0 && panel < figure.panels.size()) {
            QStringList& labels = figure.panels[panel].x.categories;
            categories.append({field, panel, double(labels.size())});
            labels << rows.fieldName(field);
        }
    }
    const int count = rows.recordCount();
    for (int row = 0; row < count; ++row) {
        const std::optional<Style> style = d.style ? d.style(rows, row) : std::optional<Style>(Style{});
        if (!style || subjects.ofRow[row] < 0) {
            continue;
        }
        for (int p = 0; p < figure.panels.size(); ++p) {
            if (style->panel >= 0 && style->panel != p) {
                continue;
            }
            Series s = seriesOf(*style, figure.subjects[subjects.ofRow[row]].key);
            for (const Category& c : categories) {
                if (c.panel == p) {
                    s.x.append(c.x);
                    s.y.append(numberShown(rows, row, c.field));
                }
            }
            if (hasValue(s)) {
                figure.panels[p].series.append(s);
            }
        }
    }
    return figure;
}

std::pair<double, double> xExtent(const Figure& figure) {
    double low = kMissing;
    double high = kMissing;
    for (const Panel& panel : figure.panels) {
        for (const Series& s : panel.series) {
            for (const double x : s.x) {
                low = std::isnan(low) ? x : std::min(low, x);
                high = std::isnan(high) ? x : std::max(high, x);
            }
        }
    }
    return {low, high};
}

QString datePeriod(const QDate& first, const QDate& last) {
    if (!first.isValid() || !last.isValid()) {
        return QString();
    }
    const QString format = QStringLiteral("dd/MM/yyyy");
    return first == last ? first.toString(format)
                         : QStringLiteral("dal %1 al %2").arg(first.toString(format), last.toString(format));
}

QString yearsPeriod(int first, int last) {
    if (first > last) {
        return QString();
    }
    return first == last ? QStringLiteral("anno %1").arg(first)
                         : QStringLiteral("anni %1-%2").arg(first).arg(last);
}

void setTitles(Figure& figure, const QString& period) {
    figure.title = joinTitle(subjectsText(figure.subjects), period);
    figure.caption =
        figure.title.isEmpty() ? QStringLiteral("Grafico") : QStringLiteral("Grafico - ") + figure.title;
    for (Subject& s : figure.subjects) {
        s.title = joinTitle(s.label, period);
    }
}

}  // namespace chart
