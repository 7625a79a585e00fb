// The sample archive's stations: the forty of the network, where they stand and what they measure.
#include "samplegen/internal.h"

#include <algorithm>
#include <cmath>

namespace samplegen {

namespace {

struct BaseStation {
    const char* name;
    const char* comune;
    const char* provincia;
    int quota;
    const char* bacino;
    const char* localita;
};

// The forty stations of the network. Two share the name "San Michele" (different municipalities).
const BaseStation kBase[] = {
    {"Sorvane Città", "Sorvane", "SV", 38, "Sorva", "Via dell'Osservatorio 4"},
    {"Pievebruna", "Pievebruna", "SV", 112, "Sorva", "Loc. Il Mulino"},
    {"Roccalupa", "Roccalupa", "MA", 684, "Ardenza", "Piazza del Castello"},
    {"Montecaldo Alto", "Montecaldo", "MA", 1210, "Ardenza", "Loc. Prato Grande"},
    {"Borgo Ferrano", "Ferrano", "CR", 245, "Ferrina", "Via Garibaldi 18"},
    {"Valdora", "Valdora", "VD", 402, "Rivo", "Scuola elementare"},
    {"Sant'Elmo di Sorvane", "Sant'Elmo", "SV", 76, "Sorva", "Loc. Chiusa"},
    {"Casale Rivo", "Casale Rivo", "VD", 158, "Rivo", "Cascina Rivo"},
    {"Torre Ardenza", "Torre Ardenza", "MA", 530, "Ardenza", "Loc. La Torre"},
    {"San Michele", "San Michele al Rivo", "VD", 221, "Rivo", "Via della Chiesa 2"},
    {"Fontanelle Basse", "Fontanelle", "CR", 61, "Ferrina", "Idrovora Fontanelle"},
    {"Pian dei Tassi", "Montecaldo", "MA", 1465, "Ardenza", "Rifugio Pian dei Tassi"},
    {"Colle Aurino", "Aurino", "CR", 812, "Brunale", "Loc. Il Colle"},
    {"Mulino Vecchio", "Pievebruna", "SV", 94, "Sorva", "Loc. Mulino Vecchio"},
    {"Passo Gravena", "Gravena", "MA", 1720, "Ardenza", "Passo Gravena"},
    {"Lago Verdino", "Gravena", "MA", 1388, "Brunale", "Diga del Verdino"},
    {"Acquabianca", "Acquabianca", "VD", 620, "Rivo", "Centrale idroelettrica"},
    {"Poggio Ombroso", "Roccalupa", "MA", 905, "Ardenza", "Loc. Poggio"},
    {"Ca' dei Merli", "Ferrano", "CR", 188, "Ferrina", "Podere Ca' dei Merli"},
    {"Serravalle Sorvana", "Serravalle", "SV", 277, "Sorva", "Via Roma 31"},
    {"Rivalta Nuova", "Rivalta", "VD", 134, "Rivo", "Consorzio di bonifica"},
    {"Campolungo", "Campolungo", "CR", 349, "Brunale", "Loc. Campolungo"},
    {"Vignale Sorvano", "Vignale", "SV", 198, "Sorva", "Cantina sociale"},
    {"Chiusa Ferrina", "Aurino", "CR", 472, "Ferrina", "Casello idraulico"},
    {"Monte Brunale", "Aurino", "CR", 1533, "Brunale", "Vetta del Monte Brunale"},
    {"Selvapiana", "Selvapiana", "VD", 755, "Rivo", "Vivaio forestale"},
    {"Borgonero", "Borgonero", "MA", 966, "Ardenza", "Via del Borgo 7"},
    {"Cerreto Alto", "Cerreto", "VD", 1102, "Rivo", "Loc. Cerreto"},
    {"Ponte Arsiccio", "Ferrano", "CR", 143, "Ferrina", "Ponte sul Ferrina"},
    {"Malga Fredda", "Gravena", "MA", 1842, "Brunale", "Malga Fredda"},
    {"San Michele", "San Michele in Colle", "CR", 588, "Brunale", "Piazza San Michele"},
    {"Prato Stellino", "Selvapiana", "VD", 1290, "Rivo", "Loc. Prato Stellino"},
    {"Lungariva", "Lungariva", "SV", 22, "Sorva", "Foce del Sorva"},
    {"Castagneto Sorvano", "Castagneto", "SV", 365, "Sorva", "Loc. Castagneto"},
    {"Pietrafitta", "Pietrafitta", "CR", 703, "Ferrina", "Cava di Pietrafitta"},
    {"Orsaia", "Borgonero", "MA", 1175, "Ardenza", "Loc. Orsaia"},
    {"Cascina Però", "Rivalta", "VD", 89, "Rivo", "Cascina Però"},
    {"Valle Oscura", "Cerreto", "VD", 840, "Rivo", "Loc. Valle Oscura"},
    {"Bastia Ferrina", "Bastia", "CR", 121, "Ferrina", "Via Argine 5"},
    {"Monterosso di Sorvane", "Monterosso", "SV", 515, "Sorva", "Loc. Belvedere"},
};
constexpr int kBaseCount = int(sizeof(kBase) / sizeof(kBase[0]));

const char* const kTipi[] = {"Termopluviometrica", "Pluviometrica", "Meteorologica completa",
                             "Agrometeorologica"};

QString dms(double deg) {
    int total = int(std::lround(deg * 3600.0));
    return QStringLiteral("%1°%2'%3\"")
        .arg(total / 3600)
        .arg((total / 60) % 60, 2, 10, QLatin1Char('0'))
        .arg(total % 60, 2, 10, QLatin1Char('0'));
}

}  // namespace

QList<Station> buildStations(const Options& options) {
    int count = std::max(1, options.stations);
    const int perStation = QDate(kFirstYear, 1, 1).daysTo(QDate(kLastYear, 12, 31)) + 1;
    if (options.minDailyRows > count * perStation)
        count = (options.minDailyRows + perStation - 1) / perStation;
    QList<Station> list;
    Rng rng(20240601);
    for (int i = 0; i < count; ++i) {
        Station s;
        StationInfo& info = s.info;
        if (i < kBaseCount) {
            const BaseStation& b = kBase[i];
            info.name = QString::fromUtf8(b.name);
            s.comune = QString::fromUtf8(b.comune);
            s.provincia = QString::fromUtf8(b.provincia);
            s.quota = b.quota;
            s.bacino = QString::fromUtf8(b.bacino);
            s.localita = QString::fromUtf8(b.localita);
            info.code = 1000 + 25 * i + (i * 7) % 11;
        } else {
            // Extra stations for the large archive: ordinary rain gauges along the basins.
            const BaseStation& b = kBase[i % kBaseCount];
            info.name = QStringLiteral("%1 %2").arg(QString::fromUtf8(b.name)).arg(i / kBaseCount + 1);
            s.comune = QString::fromUtf8(b.comune);
            s.provincia = QString::fromUtf8(b.provincia);
            s.quota = std::max(5, b.quota + rng.range(-80, 80));
            s.bacino = QString::fromUtf8(b.bacino);
            s.localita = QStringLiteral("Stazione ausiliaria n. %1").arg(i);
            info.code = 5000 + i;
        }
        // Higher stations lie further north, in the mountains; the coast is to the south-west.
        s.mapY = std::clamp(0.88 - s.quota / 1900.0 * 0.75 + (rng.uniform() - 0.5) * 0.12, 0.06, 0.94);
        s.mapX = std::clamp(0.12 + 0.8 * rng.uniform(), 0.08, 0.92);
        s.utmX = std::round(560000 + s.mapX * 120000);
        s.utmY = std::round(4960000 - s.mapY * 90000);
        s.latitudine = dms(43.82 + (s.utmY - 4850000) / 111000.0);
        s.longitudine = dms(10.25 + (s.utmX - 560000) / 80500.0);
        s.tipo = QString::fromUtf8(kTipi[i % 4]);
        s.validita = QDate(1950 + rng.range(0, 35), rng.range(1, 12), 1).addDays(rng.range(0, 27));
        s.hasWind = i % 4 == 2 || i % 5 == 0;
        s.hasRadiation = i % 4 == 2 || i % 4 == 3;
        s.hasHumidity = i % 4 != 1;
        s.hasSnow = s.quota >= 500;
        info.inDailyList = !(i == 5 || i == 22 || i == 33 || i == 38);
        info.inIntenseList = i % 3 != 2 || i == 5;
        info.hasIntenseRows = info.inIntenseList && i != 27;
        info.hasMonthly = i != 18;
        info.hasPictures = options.pictures && i != 7;
        info.upperCasePictures = info.hasPictures && (i == 3 || i == 12 || i == 25);
        if (i == 16)
            s.missingIntenseYear = 1994;
        list.append(s);
    }
    return list;
}

QList<StationInfo> stations(const Options& options) {
    QList<StationInfo> out;
    for (const Station& s : buildStations(options))
        out.append(s.info);
    return out;
}

}  // namespace samplegen
