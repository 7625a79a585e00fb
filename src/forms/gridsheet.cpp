// The grid's "Esporta in foglio di calcolo…": the save dialog, then the file of what the grid shows.
#include "forms/gridtools.h"

#include "db/location.h"
#include "db/rowview.h"
#include "export/exporttarget.h"
#include "forms/gridactions.h"
#include "jet/jet.h"
#include "runtime/seams.h"

#include <QCollator>
#include <QSet>
#include <QTableView>

#include <algorithm>
#include <limits>

namespace forms {

QString stationsAndPeriod(const jet::RecordSet& rows, const QString& stationField, const QString& yearField,
                          const QString& monthField, const QString& dayField, const QString& station) {
    const int stationAt = rows.fieldIndex(stationField);
    const int yearAt = rows.fieldIndex(yearField);
    const int monthAt = monthField.isEmpty() ? -1 : rows.fieldIndex(monthField);
    const int dayAt = dayField.isEmpty() ? -1 : rows.fieldIndex(dayField);
    QSet<QString> names;
    qint64 first = std::numeric_limits<qint64>::max(), last = std::numeric_limits<qint64>::min();
    const bool days = monthAt >= 0 && dayAt >= 0;
    for (int row = 0; row < rows.recordCount(); ++row) {
        if (stationAt >= 0 && !rows.isNull(row, stationAt)) {
            names.insert(rows.value(row, stationAt).text().trimmed());
        }
        if (yearAt < 0 || rows.isNull(row, yearAt)) {
            continue;
        }
        qint64 key = rows.value(row, yearAt).toInt();
        if (days) {
            key = key * 10000 + rows.value(row, monthAt).toInt() * 100 + rows.value(row, dayAt).toInt();
        }
        first = qMin(first, key);
        last = qMax(last, key);
    }
    QStringList sorted(names.begin(), names.end());
    if (!station.isEmpty()) {
        sorted = QStringList{station};
    }
    QCollator italian{QLocale(QLocale::Italian, QLocale::Italy)};
    italian.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(sorted.begin(), sorted.end(), [&](const QString& a, const QString& b) {
        const int order = italian.compare(a, b);
        return order != 0 ? order < 0 : a < b;  // names the collation holds equal, in a fixed order
    });
    QStringList parts;
    if (!sorted.isEmpty()) {
        constexpr int kNamed = 12;
        QString list = QStringList(sorted.mid(0, kNamed)).join(QStringLiteral(", "));
        if (sorted.size() > kNamed) {
            list += QStringLiteral(" e altre %1").arg(sorted.size() - kNamed);
        }
        parts << (sorted.size() == 1 ? QStringLiteral("Stazione: ") : QStringLiteral("Stazioni: ")) + list;
    }
    if (first <= last) {
        const auto date = [](qint64 key) {
            return QStringLiteral("%1/%2/%3")
                .arg(key % 100, 2, 10, QLatin1Char('0'))
                .arg(key / 100 % 100, 2, 10, QLatin1Char('0'))
                .arg(key / 10000);
        };
        parts << (days            ? QStringLiteral("dal %1 al %2").arg(date(first), date(last))
                  : first == last ? QStringLiteral("anno %1").arg(first)
                                  : QStringLiteral("anni %1-%2").arg(first).arg(last));
    }
    return parts.join(QStringLiteral("; "));
}

exporter::SheetProperties GridTools::properties() const {
    exporter::SheetProperties props;
    const QWidget* owner = window();
    props.sheetName = owner ? owner->windowTitle() : QString();
    props.title = props.sheetName;
    props.subject = subject_ ? subject_() : QString();
    QStringList notes;
    if (const db::RowView* shown = rowView(); shown && shown->allRows()) {
        const QLocale locale;
        notes << QStringLiteral("Righe: %1 di %2.")
                     .arg(locale.toString(shown->shownCount()), locale.toString(shown->totalCount()));
        if (shown->sortColumn() >= 0) {
            notes << QStringLiteral("Ordinate per «%1» (%2).")
                         .arg(shown->allRows()->fieldName(shown->sortColumn()),
                              shown->sortOrder() == Qt::AscendingOrder ? QStringLiteral("crescente")
                                                                       : QStringLiteral("decrescente"));
        }
        for (const db::RowFilter& filter : shown->filters()) {
            notes << QStringLiteral("Filtro: %1.").arg(filter.description);
        }
    }
    props.comments = notes.join(QLatin1Char(' '));
    return props;
}

void GridTools::exportSpreadsheet() {
    const std::shared_ptr<const jet::RecordSet> rows = actions_ ? actions_->rows() : nullptr;
    if (!rows || rows->recordCount() == 0) {
        return;
    }
    seams::SaveRequest request;
    exporter::refuseInDialog(request);
    request.title = QStringLiteral("Esporta in foglio di calcolo");
    request.flags = 6;  // ask before replacing a file, no read-only box
    request.filter = exporter::spreadsheetFilter();
    request.filterIndex = lastFilterIndex_;
    request.fileName = lastFileName_;
    request.addExtension = true;
    if (!seams::runSaveDialog(window(), request)) {
        return;
    }
    const QString path = seams::completeExtension(request.fileName, request.filter, request.filterIndex);
    lastFileName_ = path;
    lastFilterIndex_ = request.filterIndex;
    const exporter::SheetFormat format =
        request.filterIndex == 2 ? exporter::SheetFormat::Ods : exporter::SheetFormat::Xlsx;
    QStringList captions;
    for (int column = 0; column < rows->fieldCount(); ++column) {
        captions << rows->fieldName(column);
    }
    const QString archive = db::resolveCaseInsensitive(db::databaseLocation());
    seams::setMousePointer(seams::kHourglass);
    const exporter::SheetResult result =
        exporter::writeSpreadsheet(*rows, captions, properties(), format, path, db::programFolder(), archive);
    seams::setMousePointer(seams::kDefaultPointer);
    if (!result.written) {
        seams::msgBox(exporter::sheetFailureMessage(result), window());
    }
}

}  // namespace forms
