// altorra-query --curva CODSTAZ [--metodo momenti|lmomenti] FILE
// The depth-duration-frequency curve of one station: the rainfall search's statement for that
// station, then the quantile table (a row per return period, a column per duration) and a, n and R²
// of h = a·tⁿ per return period, as UTF-8 tab-separated text, every value followed by a tab.
#include "query/query.h"

#include <cstdio>
#include <cstring>

#include <unistd.h>

#include "analysis/ddftables.h"
#include "jet/jet.h"
#include "jet/tabwriter.h"

namespace query {

namespace {

// The rainfall search's statement with both groups of maxima ticked and this station chosen.
const char* const kFields =
    "select Nomestaz , Anno , unhh as [1 ora], Data, trehh as [3 ore], Data1, seihh as [6 ore], Data2, "
    "dodhh as [12 ore], Data3, venhh as [24 ore], Data4, ungg as [1 giorno], Data5, duegg as [2 giorni], "
    "Data6, tregg as [3 giorni], Data7, quagg as [4 giorni], Data8, cingg as [5 giorni], Data9 from "
    "piog9099 where codstaz = ";

class TextRow : public jet::RowCells {
  public:
    explicit TextRow(const QStringList& cells) : cells_(cells) {}
    int fieldCount() const override { return int(cells_.size()); }
    QStringView textView(int field, const jet::DisplayFormat&, QString*) const override {
        return cells_[field];
    }

  private:
    const QStringList& cells_;
};

bool writeTable(jet::TabWriter& out, const analysis::TextTable& table) {
    bool ok = out.writeHeader(table.captions);
    for (const QStringList& row : table.rows) {
        ok = ok && out.writeRow(TextRow(row));
    }
    return ok;
}

// The curve tables of both groups side by side, under one column of return periods.
analysis::TextTable curves(const analysis::DdfAnalysis& a) {
    const analysis::TextTable hours = analysis::curveTable(a, false);
    const analysis::TextTable days = analysis::curveTable(a, true);
    analysis::TextTable t;
    t.captions << hours.captions[0];
    for (int c = 1; c < 4; ++c) {
        t.captions << hours.captions[c] + QStringLiteral(" 1-24 ore");
    }
    for (int c = 1; c < 4; ++c) {
        t.captions << days.captions[c] + QStringLiteral(" 1-5 giorni");
    }
    for (int r = 0; r < hours.rows.size(); ++r) {
        t.rows << (hours.rows[r] + days.rows[r].mid(1));
    }
    return t;
}

}  // namespace

QString curvaStatement(qint64 station) {
    return QString::fromUtf8(kFields) + QString::number(station);
}

int runCurva(const QStringList& args) {
    // CODSTAZ [--metodo M] FILE
    bool numeric = false;
    const qint64 station = args.isEmpty() ? 0 : args[0].toLongLong(&numeric);
    analysis::GumbelMethod method = analysis::GumbelMethod::Moments;
    bool valid = numeric && (args.size() == 2 || (args.size() == 4 && args[1] == QLatin1String("--metodo")));
    if (valid && args.size() == 4) {
        if (args[2] == QLatin1String("lmomenti")) {
            method = analysis::GumbelMethod::LMoments;
        } else if (args[2] != QLatin1String("momenti")) {
            valid = false;
        }
    }
    if (!valid) {
        std::fprintf(stderr, "uso: altorra-query --curva CODSTAZ [--metodo momenti|lmomenti] FILE\n");
        return 2;
    }
    jet::Error error;
    std::shared_ptr<jet::Database> db = jet::Database::open(args.last(), &error);
    std::unique_ptr<jet::RecordSet> rows = db ? db->openRecordSet(curvaStatement(station), &error) : nullptr;
    if (!rows) {
        std::fprintf(stderr, "%d %s\n", error.number, error.message.toUtf8().constData());
        return 1;
    }
    const analysis::MaximaRows maxima = analysis::readMaxima(*rows);
    if (maxima.years.empty() || !maxima.error.isEmpty()) {
        const QString why = maxima.years.empty() ? QStringLiteral("Nessun record presente") : maxima.error;
        std::fprintf(stderr, "%s\n", why.toUtf8().constData());
        return 1;
    }
    const analysis::DdfAnalysis a = analysis::analyseDdf(maxima.years, maxima.present, method);
    jet::TabWriter out(jet::TabWriter::Encoding::Utf8);
    out.attach(STDOUT_FILENO);
    const bool ok = writeTable(out, analysis::quantileTable(a)) && writeTable(out, curves(a));
    if (!out.close() || !ok) {
        std::fprintf(stderr, "altorra-query: %s\n", std::strerror(out.error()));
        return 1;
    }
    return 0;
}

}  // namespace query
