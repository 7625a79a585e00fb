// The daily statement: built from the four criteria and the thirteen quantity boxes of the
// selection form, as fixed fragments joined in a fixed order, and kept in the Global variables.
#pragma once

#include <QString>

#include <array>

namespace daily {

// The message shown when a search names no criterion (both selection forms use it).
inline const char* const kNoCriterionMessage =
    "Impossibile eseguire la ricerca dei dati, almeno una casella deve essere valida";

// One quantity box: its control name, its caption and the select-list fragment it appends.
struct Quantity {
    const char* box;
    const char* caption;
    const char* fragment;
};
inline constexpr int kQuantityCount = 13;
// In the order their fragments are appended (and their columns appear).
const std::array<Quantity, kQuantityCount>& quantities();

// A box counts as ticked only when its value is 1 (0 clear, 2 greyed).
constexpr int kTicked = 1;

struct DailyChoice {
    // What each list shows (blanks around it are ignored).
    QString stationText, yearText, monthText, dayText;
    // The key values read from the rows the lists designate; written into the statement as they are.
    QString stationKey, yearKey, monthKey, dayKey;
    // Box values in the order of quantities().
    std::array<int, kQuantityCount> boxes{};
};

// The archive's "trim": leading and trailing blanks removed (blanks only, as the original did).
QString trimBlanks(const QString& text);

// Rebuilds Global::DailySql and its parts from the choice. Returns false, with the criteria
// emptied and no where clause built, when all four texts are empty: the caller then shows
// kNoCriterionMessage and opens nothing.
bool buildDailyStatement(const DailyChoice& choice);

}  // namespace daily
