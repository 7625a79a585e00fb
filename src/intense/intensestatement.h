// The intense-rainfall statement: built from the station and year criteria and the two groups of
// maxima (hours, days).
#pragma once

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

// The statement and its parts, named as the Global variables that keep them.
struct IntenseStatement {
    QString sql;                // IntenseSql: "select " alone when there is no criterion
    QString fields;             // IntenseFields
    QString where;              // IntenseWhere: empty when there is no criterion
    QString stationFilter;      // IntenseStationFilter: empty when the list is empty
    QString yearFilter;         // IntenseYearFilter
    bool hasCriterion = false;  // false when both texts are empty: nothing is searched
};

IntenseStatement buildIntenseStatement(const IntenseChoice& choice);

// Writes the statement to Global as a press of "&Seleziona" does: the where clause only when
// there is a criterion (otherwise the last one stays), the flag true only then.
void publish(const IntenseStatement& statement);

}  // namespace intense
