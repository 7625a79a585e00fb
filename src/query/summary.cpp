// altorra-query --riepilogo CODSTAZ FILE: the summary of one station's daily rows, as the viewer's
// summary window shows it: the monthly table, then the yearly indices (UTF-8, a tab after every
// value, CRLF, numbers with a point).
#include "query/query.h"

#include "analysis/summary.h"
#include "analysisrows/dailyrows.h"
#include "analysisrows/tablerows.h"
#include "jet/jet.h"
#include "jet/tabwriter.h"

#include <QLocale>

#include <cstdio>
#include <cstring>

#include <unistd.h>

namespace query {

namespace {

// The table's field behind each quantity the summary reads, in the summary's order.
constexpr std::array<const char*, analysis::kQuantities> kFields = {
    "Pioggia", "TempMax", "TempMin", "TempMed", "AltNeve", "VelMedia", "Umidità"};

bool writeTable(jet::TabWriter& out, std::shared_ptr<const analysis::Table> table) {
    const analysisrows::TableRows rows(std::move(table));
    bool ok = out.writeHeader(rows.table().captions());
    for (int r = 0; ok && r < rows.recordCount(); ++r) {
        ok = out.writeRow(rows, r);
    }
    return ok;
}

// The station's daily statement with every quantity the summary reads, under the captions the
// daily search gives them.
QString summaryStatement(qint64 code) {
    QString fields = QStringLiteral("Giorno, Mese, Anno");
    for (int q = 0; q < analysis::kQuantities; ++q) {
        fields += QStringLiteral(", %1 as [%2]")
                      .arg(QString::fromUtf8(kFields[size_t(q)]),
                           QString::fromUtf8(analysisrows::quantityCaptions()[size_t(q)]));
    }
    return QStringLiteral("select %1 from database1 where codStaz = %2").arg(fields).arg(code);
}

}  // namespace

int runSummary(const QString& code, const QString& file) {
    bool numeric = false;
    const qint64 key = code.toLongLong(&numeric);
    if (!numeric) {
        std::fprintf(stderr, "altorra-query: codice di stazione non numerico: %s\n",
                     code.toUtf8().constData());
        return 2;
    }
    jet::Error error;
    std::shared_ptr<jet::Database> db = jet::Database::open(file, &error);
    std::unique_ptr<jet::RecordSet> rows = db ? db->openRecordSet(summaryStatement(key), &error) : nullptr;
    if (!rows) {
        std::fprintf(stderr, "%d %s\n", error.number, error.message.toUtf8().constData());
        return 1;
    }
    if (rows->recordCount() == 0) {
        std::fprintf(stderr, "altorra-query: nessuna riga giornaliera per la stazione %lld\n", key);
        return 1;
    }
    // Every row is the station's: its code chose them, whatever names they carry.
    std::vector<int> all(size_t(rows->recordCount()));
    for (int i = 0; i < rows->recordCount(); ++i) {
        all[size_t(i)] = i;
    }
    const analysisrows::DailyColumns columns = analysisrows::dailyColumns(*rows);
    const analysis::StationSummary summary = analysis::summarize(analysisrows::seriesOf(*rows, columns, all));
    jet::TabWriter out(jet::TabWriter::Encoding::Utf8, QLocale::c());
    out.attach(STDOUT_FILENO);
    const bool ok =
        writeTable(out, analysis::monthlyTable(summary)) && writeTable(out, analysis::indicesTable(summary));
    if (!out.close() || !ok) {
        std::fprintf(stderr, "altorra-query: %s\n", std::strerror(out.error()));
        return 1;
    }
    return 0;
}

}  // namespace query
