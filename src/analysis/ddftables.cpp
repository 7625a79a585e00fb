#include "analysis/ddftables.h"

namespace analysis {

QString mm(double v) {
    return QString::number(v, 'f', 2);
}

QString ratio(double v) {
    return QString::number(v, 'f', 4);
}

namespace {

QString verdict(bool accepted) {
    return accepted ? QStringLiteral("accettata") : QStringLiteral("respinta");
}

}  // namespace

TextTable quantileTable(const DdfAnalysis& a) {
    TextTable t;
    t.captions << QStringLiteral("T (anni)");
    for (int d = 0; d < kDurations; ++d) {
        if (a.fits[d].present) {
            t.captions << QString::fromUtf8(kDurationList[d].caption);
        }
    }
    for (int i = 0; i < kReturnPeriodCount; ++i) {
        QStringList row{QString::number(kReturnPeriods[i])};
        for (int d = 0; d < kDurations; ++d) {
            if (a.fits[d].present) {
                row << (a.fits[d].gumbel ? mm(a.fits[d].quantiles[i]) : QString());
            }
        }
        t.rows << row;
    }
    return t;
}

TextTable curveTable(const DdfAnalysis& a, bool days) {
    TextTable t;
    t.captions << QStringLiteral("T (anni)") << QStringLiteral("a (mm)") << QStringLiteral("n")
               << QStringLiteral("R²");
    const auto& curves = days ? a.days : a.hours;
    for (int i = 0; i < kReturnPeriodCount; ++i) {
        const PowerLaw& p = curves[i];
        t.rows << QStringList{QString::number(kReturnPeriods[i]), p.valid ? mm(p.a) : QString(),
                              p.valid ? ratio(p.n) : QString(), p.valid ? ratio(p.r2) : QString()};
    }
    return t;
}

TextTable fitTable(const DdfAnalysis& a) {
    TextTable t;
    t.captions << QStringLiteral("Durata") << QStringLiteral("Anni") << QStringLiteral("Media (mm)")
               << QStringLiteral("Scarto (mm)") << QStringLiteral("α (1/mm)") << QStringLiteral("u (mm)")
               << QStringLiteral("KS D") << QStringLiteral("KS critico 5 %") << QStringLiteral("Esito KS")
               << QStringLiteral("χ²") << QStringLiteral("χ² critico 5 %") << QStringLiteral("χ² classi")
               << QStringLiteral("Esito χ²") << QStringLiteral("Note");
    for (int d = 0; d < kDurations; ++d) {
        const DurationFit& f = a.fits[d];
        if (!f.present) {
            continue;
        }
        QStringList row{QString::fromUtf8(kDurationList[d].caption), QString::number(f.stats.count)};
        const bool some = f.stats.count > 0;
        row << (some ? mm(f.stats.mean) : QString()) << (f.stats.count > 1 ? mm(f.stats.sd) : QString());
        if (f.gumbel) {
            row << QString::number(f.gumbel->alpha, 'f', 6) << mm(f.gumbel->u) << ratio(f.ks.d)
                << ratio(f.ks.critical) << verdict(f.ks.accepted());
            if (f.chi.applicable) {
                row << ratio(f.chi.statistic) << ratio(f.chi.critical)
                    << QStringLiteral("%1 equiprobabili, %2 g.d.l.").arg(f.chi.classes).arg(f.chi.degrees)
                    << verdict(f.chi.accepted()) << QString();
            } else {
                row << QString() << QString() << QString() << QString()
                    << QStringLiteral("χ² non applicabile: servono almeno %1 anni").arg(kChiSquareMinimum);
            }
        } else {
            for (int i = 0; i < 9; ++i) {
                row << QString();
            }
            row << f.reason;
        }
        t.rows << row;
    }
    return t;
}

}  // namespace analysis
