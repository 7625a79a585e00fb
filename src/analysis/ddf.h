// The depth-duration-frequency curve of a station ("curva di possibilità pluviometrica"): a Gumbel
// distribution fitted to the annual maxima of each duration, its quantiles for the usual return
// periods, and h = a·tⁿ fitted through the quantiles of each return period, over 1 to 24 hours (t in
// hours) and over 1 to 5 days (t in days).
#pragma once

#include "analysis/extremes.h"
#include "analysis/goodness.h"

#include <QString>

#include <array>
#include <optional>
#include <vector>

namespace analysis {

struct Duration {
    const char* caption;  // as the rainfall statement names its column
    double length;        // in hours or in days
    bool days;
};
inline constexpr int kDurations = 10;
inline constexpr std::array<Duration, kDurations> kDurationList{{
    {"1 ora", 1, false},
    {"3 ore", 3, false},
    {"6 ore", 6, false},
    {"12 ore", 12, false},
    {"24 ore", 24, false},
    {"1 giorno", 1, true},
    {"2 giorni", 2, true},
    {"3 giorni", 3, true},
    {"4 giorni", 4, true},
    {"5 giorni", 5, true},
}};
inline constexpr int kReturnPeriodCount = 7;
inline constexpr std::array<int, kReturnPeriodCount> kReturnPeriods{{2, 5, 10, 20, 50, 100, 200}};
// Fewer years than this give no fit for that duration.
inline constexpr int kMinimumYears = 5;
// Fewer fitted durations than this in a group give no curve for it.
inline constexpr int kMinimumDurations = 3;

// One year of a station: the maximum of each duration; none where the archive holds none.
struct YearMaxima {
    int year = 0;
    std::array<std::optional<double>, kDurations> values;
};

struct DurationFit {
    bool present = false;  // the rows hold this duration at all
    std::vector<int> years;
    std::vector<double> values;  // in the order of the years
    SampleStats stats;
    std::optional<Gumbel> gumbel;
    QString reason;  // why there is no fit
    std::array<double, kReturnPeriodCount> quantiles{};
    KolmogorovSmirnov ks;
    ChiSquare chi;
};

// h = a·tⁿ by least squares on ln h against ln t.
struct PowerLaw {
    bool valid = false;
    double a = 0;
    double n = 0;
    double r2 = 0;
    int points = 0;
    QString reason;  // why there is none
};
PowerLaw fitPowerLaw(const std::vector<double>& t, const std::vector<double>& h);

struct DdfAnalysis {
    GumbelMethod method = GumbelMethod::Moments;
    int firstYear = 0;  // the years with at least one maximum (0 when none)
    int lastYear = 0;
    std::array<DurationFit, kDurations> fits;
    std::array<PowerLaw, kReturnPeriodCount> hours;  // one per return period
    std::array<PowerLaw, kReturnPeriodCount> days;
    bool anyPresent(bool days) const;
};

// `present` says which durations the rows hold (a search may have asked for hours or days only).
DdfAnalysis analyseDdf(const std::vector<YearMaxima>& years, const std::array<bool, kDurations>& present,
                       GumbelMethod method);

// The maxima of one station as the rainfall search's rows hold them: "Anno" and a column per
// duration, named as the statement names it. A missing column is a duration not asked for.
struct MaximaRows {
    std::vector<YearMaxima> years;
    std::array<bool, kDurations> present{};
    QString error;  // why the rows cannot be read as one station's years
};
// Rows is any record set with fieldIndex, recordCount, isNull and value(row, field).toDouble().
template <class Rows>
MaximaRows readMaxima(const Rows& rows);
// Checks a year list read by readMaxima: each year once.
QString checkYears(const std::vector<YearMaxima>& years);

// The method's name as the window and the tool print it.
QString methodName(GumbelMethod method);

template <class Rows>
MaximaRows readMaxima(const Rows& rows) {
    MaximaRows m;
    const int yearField = rows.fieldIndex(QStringLiteral("Anno"));
    if (yearField < 0) {
        m.error = QStringLiteral("Le righe non hanno la colonna Anno.");
        return m;
    }
    std::array<int, kDurations> fields{};
    for (int d = 0; d < kDurations; ++d) {
        fields[d] = rows.fieldIndex(QString::fromUtf8(kDurationList[d].caption));
        m.present[d] = fields[d] >= 0;
    }
    for (int r = 0; r < rows.recordCount(); ++r) {
        if (rows.isNull(r, yearField)) {
            continue;  // a row without its year belongs to no year
        }
        YearMaxima y;
        y.year = int(rows.value(r, yearField).toDouble());
        for (int d = 0; d < kDurations; ++d) {
            if (fields[d] >= 0 && !rows.isNull(r, fields[d])) {
                y.values[d] = rows.value(r, fields[d]).toDouble();
            }
        }
        m.years.push_back(y);
    }
    m.error = checkYears(m.years);
    return m;
}

}  // namespace analysis
