// The intense-rainfall statement: built from the station and year criteria and the two groups of
// maxima (hours, days).
#pragma once

#include "forms/choice.h"

#include <QString>

namespace intense {

inline const char* const kHoursFragment =
    ", unhh as [1 ora], Data, trehh as [3 ore], Data1, seihh as [6 ore], Data2, dodhh as [12 ore], Data3, "
    "venhh as [24 ore], Data4";
inline const char* const kDaysFragment =
    ", ungg as [1 giorno], Data5, duegg as [2 giorni], Data6, tregg as [3 giorni], Data7, quagg as [4 "
    "giorni], "
    "Data8, cingg as [5 giorni], Data9";

struct IntenseChoice {
    QString stationText, yearText;  // what the lists show
    QString stationKey, yearKey;    // read from the rows the lists designate
    int hoursBox = 1;               // chkore: 1 ticked, anything else not
    int daysBox = 1;                // Chkgiorni
};

// The filters of the statement, in the order of its criteria.
enum IntenseFilter { kStationFilter, kYearFilter };

forms::Statement buildIntenseStatement(const IntenseChoice& choice);

}  // namespace intense
