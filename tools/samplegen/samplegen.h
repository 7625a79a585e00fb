// The sample archive of the Regione Sorvane: orbeni.mdb with every record source the viewer
// reads, and the station pictures in cartograf/. Deterministic: the same options give the same files.
//
// Content (default options): 40 stations, codes ascending in "anagrafica compl" (first 1000).
// database1: every station, every day of 1990-1999 (3652 rows each, 146 080 in all), stored by
// station then date; NULLs where a sensor is missing (humidity, wind, radiation, snow below 500 m)
// and during outages. piog9099: one row per year for the stations with hasIntenseRows (one year
// missing for the 17th station); mensili: 5 to 8 statistics per station and year, none for the
// station without hasMonthly. "Anagraficab"/"anagraficaa" (NomeStaz, codstaz) in name order;
// "Anno" 1990..1999, "Mese" (mese, TESTO "Gennaio".."Dicembre"), "Giorno" 1..31; "help" one row of
// five memos, help1 over 20 000 characters. Two stations are both named "San Michele".
// Station properties by position (see stations()): index 7 has no pictures, 3/12/25 have
// upper-case picture names, 18 has no monthly rows, 27 is listed in "anagraficaa" without rows.
// With fewer stations (Options::stations) the archive is smaller and some of these cases vanish.
// Types: codes Long; Giorno, Mese, Anno, anno, mese Integer; measurements Double; DirVento Text;
// Data..Data9 and "Data validità" DateTime; Quota Long; "UTM X"/"UTM Y" Double; the rest Text.
#pragma once

#include "jetwriter/jetwriter.h"

#include <QList>
#include <QString>

namespace samplegen {

struct Options {
    jetwriter::Version version = jetwriter::Version::Jet4;
    int stations = 40;
    // When above the default size, more stations are added until database1 holds at least this
    // many rows (the benchmark archive uses 1 000 000).
    int minDailyRows = 0;
    // "Anno", "Mese", "Giorno", "Anagraficab" and "anagraficaa" written as stored queries.
    bool lookupsAsQueries = false;
    bool pictures = true;
};

struct StationInfo {
    int code = 0;
    QString name;
    bool inDailyList = false;        // listed in "Anagraficab"
    bool inIntenseList = false;      // listed in "anagraficaa"
    bool hasIntenseRows = false;     // has rows in piog9099 (one listed station has none)
    bool hasMonthly = false;         // has rows in mensili
    bool hasPictures = false;        // r_CODE.jpg and s_CODE.jpg exist
    bool upperCasePictures = false;  // written as R_CODE.JPG / S_CODE.JPG
};

// The stations the options give, in the order of "anagrafica compl".
QList<StationInfo> stations(const Options& options);

// Writes folder/orbeni.mdb and, with pictures, folder/cartograf/. Returns false and fills *error on failure.
bool writeSample(const QString& folder, const Options& options, QString* error = nullptr);

}  // namespace samplegen
