#include "intense/frmcurva.h"

#include "analysis/ddftables.h"
#include "chart/chartwindow.h"
#include "db/location.h"
#include "export/exporttarget.h"
#include "forms/figuretable.h"
#include "forms/formkit.h"
#include "forms/gridactions.h"
#include "intense/curvafigure.h"
#include "intense/curvareport.h"
#include "jet/tabwriter.h"
#include "runtime/form.h"
#include "runtime/seams.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace {

std::shared_ptr<const forms::FigureRows> figures(const analysis::TextTable& t) {
    return std::make_shared<forms::FigureRows>(t.captions, t.rows);
}

QLabel* wrappingLabel(const char* name, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

}  // namespace

frmCurva::frmCurva(QWidget* owner) : QWidget(owner, Qt::Window) {
    setObjectName(QStringLiteral("frmCurva"));
    setWindowTitle(QStringLiteral("Curva di possibilità pluviometrica"));
    auto* lblStazione = new QLabel(QStringLiteral("&Stazione"), this);
    cmbStazione = new QComboBox(this);
    cmbStazione->setObjectName(QStringLiteral("cmbStazione"));
    cmbStazione->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    lblStazione->setBuddy(cmbStazione);
    optMomenti = new QRadioButton(QStringLiteral("Metodo dei &momenti"), this);
    optMomenti->setObjectName(QStringLiteral("optMomenti"));
    optMomenti->setChecked(true);
    optLMomenti = new QRadioButton(QStringLiteral("Metodo degli &L-momenti"), this);
    optLMomenti->setObjectName(QStringLiteral("optLMomenti"));
    auto* methods = new QButtonGroup(this);
    methods->addButton(optMomenti);
    methods->addButton(optLMomenti);
    lblMetodo = wrappingLabel("lblMetodo", this);
    lblNote = wrappingLabel("lblNote", this);

    grdQuantili = new forms::FigureTable(QStringLiteral("grdQuantili"), this);
    grdCurvaOre = new forms::FigureTable(QStringLiteral("grdCurvaOre"), this);
    grdCurvaGiorni = new forms::FigureTable(QStringLiteral("grdCurvaGiorni"), this);
    grdAdattamento = new forms::FigureTable(QStringLiteral("grdAdattamento"), this);
    tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("tabs"));
    tabs->setAccessibleName(windowTitle());  // the tabs' frame, which screen readers enter
    auto* quantiles = new QWidget;
    auto* quantileLayout = new QVBoxLayout(quantiles);
    // Each table under its heading, which names it for screen readers.
    const auto headed = [quantileLayout](const QString& heading, QWidget* table) {
        quantileLayout->addWidget(new QLabel(heading));
        quantileLayout->addWidget(table, 1);
        table->setAccessibleName(heading);
    };
    headed(QStringLiteral("Altezze di pioggia h(T) in mm per durata"), grdQuantili);
    headed(QStringLiteral("h = a·tⁿ, durate da 1 a 24 ore (t in ore)"), grdCurvaOre);
    headed(QStringLiteral("h = a·tⁿ, durate da 1 a 5 giorni (t in giorni)"), grdCurvaGiorni);
    tabs->addTab(quantiles, QStringLiteral("&Quantili e curve"));
    tabs->addTab(grdAdattamento, QStringLiteral("&Adattamento"));
    grdAdattamento->setAccessibleName(QStringLiteral("Adattamento"));

    auto* top = new QHBoxLayout;
    top->addWidget(lblStazione);
    top->addWidget(cmbStazione);
    top->addSpacing(24);
    top->addWidget(optMomenti);
    top->addWidget(optLMomenti);
    top->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(lblMetodo);
    layout->addWidget(tabs, 1);
    layout->addWidget(lblNote);
    layout->addLayout(buttonRow());

    connect(cmbStazione, &QComboBox::activated, this, [this](int index) {
        station_ = index;
        analyse();
    });
    connect(optMomenti, &QRadioButton::toggled, this, [this] { analyse(); });
    connect(cmdGrafico, &QPushButton::clicked, this, &frmCurva::cmdGrafico_Click);
    connect(cmdGumbel, &QPushButton::clicked, this, &frmCurva::cmdGumbel_Click);
    // Another duration redraws an open Gumbel plot.
    connect(cmbDurata, &QComboBox::activated, this,
            [this] { showChart(QStringLiteral("frmGraficoGumbel"), gumbelFigure(), false); });
    connect(cmdEsporta, &QPushButton::clicked, this, &frmCurva::cmdEsporta_Click);
    connect(cmdStampa, &QPushButton::clicked, this, &frmCurva::cmdStampa_Click);
    connect(cmdChiudi, &QPushButton::clicked, this, &QWidget::close);
    resize(1000, 800);
}

QHBoxLayout* frmCurva::buttonRow() {
    cmdGrafico = new QPushButton(QStringLiteral("&Grafico curve…"), this);
    cmdGrafico->setObjectName(QStringLiteral("cmdGrafico"));
    auto* lblDurata = new QLabel(QStringLiteral("&Durata"), this);
    cmbDurata = new QComboBox(this);
    cmbDurata->setObjectName(QStringLiteral("cmbDurata"));
    lblDurata->setBuddy(cmbDurata);
    cmdGumbel = new QPushButton(QStringLiteral("Carta &probabilistica…"), this);
    cmdGumbel->setObjectName(QStringLiteral("cmdGumbel"));
    cmdEsporta = new QPushButton(QStringLiteral("&Esporta Dati"), this);
    cmdEsporta->setObjectName(QStringLiteral("cmdEsporta"));
    cmdStampa = new QPushButton(QStringLiteral("S&tampa…"), this);
    cmdStampa->setObjectName(QStringLiteral("cmdStampa"));
    cmdChiudi = new QPushButton(QStringLiteral("&Chiudi"), this);
    cmdChiudi->setObjectName(QStringLiteral("cmdChiudi"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdGrafico);
    buttons->addSpacing(12);
    buttons->addWidget(lblDurata);
    buttons->addWidget(cmbDurata);
    buttons->addWidget(cmdGumbel);
    buttons->addSpacing(12);
    buttons->addWidget(cmdEsporta);
    buttons->addWidget(cmdStampa);
    buttons->addStretch(1);
    buttons->addWidget(cmdChiudi);
    return buttons;
}

QString frmCurva::stationName() const {
    return station_ < int(stations_.size()) ? stations_[station_].name : QString();
}

void frmCurva::showRows(std::shared_ptr<const jet::RecordSet> rows, int currentRow,
                        const QString& stationCode) {
    rows_ = std::move(rows);
    stationCode_ = stationCode;
    stations_ = rows_ ? intense::stationsOf(*rows_) : std::vector<intense::StationRows>();
    station_ = intense::stationOfRow(stations_, currentRow);
    cmbStazione->clear();
    for (const intense::StationRows& s : stations_) {
        cmbStazione->addItem(s.name);
    }
    cmbStazione->setCurrentIndex(station_);
    // With one station there is nothing to choose; the list says which one it is.
    cmbStazione->setEnabled(stations_.size() > 1);
    analyse();
}

QString frmCurva::methodText() const {
    const QString tests =
        QStringLiteral(
            " Kolmogorov–Smirnov con le frequenze di Weibull i/(N+1), valore critico al 5 % "
            "1,358/(√N + 0,12 + 0,11/√N); χ² di Pearson su N/5 classi equiprobabili (almeno %1 anni), "
            "gradi di libertà: classi − 3.")
            .arg(analysis::kChiSquareMinimum);
    if (analysis_.method == analysis::GumbelMethod::Moments) {
        return QStringLiteral(
                   "Gumbel (EV1), metodo dei momenti: α = π / (s·√6), u = m − 0,5772157 / α; "
                   "m è la media, s lo scarto quadratico medio campionario (divisore N − 1).") +
               tests;
    }
    return QStringLiteral(
               "Gumbel (EV1), metodo degli L-momenti (Hosking): α = ln 2 / λ₂, "
               "u = λ₁ − 0,5772157 / α; λ₁ e λ₂ dai momenti pesati in probabilità dei massimi "
               "ordinati.") +
           tests;
}

void frmCurva::analyse() {
    const analysis::GumbelMethod method =
        optLMomenti->isChecked() ? analysis::GumbelMethod::LMoments : analysis::GumbelMethod::Moments;
    analysis::MaximaRows maxima;
    if (rows_ && station_ < int(stations_.size())) {
        maxima = intense::maximaOf(*rows_, stations_[station_]);
    }
    analysis_ = maxima.error.isEmpty() ? analysis::analyseDdf(maxima.years, maxima.present, method)
                                       : analysis::DdfAnalysis{};
    analysis_.method = method;
    fill();
    if (!maxima.error.isEmpty()) {
        lblNote->setText(maxima.error);
    }
}

void frmCurva::fill() {
    subject_ = stationName();
    if (!stationCode_.isEmpty()) {
        subject_ += QStringLiteral(" (codice %1)").arg(stationCode_);
    }
    subject_ += analysis_.firstYear
                    ? QStringLiteral(" - anni %1-%2").arg(analysis_.firstYear).arg(analysis_.lastYear)
                    : QStringLiteral(" - nessun anno");
    setWindowTitle(QStringLiteral("Curva di possibilità pluviometrica - ") + subject_);
    lblMetodo->setText(methodText());
    grdQuantili->setRows(figures(analysis::quantileTable(analysis_)));
    grdCurvaOre->setRows(figures(analysis::curveTable(analysis_, false)));
    grdCurvaGiorni->setRows(figures(analysis::curveTable(analysis_, true)));
    grdAdattamento->setRows(figures(analysis::fitTable(analysis_)));
    grdCurvaOre->setVisible(analysis_.anyPresent(false));
    grdCurvaGiorni->setVisible(analysis_.anyPresent(true));
    lblNote->setText(intense::curveNotes(analysis_).join(QLatin1Char('\n')));
    fillDurations();
    // Open charts follow the station and the method.
    showChart(QStringLiteral("frmGraficoCurve"), curveFigure(), false);
    showChart(QStringLiteral("frmGraficoGumbel"), gumbelFigure(), false);
}

void frmCurva::fillDurations() {
    const QVariant chosen = cmbDurata->currentData();
    cmbDurata->clear();
    for (const int d : intense::plottableDurations(analysis_)) {
        cmbDurata->addItem(QString::fromUtf8(analysis::kDurationList[d].caption), d);
    }
    const int again = chosen.isValid() ? cmbDurata->findData(chosen) : -1;
    cmbDurata->setCurrentIndex(again >= 0 ? again : 0);
    cmbDurata->setEnabled(cmbDurata->count() > 0);
    cmdGumbel->setEnabled(cmbDurata->count() > 0);
    cmdGrafico->setEnabled(cmbDurata->count() > 0);
}

chart::Figure frmCurva::curveFigure() const {
    return intense::curveFigure(analysis_, subject_);
}

chart::Figure frmCurva::gumbelFigure() const {
    const QVariant d = cmbDurata->currentData();
    return intense::gumbelFigure(analysis_, d.isValid() ? d.toInt() : -1, subject_);
}

chart::ChartWindow* frmCurva::curveChart() const {
    return findChild<chart::ChartWindow*>(QStringLiteral("frmGraficoCurve"), Qt::FindDirectChildrenOnly);
}

chart::ChartWindow* frmCurva::gumbelChart() const {
    return findChild<chart::ChartWindow*>(QStringLiteral("frmGraficoGumbel"), Qt::FindDirectChildrenOnly);
}

void frmCurva::showChart(const QString& name, const chart::Figure& figure, bool make) {
    auto* window = findChild<chart::ChartWindow*>(name, Qt::FindDirectChildrenOnly);
    if (!window && !make) {
        return;
    }
    if (!window) {
        window = new chart::ChartWindow(this);
        window->setObjectName(name);
    } else if (!make && !window->isVisible()) {
        return;
    }
    window->showData(figure);
    if (make) {
        window->show();
        window->raise();
        window->activateWindow();
    }
}

void frmCurva::cmdGrafico_Click() {
    showChart(QStringLiteral("frmGraficoCurve"), curveFigure(), true);
}

void frmCurva::cmdGumbel_Click() {
    showChart(QStringLiteral("frmGraficoGumbel"), gumbelFigure(), true);
}

void frmCurva::closeEvent(QCloseEvent* event) {
    // The charts are this window's: they close with it.
    for (chart::ChartWindow* window :
         findChildren<chart::ChartWindow*>(QString(), Qt::FindDirectChildrenOnly)) {
        window->close();
    }
    QWidget::closeEvent(event);
}

void frmCurva::cmdEsporta_Click() {
    seams::SaveRequest request;
    exporter::refuseInDialog(request);
    request.title = QStringLiteral("Esporta dati");
    request.flags = 6;  // ask before replacing a file, no read-only box
    request.filter = QStringLiteral("File di testo (*.txt)|*.txt|Tutti i file (*.*)|*.*");
    request.fileName = lastFile_;
    request.addExtension = true;
    if (!seams::runSaveDialog(this, request) || request.fileName.isEmpty()) {
        return;
    }
    // A name typed without an extension gets the chosen type's (the dialog asked about that file).
    request.fileName = seams::completeExtension(request.fileName, request.filter, request.filterIndex);
    lastFile_ = request.fileName;
    const QString archive = db::resolveCaseInsensitive(db::databaseLocation());
    const exporter::TargetCheck target =
        exporter::checkExportTarget(request.fileName, db::programFolder(), archive);
    if (target.refused) {
        seams::msgBox(
            QStringLiteral("Impossibile scrivere il file %1: %2").arg(request.fileName, target.reason), this);
        return;
    }
    if (!intense::writeCurveTables(analysis_, request.fileName)) {
        seams::msgBox(QStringLiteral("Impossibile scrivere il file %1").arg(request.fileName), this);
    }
}

void frmCurva::cmdStampa_Click() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setDocName(windowTitle());
    if (!seams::runPrintDialog(this, printer)) {
        return;
    }
    QPainter painter;
    if (!painter.begin(&printer)) {
        seams::msgBox(QStringLiteral("Impossibile stampare la curva"), this);
        return;
    }
    intense::paintReport(painter, QRectF(painter.viewport()), windowTitle(), lblMetodo->text(), analysis_,
                         curveFigure());
    painter.end();
}

frmCurva* frmCurva::of(const QWidget* owner) {
    return owner ? owner->findChild<frmCurva*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

frmCurva* frmCurva::open(QWidget* owner, forms::GridActions* actions, const QString& stationCode) {
    frmCurva* window = of(owner);
    const bool made = !window;
    if (made) {
        window = new frmCurva(owner);
        if (auto* form = qobject_cast<runtime::Form*>(owner)) {
            connect(form, &runtime::Form::unloaded, window, &QWidget::close);
        }
    }
    const QModelIndex current = actions->view()->currentIndex();
    window->showRows(actions->rows(), current.isValid() ? current.row() : 0, stationCode);
    if (made) {
        forms::centreFrame(window);
    }
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}
