// The summary window's chart tabs: the climograph, for the months' normals or a chosen year, and
// the cumulative rain of every year. Each is drawn when its tab is first looked at for a station.
#include "chart/chartwindow.h"
#include "daily/frmriepilogo.h"
#include "daily/summarycharts.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace daily {

namespace {

// A chart window inside a tab: its own save and print buttons, no closing of its own.
chart::ChartWindow* embeddedChart(QWidget* page, const char* name) {
    auto* chart = new chart::ChartWindow(page);
    chart->setWindowFlags(Qt::Widget);
    chart->setObjectName(QString::fromLatin1(name));
    chart->cmdChiudi->hide();
    return chart;
}

}  // namespace

void frmRiepilogo::buildChartTabs() {
    auto* climograph = new QWidget(tabRiepilogo);
    cmbAnno = new QComboBox(climograph);
    cmbAnno->setObjectName(QStringLiteral("cmbAnno"));
    cmbAnno->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    chartClimogramma = embeddedChart(climograph, "chartClimogramma");
    auto* choice = new QHBoxLayout;
    auto* year = new QLabel(QStringLiteral("Anno"), climograph);
    year->setBuddy(cmbAnno);  // names the list for screen readers
    choice->addWidget(year);
    choice->addWidget(cmbAnno);
    choice->addStretch(1);
    auto* text =
        new QLabel(QStringLiteral("Pioggia totale del mese (barre) e medie mensili della temperatura "
                                  "massima e minima (linee), con le regole dei riepiloghi mensili: un "
                                  "mese non calcolato resta vuoto, e per la pioggia è segnato in basso."),
                   climograph);
    text->setWordWrap(true);
    auto* layout = new QVBoxLayout(climograph);
    layout->addLayout(choice);
    layout->addWidget(text);
    layout->addWidget(chartClimogramma, 1);
    tabRiepilogo->addTab(climograph, QStringLiteral("Climo&gramma"));
    connect(cmbAnno, &QComboBox::activated, this, [this] {
        chartDrawn_[0] = false;
        drawCharts(tabRiepilogo->currentIndex());
    });

    auto* cumulative = new QWidget(tabRiepilogo);
    chartCumulata = embeddedChart(cumulative, "chartCumulata");
    auto* note = new QLabel(QStringLiteral("Pioggia sommata dal primo gennaio, un anno per linea. Un giorno "
                                           "senza dato interrompe la linea del suo anno: da lì in poi la "
                                           "somma non sarebbe più la pioggia dell'anno."),
                            cumulative);
    note->setWordWrap(true);
    auto* cumulativeLayout = new QVBoxLayout(cumulative);
    cumulativeLayout->addWidget(note);
    cumulativeLayout->addWidget(chartCumulata, 1);
    tabRiepilogo->addTab(cumulative, QStringLiteral("Pioggia c&umulata"));
}

void frmRiepilogo::chartsForStation() {
    const QVariant chosen = cmbAnno->currentData();
    cmbAnno->clear();
    cmbAnno->addItem(QStringLiteral("normale"), 0);
    int last = -1;
    for (const analysis::MonthSummary& m : summary_.months) {
        if (m.year != last) {
            cmbAnno->addItem(QString::number(m.year), m.year);
            last = m.year;
        }
    }
    // The year chosen stays chosen when the next station has it too.
    cmbAnno->setCurrentIndex(std::max(0, cmbAnno->findData(chosen)));
    chartDrawn_.fill(false);
    drawCharts(tabRiepilogo->currentIndex());
}

void frmRiepilogo::drawCharts(int tab) {
    if (tab == Climogramma && !chartDrawn_[0]) {
        chartClimogramma->showData(
            climograph(summary_, cmbAnno->currentData().toInt(), stationName(station_)));
        chartDrawn_[0] = true;
    } else if (tab == Cumulata && !chartDrawn_[1]) {
        chartCumulata->showData(cumulativeRain(summary_, stationName(station_)));
        chartDrawn_[1] = true;
    }
}

}  // namespace daily
