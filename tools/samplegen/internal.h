// Shared by the parts of the sample generator.
#pragma once

#include "samplegen/samplegen.h"

#include <QDate>
#include <QList>
#include <QString>

#include <cmath>

namespace samplegen {

// A small deterministic generator (splitmix64), so the archive is the same on every machine.
class Rng {
  public:
    explicit Rng(quint64 seed) : s_(seed) {}
    quint64 next() {
        quint64 z = (s_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    double uniform() { return double(next() >> 11) / double(1ull << 53); }
    int range(int lo, int hi) { return lo + int(next() % quint64(hi - lo + 1)); }
    double normal() {
        // Sum of uniforms: close enough to a normal for weather noise, and branch-free.
        double s = 0;
        for (int i = 0; i < 6; ++i)
            s += uniform();
        return (s - 3.0) * std::sqrt(2.0);
    }

  private:
    quint64 s_;
};

struct Station {
    StationInfo info;
    QString comune;
    QString provincia;
    int quota = 0;
    QString bacino;
    QString localita;
    QString tipo;
    QDate validita;
    double mapX = 0;  // 0..1 across the region, west to east
    double mapY = 0;  // 0..1 down the region, north to south
    double utmX = 0;
    double utmY = 0;
    QString latitudine;
    QString longitudine;
    bool hasWind = false;
    bool hasRadiation = false;
    bool hasHumidity = false;
    bool hasSnow = false;
    int missingIntenseYear = 0;  // a year without a row in piog9099, or 0
};

QList<Station> buildStations(const Options& options);

constexpr int kFirstYear = 1990;
constexpr int kLastYear = 1999;

// The information texts help0..help4.
QString helpText(int index, const QList<Station>& stations);

// Writes folder/cartograf/ with the two pictures of every station that has them.
bool writePictures(const QString& folder, const QList<Station>& stations, QString* error);

}  // namespace samplegen
