#include "daily/frmriepilogo.h"

#include "analysisrows/tablerows.h"
#include "chart/chartwindow.h"
#include "chart/tablefigure.h"
#include "daily/dailychart.h"
#include "daily/summarymodel.h"
#include "db/location.h"
#include "db/rowview.h"
#include "export/exporttarget.h"
#include "forms/formkit.h"
#include "forms/gridactions.h"
#include "forms/gridcopy.h"
#include "jet/tabwriter.h"
#include "runtime/form.h"
#include "runtime/seams.h"

#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QPrinter>
#include <QPromise>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTextDocument>
#include <QThreadPool>
#include <QVBoxLayout>

#include <algorithm>
#include <cstring>

namespace daily {

namespace {

constexpr char kObjectName[] = "frmRiepilogo";

struct TabText {
    const char* title;
    const char* grid;
};

const std::array<TabText, frmRiepilogo::kTables>& tabTexts() {
    static const std::array<TabText, frmRiepilogo::kTables> texts = {{
        {"&Mensile", "grdMensile"},
        {"&Annuale", "grdAnnuale"},
        {"&Normale", "grdNormale"},
        {"&Indici climatici", "grdIndici"},
        {"C&ompletezza", "grdCompletezza"},
        {"&Lacune", "grdLacune"},
    }};
    return texts;
}

QString plainTitle(frmRiepilogo::Tab tab) {
    return QString::fromUtf8(tabTexts()[size_t(tab)].title).remove(QLatin1Char('&'));
}

QString tabIntro(frmRiepilogo::Tab tab) {
    switch (tab) {
        case frmRiepilogo::Mensile:
        case frmRiepilogo::Annuale:
        case frmRiepilogo::Normale:
            return analysis::monthlyRules();
        case frmRiepilogo::Indici:
            return analysis::indexRules();
        case frmRiepilogo::Completezza:
            return QStringLiteral(
                "Giorni con dati su giorni del mese, per ogni grandezza: verde tutti, giallo una parte, "
                "rosso "
                "nessuno. Il numero dei giorni appare passando sopra la casella e nel testo copiato.");
        case frmRiepilogo::Lacune:
            return QStringLiteral(
                "Per ogni grandezza il primo e l'ultimo giorno con dati e il periodo più lungo senza dati "
                "tra "
                "i due.");
    }
    return QString();
}

}  // namespace

frmRiepilogo::frmRiepilogo(QWidget* owner) : QWidget(owner, Qt::Window) {
    setObjectName(QString::fromLatin1(kObjectName));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Riepilogo"));
    cmbStazione = new QComboBox(this);
    cmbStazione->setObjectName(QStringLiteral("cmbStazione"));
    cmbStazione->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    lblStazione = new QLabel(QStringLiteral("&Stazione"), this);
    lblStazione->setBuddy(cmbStazione);
    lblAvvisi = new QLabel(this);
    lblAvvisi->setObjectName(QStringLiteral("lblAvvisi"));
    lblAvvisi->setWordWrap(true);
    tabRiepilogo = new QTabWidget(this);
    tabRiepilogo->setObjectName(QStringLiteral("tabRiepilogo"));
    tabRiepilogo->setAccessibleName(windowTitle());  // the tabs' frame, which screen readers enter
    buildTabs();
    cmdEsporta = new QPushButton(QStringLiteral("&Esporta…"), this);
    cmdEsporta->setObjectName(QStringLiteral("cmdEsporta"));
    cmdStampa = new QPushButton(QStringLiteral("S&tampa…"), this);
    cmdStampa->setObjectName(QStringLiteral("cmdStampa"));
    cmdChiudi = new QPushButton(QStringLiteral("&Chiudi"), this);
    cmdChiudi->setObjectName(QStringLiteral("cmdChiudi"));

    auto* top = new QHBoxLayout;
    top->addWidget(lblStazione);
    top->addWidget(cmbStazione);
    top->addStretch(1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdEsporta);
    buttons->addWidget(cmdStampa);
    buttons->addStretch(1);
    buttons->addWidget(cmdChiudi);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(lblAvvisi);
    layout->addWidget(tabRiepilogo, 1);
    layout->addLayout(buttons);
    lblStazione->setVisible(false);
    cmbStazione->setVisible(false);

    connect(cmbStazione, &QComboBox::activated, this, &frmRiepilogo::showStation);
    connect(tabRiepilogo, &QTabWidget::currentChanged, this, [this](int tab) {
        fitColumns(tab);
        drawCharts(tab);
        // The charts save and print with their own buttons.
        cmdEsporta->setEnabled(tab < kTables);
        cmdStampa->setEnabled(tab < kTables);
    });
    connect(cmdEsporta, &QPushButton::clicked, this, &frmRiepilogo::cmdEsporta_Click);
    connect(cmdStampa, &QPushButton::clicked, this, &frmRiepilogo::cmdStampa_Click);
    connect(cmdChiudi, &QPushButton::clicked, this, &QWidget::close);
    resize(1000, 640);
    showStation(-1);
}

void frmRiepilogo::read(const forms::GridActions* grid, const RowSource& source, int currentRow) {
    QPointer<const forms::GridActions> shown(grid);
    const db::RowView* view = grid && grid->view() ? db::RowView::of(grid->view()->model()) : nullptr;
    if (view && !following_) {
        // A sort or filter of the grid's rows: read again, the station shown kept.
        following_ = true;
        connect(view, &db::RowView::viewChanged, this, [this, shown, source] {
            if (shown && !reading()) {
                keepCode_ = stationCode(station_);
                read(shown, source, -1);
            }
        });
    }
    lblAvvisi->setText(QStringLiteral("Lettura delle righe in corso…"));
    lblAvvisi->setVisible(true);
    setCursor(Qt::BusyCursor);
    // The watcher dies with the window; a read still under way then ends unseen.
    watcher_ = new QFutureWatcher<Read>(this);
    connect(watcher_, &QFutureWatcherBase::finished, this, [this, shown, currentRow] {
        Read result = watcher_->future().takeResult();
        std::unique_ptr<jet::RecordSet> read = std::move(result.rows);
        sharedNames_ = result.sharedNames;
        const bool wasRead = read != nullptr;
        watcher_->deleteLater();
        watcher_ = nullptr;
        unsetCursor();
        // Row for row as the grid shows them; null when the archive no longer gives the grid's rows.
        std::shared_ptr<const jet::RecordSet> rows =
            shown ? chart::asShown(std::move(read), *shown)
                  : std::shared_ptr<const jet::RecordSet>(std::move(read));
        readError_ = !wasRead ? QStringLiteral(
                                    "Impossibile rileggere le righe dall'archivio: il riepilogo non è "
                                    "disponibile.")
                     : !rows ? QStringLiteral(
                                   "L'archivio è cambiato dopo la ricerca: ripetere la ricerca per "
                                   "avere il riepilogo.")
                             : QString();
        setRows(rows, currentRow);
    });
    auto promise = std::make_shared<QPromise<Read>>();
    watcher_->setFuture(promise->future());
    const RowSource copy = source;
    QThreadPool::globalInstance()->start([promise, copy] {
        promise->start();
        promise->addResult(
            Read{readWithCode(copy.database, copy.statement), sharedStationNames(copy.database)});
        promise->finish();
    });
}

void frmRiepilogo::setRows(std::shared_ptr<const jet::RecordSet> rows, int currentRow) {
    rows_ = std::move(rows);
    stations_.clear();
    stationOf_.clear();
    cmbStazione->clear();
    if (rows_) {
        columns_ = analysisrows::dailyColumns(*rows_);
        // Keyed by the station's code; listed alphabetically, the code beside a shared name.
        const chart::Subjects subjects =
            chart::subjectsOf(*rows_, rows_->fieldIndex(QString::fromLatin1(kCodeCaption)),
                              rows_->fieldIndex(QStringLiteral("Denominazione")), sharedNames_);
        for (const chart::Subject& subject : subjects.list) {
            stations_.push_back(Station{subject.key, subject.label, {}});
        }
        stationOf_.assign(subjects.ofRow.begin(), subjects.ofRow.end());
        for (int row = 0; row < int(stationOf_.size()); ++row) {
            if (stationOf_[size_t(row)] >= 0) {
                stations_[size_t(stationOf_[size_t(row)])].rows.push_back(row);
            }
        }
    }
    for (int i = 0; i < stationCount(); ++i) {
        cmbStazione->addItem(stationName(i));
    }
    // One station: nothing to choose.
    lblStazione->setVisible(stationCount() > 1);
    cmbStazione->setVisible(stationCount() > 1);
    int first = stationOfRow(currentRow);
    for (int i = 0; i < stationCount() && !keepCode_.isEmpty(); ++i) {
        first = stations_[size_t(i)].code == keepCode_ ? i : first;
    }
    keepCode_.clear();
    showStation(std::max(0, first));
    emit rowsRead();
}

int frmRiepilogo::stationOfRow(int row) const {
    return row >= 0 && row < int(stationOf_.size()) ? stationOf_[size_t(row)] : -1;
}

void frmRiepilogo::fitColumns(int tab) {
    // Measuring every cell of every table is most of the time a station takes to show: each grid
    // is fitted when it is first looked at.
    if (tab >= 0 && tab < kTables && !fitted_[size_t(tab)]) {
        grids_[size_t(tab)]->resizeColumnsToContents();
        fitted_[size_t(tab)] = true;
    }
}

frmRiepilogo* frmRiepilogo::of(const QWidget* owner) {
    return owner
               ? owner->findChild<frmRiepilogo*>(QString::fromLatin1(kObjectName), Qt::FindDirectChildrenOnly)
               : nullptr;
}

QString frmRiepilogo::stationName(int index) const {
    return index >= 0 && index < stationCount() ? stations_[size_t(index)].label : QString();
}

QString frmRiepilogo::stationCode(int index) const {
    return index >= 0 && index < stationCount() ? stations_[size_t(index)].code : QString();
}

void frmRiepilogo::buildTabs() {
    for (int t = 0; t < kTables; ++t) {
        models_[size_t(t)] = new SummaryModel(this);
        tabRiepilogo->addTab(tablePage(Tab(t), tabIntro(Tab(t))),
                             QString::fromUtf8(tabTexts()[size_t(t)].title));
    }
    buildChartTabs();
}

QWidget* frmRiepilogo::tablePage(Tab tab, const QString& intro) {
    auto* page = new QWidget(tabRiepilogo);
    auto* text = new QLabel(intro, page);
    text->setWordWrap(true);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    text->setObjectName(QStringLiteral("lblRegole"));
    auto* view = new QTableView(page);
    view->setObjectName(QString::fromLatin1(tabTexts()[size_t(tab)].grid));
    view->setAccessibleName(plainTitle(tab));  // named by its tab for screen readers
    view->setModel(models_[size_t(tab)]);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    view->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    grids_[size_t(tab)] = view;
    // Copying as from the result grids: Ctrl+C, the menu, with and without the captions.
    actions_[size_t(tab)] = new forms::GridActions(
        view,
        [this, tab]() -> std::shared_ptr<const jet::RecordSet> { return models_[size_t(tab)]->rows(); });
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(text);
    layout->addWidget(view, 1);
    return page;
}

void frmRiepilogo::showStation(int index) {
    if (index < 0 || index >= stationCount()) {
        station_ = -1;
        summary_ = analysis::StationSummary{};
    } else {
        station_ = index;
        summary_ =
            analysis::summarize(analysisrows::seriesOf(*rows_, columns_, stations_[size_t(index)].rows));
    }
    cmbStazione->setCurrentIndex(index);
    tables_[Mensile] = analysis::monthlyTable(summary_);
    tables_[Annuale] = analysis::yearlyTable(summary_);
    tables_[Normale] = analysis::normalTable(summary_);
    tables_[Indici] = analysis::indicesTable(summary_);
    tables_[Completezza] = analysis::completenessTable(summary_);
    tables_[Lacune] = analysis::spansTable(summary_);
    for (int t = 0; t < kTables; ++t) {
        models_[size_t(t)]->setTable(tables_[size_t(t)]);
        fitted_[size_t(t)] = false;
    }
    fitColumns(tabRiepilogo->currentIndex());
    chartsForStation();
    if (station_ >= 0) {
        setWindowTitle(QStringLiteral("Riepilogo - %1 - %2").arg(stationName(station_), period()));
    }
    showWarnings();
}

QString frmRiepilogo::period() const {
    const analysis::DailySeries& s = summary_.series;
    int first = -1, last = -1;
    for (int i = 0; i < s.dayCount(); ++i) {
        if (s.hasRow(i)) {
            last = i;
            first = first < 0 ? i : first;
        }
    }
    if (first < 0) {
        return QStringLiteral("nessun giorno");
    }
    const QString format = QStringLiteral("dd/MM/yyyy");
    return QStringLiteral("dal %1 al %2").arg(s.date(first).toString(format), s.date(last).toString(format));
}

void frmRiepilogo::showWarnings() {
    QStringList warnings;
    const analysis::DailySeries& s = summary_.series;
    if (!readError_.isEmpty()) {
        warnings << readError_;
    } else if (rows_ && !columns_.usable()) {
        warnings << QStringLiteral(
            "Il risultato non ha le colonne Giorno, Mese e Anno: non c'è nulla da riepilogare.");
    }
    if (s.invalidDates() > 0) {
        warnings << QStringLiteral("%1 righe con una data che non è un giorno del calendario sono escluse.")
                        .arg(s.invalidDates());
    }
    if (s.conflictingDays() > 0) {
        warnings << QStringLiteral(
                        "%1 giorni compaiono in più righe con valori diversi: per quei giorni i valori "
                        "discordanti sono considerati mancanti.")
                        .arg(s.conflictingDays());
    }
    lblAvvisi->setText(warnings.join(QLatin1Char(' ')));
    lblAvvisi->setVisible(!warnings.isEmpty());
}

frmRiepilogo::Tab frmRiepilogo::currentTab() const {
    return Tab(std::clamp(tabRiepilogo->currentIndex(), 0, kTables - 1));
}

bool frmRiepilogo::exportTable(Tab tab, const QString& path, QString* error) const {
    const std::shared_ptr<const jet::RecordSet> t = models_[size_t(tab)]->rows();
    const QString archive = db::resolveCaseInsensitive(db::databaseLocation());
    const exporter::TargetCheck target = exporter::checkExportTarget(path, db::programFolder(), archive);
    if (target.refused) {
        *error = target.reason;
        return false;
    }
    jet::TabWriter writer(jet::TabWriter::Encoding::Windows1252);
    if (!writer.open(path)) {
        *error = QString::fromLocal8Bit(std::strerror(writer.error()));
        return false;
    }
    QStringList captions;
    for (int c = 0; c < t->fieldCount(); ++c) {
        captions << t->fieldName(c);
    }
    bool ok = writer.writeHeader(captions);
    for (int r = 0; ok && r < t->recordCount(); ++r) {
        ok = writer.writeRow(*t, r);
    }
    ok = writer.close() && ok;
    if (!ok) {
        *error = QString::fromLocal8Bit(std::strerror(writer.error()));
    }
    return ok;
}

void frmRiepilogo::cmdEsporta_Click() {
    seams::SaveRequest request;
    exporter::refuseInDialog(request);
    request.title = QStringLiteral("Esporta ") + plainTitle(currentTab());
    request.flags = 6;  // ask before replacing a file, no read-only box
    request.filter = QStringLiteral("File di testo (*.txt)|*.txt|Tutti i file (*.*)|*.*");
    request.fileName =
        QStringLiteral("Riepilogo %1 %2.txt").arg(stationName(station_), plainTitle(currentTab()));
    request.fileName.replace(QLatin1Char('/'), QLatin1Char('-'));
    request.addExtension = true;
    if (!seams::runSaveDialog(this, request)) {
        return;
    }
    // A name typed without an extension gets the chosen type's (the dialog asked about that file).
    request.fileName = seams::completeExtension(request.fileName, request.filter, request.filterIndex);
    QString error;
    if (!exportTable(currentTab(), request.fileName, &error)) {
        seams::msgBox(QStringLiteral("Impossibile scrivere il file %1: %2").arg(request.fileName, error),
                      this);
    }
}

QString frmRiepilogo::printPage(Tab tab) const {
    const std::shared_ptr<const jet::RecordSet> t = models_[size_t(tab)]->rows();
    forms::CellRange all{0, 0, t->recordCount() - 1, t->fieldCount() - 1};
    const forms::CopiedCells cells = forms::copyCells(*t, {all}, true);
    return QStringLiteral("<h3>%1</h3><p>%2</p><p><small>%3</small></p>%4")
        .arg(windowTitle().toHtmlEscaped(), plainTitle(tab).toHtmlEscaped(),
             tabIntro(tab).toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>")), cells.html);
}

void frmRiepilogo::cmdStampa_Click() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setDocName(windowTitle().replace(QLatin1Char('/'), QLatin1Char('-')));
    if (!seams::runPrintDialog(this, printer)) {
        return;
    }
    QTextDocument page;
    page.setDefaultFont(font());
    page.setHtml(printPage(currentTab()));
    page.print(&printer);
}

void offerSummary(forms::GridActions* actions, QWidget* owner, std::function<RowSource()> source) {
    QAction* entry = actions->addWindowEntry(QStringLiteral("&Riepilogo…"));
    entry->setObjectName(QStringLiteral("mnuRiepilogo"));
    QObject::connect(entry, &QAction::triggered, owner, [actions, owner, source] {
        frmRiepilogo* window = frmRiepilogo::of(owner);
        const int row = actions->view() ? actions->view()->currentIndex().row() : -1;
        if (window) {
            // Already open: the current row's station.
            const int station = window->stationOfRow(row);
            if (station >= 0 && station != window->cmbStazione->currentIndex()) {
                window->showStation(station);
            }
        } else {
            window = new frmRiepilogo(owner);
            window->read(actions, source(), row);
            forms::centreFrame(window);
        }
        window->show();
        window->raise();
        window->activateWindow();
    });
    if (auto* form = qobject_cast<runtime::Form*>(owner)) {
        QObject::connect(form, &runtime::Form::unloaded, form, [form] {
            if (frmRiepilogo* window = frmRiepilogo::of(form)) {
                window->close();
            }
        });
    }
}

}  // namespace daily
