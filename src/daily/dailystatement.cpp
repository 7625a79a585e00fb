#include "daily/dailystatement.h"

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

QString dailyFields(const std::array<int, kQuantityCount>& boxes) {
    QString fields = QStringLiteral(" nomestaz as [Denominazione], Giorno, Mese, Anno ");
    for (int i = 0; i < kQuantityCount; ++i) {
        if (boxes[i] == forms::kTicked) {
            fields += QString::fromUtf8(quantities()[i].fragment);
        }
    }
    return fields;
}

forms::Statement buildDailyStatement(const DailyChoice& choice) {
    const QString fields = dailyFields(choice.boxes) + QStringLiteral(" from  database1 ");
    return forms::buildStatement(fields,
                                 {
                                     {choice.stationText, QStringLiteral("codStaz = "), choice.stationKey},
                                     {choice.yearText, QStringLiteral("anno = "), choice.yearKey},
                                     {choice.monthText, QStringLiteral("mese = "), choice.monthKey},
                                     {choice.dayText, QStringLiteral("giorno = "), choice.dayKey},
                                 });
}

}  // namespace daily
