// The statement the daily form sends with every quantity ticked, for the benchmarks.
#pragma once

#include <QString>

namespace bench {

// The fields, each under the grid's caption.
inline const char* const kDailyFields =
    "nomestaz as [Denominazione], Giorno, Mese, Anno , Pioggia as [pioggia mm], TempMax as [Temperatura "
    "massima °C], TempMin as [Temperatura minima °C], TempMed as [Temperatura media °C], AltNeve as "
    "[Altezza della neve cm], VelMedia as [Velocità media del vento (Km/h)], VelMax as [Velocità massima "
    "del vento (Km/h)], DirVento as [Direzione prevalente del vento], OreDir as [Ore di permanenza della "
    "direzione prevalente], Umidità as [Umidità dell'aria], Radiazione as [Radiazione solare globale "
    "(MJ/MQ)], Umidmax as [Umidità massima], Umidmin as [Umidità minima], calme as [Calme di vento]";

// The whole statement under `where` (without the word).
inline QString dailySelect(const QString& where) {
    return QStringLiteral("select  %1 from  database1 where %2").arg(QString::fromUtf8(kDailyFields), where);
}

}  // namespace bench
