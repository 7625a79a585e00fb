// The sample archive of the Regione Sorvane: orbeni.mdb with every record source the viewer
// reads, and the station pictures in cartograf/. Deterministic: the same options give the same files.
#pragma once

#include "jetwriter.h"

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
