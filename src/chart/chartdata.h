// What a chart shows, taken from the record set a grid shows: series of numbers over days (daily
// values), over durations (rainfall maxima) or over months (monthly figures). Pure: no window.
#pragma once

#include <QDate>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <QVector>

namespace jet {
class RecordSet;
}

namespace chart {

enum class Kind { Daily, Rainfall, Monthly };
enum class Style { Line, Bar };

struct Series {
    QString title;    // the caption, with the station's name (or the year) in front when needed
    QString caption;  // the grid's column caption, or the monthly row's parameter
    QString station;
    QString unit;  // as the caption names it ("°C", "mm", "Km/h"); empty when it names none
    Style style = Style::Line;
    // Drawn; the others wait in the legend, where a click shows them.
    bool shown = true;
    QVector<double> x;  // daily: the Julian day number; otherwise the category's index
    QVector<double> y;  // NaN where the grid shows no value (NULL)
};

struct ChartData {
    Kind kind = Kind::Daily;
    QString caption;  // the window's: "Grafico - stations - period"
    QString title;    // the chart's own: "stations - period"
    QString xTitle;
    QString lineTitle;       // the axis of the lines
    QString barTitle;        // the axis of the bars (empty when there are none)
    QStringList categories;  // the horizontal axis' labels (rainfall and monthly)
    QStringList stations;
    QString period;     // "dal 01/01/1995 al 31/12/1995", "anno 1995", "anni 1994-1996"
    QDate first, last;  // daily: the days covered
    QVector<Series> series;
};

// Daily values: one set of series per station (the "Denominazione" column), every numeric
// quantity column; rain and snow as bars, the rest as lines. The date comes from the Giorno, Mese
// and Anno columns; a row whose date is not a calendar date is left out.
ChartData dailySeries(const jet::RecordSet& rows);
// Rainfall maxima: one line per row (station and year) over the durations, in column order.
ChartData rainfallSeries(const jet::RecordSet& rows);
// Monthly figures of one station: one series per parameter over the months, for the year of
// `currentRow` (the first row's year when it designates none).
ChartData monthlySeries(const jet::RecordSet& rows, int currentRow, const QString& station);

// The daily chart for one of its stations only (its caption then names that station).
ChartData forStation(const ChartData& data, const QString& station);

// Which series a chart draws at first: every bar, and the lines measured as the first
// temperature (or, with none, as the first line), so one axis never mixes units. The axes'
// titles follow.
void chooseShown(ChartData& data);
// Shows or hides every series of `caption` (of every station); the axes' titles follow.
void setShown(ChartData& data, const QString& caption, bool shown);
// The titles of the axes of lines and of bars from the units of the series shown:
// "Temperatura (°C)", "Valore (°C, Km/h)", "Valore" when a line names no unit,
// "Pioggia (mm) / Neve (cm)".
QString lineAxisTitle(const QVector<Series>& series);
QString barAxisTitle(const QVector<Series>& series);

// The unit a caption names: the text of its last brackets, or a last word that is a unit.
QString unitOf(const QString& caption);
// A value as the grid shows it, as a number; NaN for NULL and for values that are not numbers.
double numberShown(const jet::RecordSet& rows, int row, int field);

}  // namespace chart
