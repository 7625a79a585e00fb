#include "daily/dailystatement.h"

#include "db/global.h"

namespace daily {

const std::array<Quantity, kQuantityCount>& quantities() {
    static const std::array<Quantity, kQuantityCount> list = {{
        {"chkPioggia", "Precipitazioni", ", Pioggia as [pioggia mm]"},
        {"chkTempMax", "Temperatura Massima", ", TempMax as [Temperatura massima °C]"},
        {"chkTempMin", "Temperatura Minima", ", TempMin as [Temperatura minima °C]"},
        {"chkTempMed", "Temperatura Media", ", TempMed as [Temperatura media °C]"},
        {"chkAltneve", "Altezza della neve al suolo", ", AltNeve as [Altezza della neve cm]"},
        {"chkVelMedia", "Velocità media del vento", ", VelMedia as [Velocità media del vento (Km/h)]"},
        {"chkVelMax", "Velocità massima del vento", ", VelMax as [Velocità massima del vento (Km/h)]"},
        {"chkDirVento", "Direzione del vento",
         ", DirVento as [Direzione prevalente del vento], OreDir as [Ore di permanenza della direzione "
         "prevalente]"},
        {"chkUmidità", "Umidità dell'aria", ", Umidità as [Umidità dell'aria]"},
        {"chkRadiazione", "Radiazione Globale", ", Radiazione as [Radiazione solare globale (MJ/MQ)]"},
        {"Chkumidmax", "Umidità Massima", ", Umidmax as [Umidità massima]"},
        {"ChkUmidmin", "Umidità Minima", ", Umidmin as [Umidità minima]"},
        {"ChkCalme", "Calme di vento", ", calme as [Calme di vento]"},
    }};
    return list;
}

QString trimBlanks(const QString& text) {
    int first = 0;
    int last = text.size();
    while (first < last && text.at(first) == QLatin1Char(' ')) {
        ++first;
    }
    while (last > first && text.at(last - 1) == QLatin1Char(' ')) {
        --last;
    }
    return text.mid(first, last - first);
}

bool buildDailyStatement(const DailyChoice& choice) {
    const QString station = trimBlanks(choice.stationText);
    const QString year = trimBlanks(choice.yearText);
    const QString month = trimBlanks(choice.monthText);
    const QString day = trimBlanks(choice.dayText);

    Global::DailyStationFilter.clear();
    Global::DailyMonthFilter.clear();
    Global::DailyDayFilter.clear();
    Global::DailyYearFilter.clear();

    Global::DailySql = QStringLiteral("select ");
    Global::DailyFields = QStringLiteral(" nomestaz as [Denominazione], Giorno, Mese, Anno ");
    for (int i = 0; i < kQuantityCount; ++i) {
        if (choice.boxes[i] == kTicked) {
            Global::DailyFields += QString::fromUtf8(quantities()[i].fragment);
        }
    }
    Global::DailyFields += QStringLiteral(" from  database1 ");

    if (station.isEmpty() && year.isEmpty() && month.isEmpty() && day.isEmpty()) {
        return false;
    }

    Global::DailyWhere = QStringLiteral("where ");
    if (!station.isEmpty()) {
        Global::DailyStationFilter = QStringLiteral("codStaz = ") + choice.stationKey;
        if (!year.isEmpty() || !month.isEmpty() || !day.isEmpty()) {
            Global::DailyStationFilter += QStringLiteral(" and ");
        }
    }
    if (!year.isEmpty()) {
        Global::DailyYearFilter = QStringLiteral("anno = ") + choice.yearKey;
        if (!month.isEmpty() || !day.isEmpty()) {
            Global::DailyYearFilter += QStringLiteral(" and ");
        }
    }
    if (!month.isEmpty()) {
        Global::DailyMonthFilter = QStringLiteral("mese = ") + choice.monthKey;
        if (!day.isEmpty()) {
            Global::DailyMonthFilter += QStringLiteral(" and ");
        }
    }
    if (!day.isEmpty()) {
        Global::DailyDayFilter = QStringLiteral("giorno = ") + choice.dayKey;
    }
    Global::DailyWhere += Global::DailyStationFilter + Global::DailyYearFilter + Global::DailyMonthFilter +
                          Global::DailyDayFilter;
    Global::DailySql += Global::DailyFields + Global::DailyWhere;
    return true;
}

}  // namespace daily
