// bench_fill FOLDER [ROUNDS] [YEAR] [--searches-only]
// Measures, inside the viewer's own process, the time from "&Seleziona" on the daily selection form
// to a painted grid of the results, for a year of every station (YEAR, or the first of the list),
// on the archive FOLDER/orbeni.mdb (e.g. one written by `samplegen FOLDER --rows 1000000`). The first
// search reads the archive cold; the later ones repeat it on the same form. For each search it also
// prints the resident memory before the search, with the grid filled, and after its window closed;
// then the same statement run by the engine alone.
// Finally (unless --searches-only) the whole table of daily values is opened as a record set: its
// memory per row.
// Offscreen; not part of the tests.
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>
#include <memory>

#include <unistd.h>

#include "controls/dbcombo.h"
#include "controls/dbgrid.h"
#include "daily/frmaltorra.h"
#include "daily/frmtabella.h"
#include "db/datasource.h"
#include "db/location.h"
#include "export/tabexport.h"
#include "jet/jet.h"
#include "runtime/form.h"
#include "runtime/seams.h"

namespace {

// Modal windows are shown and left open: the bench drives them.
class OpenModals : public seams::ModalRunner, public seams::MessageBox {
  public:
    void run(QWidget* window) override { window->show(); }
    void show(QWidget*, const QString& text) override {
        std::fprintf(stderr, "bench_fill: message: %s\n", qPrintable(text));
        ++messages;
    }
    int messages = 0;
};

// CPU time of this process so far, in ms: under load it says what the wall-clock time would be on an
// idle machine.
double cpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// Resident memory now, in MB.
double residentMb() {
    long pages = 0;
    long resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) {
            resident = 0;
        }
        std::fclose(f);
    }
    return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    if (argc < 2 || !QFileInfo::exists(QString::fromLocal8Bit(argv[1]) + QStringLiteral("/orbeni.mdb"))) {
        std::fprintf(stderr, "uso: bench_fill CARTELLA-CON-orbeni.mdb [GIRI] [ANNO]\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    db::setProgramFolder(folder);
    OpenModals modals;
    seams::setModalRunner(&modals);
    seams::setMessageBox(&modals);

    runtime::Forms::show<frmAltorra>(runtime::Modality::Modal);
    frmAltorra* form = runtime::Forms::find<frmAltorra>();
    if (!form) {
        std::fprintf(stderr, "bench_fill: the form did not open\n");
        return 1;
    }
    QApplication::processEvents();
    const QString year = argc > 3 ? QString::fromLocal8Bit(argv[3]) : form->DBcmbAnno->itemText(0);
    const int index = form->DBcmbAnno->findText(year);
    if (index < 0) {
        std::fprintf(stderr, "bench_fill: no year %s in the list\n", qPrintable(year));
        return 1;
    }
    form->DBcmbAnno->setCurrentIndex(index);
    emit form->DBcmbAnno->activated(index);

    std::printf("a year (%s) of every station, %d searches; load %s", qPrintable(year), rounds, [] {
        static char line[64] = "?\n";
        if (FILE* f = std::fopen("/proc/loadavg", "r")) {
            if (!std::fgets(line, sizeof line, f)) {
                line[0] = 0;
            }
            std::fclose(f);
        }
        return line;
    }());
    std::printf("%-8s %10s %10s %8s %12s %12s %12s %12s\n", "search", "ms", "cpu ms", "rows", "MB before",
                "MB filled", "growth MB", "MB closed");
    QString statement;
    QString exportLine;
    for (int round = 0; round < rounds; ++round) {
        const double before = residentMb();
        const double cpu = cpuMs();
        QElapsedTimer timer;
        timer.start();
        form->cmdSeleziona->click();
        frmTabella* table = runtime::Forms::find<frmTabella>();
        if (!table || !table->DTabella->recordset()) {
            std::fprintf(stderr, "bench_fill: no results\n");
            return 1;
        }
        QApplication::processEvents();
        // Painted as the screen shows it: every visible cell asked for its text and drawn.
        const QPixmap shown = table->grab();
        const qint64 ms = timer.nsecsElapsed() / 1000;
        const double cpuUsed = cpuMs() - cpu;
        const double filled = residentMb();
        const int rows = table->DTabella->recordset()->RecordCount();
        statement = table->DTabella->recordSource();
        if (round == rounds - 1) {
            // The export of what the grid shows, as "Esporta Dati" writes it once a file is chosen.
            QStringList captions;
            for (int c = 0; c < table->DB->columnCount(); ++c) {
                captions << table->DB->columnCaption(c);
            }
            QTemporaryDir dir;
            const double cpu = cpuMs();
            QElapsedTimer timer;
            timer.start();
            const exporter::ExportResult result =
                exporter::writeExport(*table->DTabella->recordset(), captions, dir.filePath("export.txt"));
            exportLine = QStringLiteral("export of the grid: %1 rows, %2 bytes, %3 ms, %4 ms CPU")
                             .arg(result.rowsWritten)
                             .arg(QFileInfo(dir.filePath("export.txt")).size())
                             .arg(double(timer.nsecsElapsed()) / 1e6, 0, 'f', 1)
                             .arg(cpuMs() - cpu, 0, 'f', 1);
        }
        table->CmdPrecedente->click();
        QApplication::processEvents();
        // Outside an event loop, windows unloaded with deleteLater go only when asked.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        const double closed = residentMb();
        std::printf("%-8s %10.1f %10.1f %8d %12.1f %12.1f %12.1f %12.1f %3d\n",
                    round == 0 ? "first" : "later", double(ms) / 1000.0, cpuUsed, rows, before, filled,
                    filled - before, closed, int(QApplication::topLevelWidgets().size()));
        std::fflush(stdout);
        if (shown.isNull()) {
            return 1;
        }
    }
    runtime::Forms::unloadAll();
    std::printf("%s\n", qPrintable(exportLine));
    jet::Error error;
    std::shared_ptr<jet::Database> database =
        jet::Database::open(folder + QStringLiteral("/orbeni.mdb"), &error);
    if (!database) {
        std::fprintf(stderr, "bench_fill: %s\n", qPrintable(error.message));
        return 1;
    }
    // The same search by the engine alone: what of the time above is not the windows'.
    for (int round = 0; round < 3; ++round) {
        const double cpu = cpuMs();
        QElapsedTimer timer;
        timer.start();
        std::unique_ptr<jet::RecordSet> rs = database->openRecordSet(statement, &error);
        std::printf("engine alone: %.1f ms, %.1f ms CPU, %d rows\n", double(timer.nsecsElapsed()) / 1e6,
                    cpuMs() - cpu, rs ? rs->recordCount() : -1);
    }
    if (argc > 4 && QByteArray(argv[4]) == "--searches-only") {
        return modals.messages == 0 ? 0 : 1;
    }

    // The whole table as one record set.
    QApplication::processEvents();
    const double before = residentMb();
    QElapsedTimer timer;
    timer.start();
    std::unique_ptr<jet::RecordSet> whole = database->openRecordSet(QStringLiteral("database1"), &error);
    const qint64 ms = timer.elapsed();
    const double after = residentMb();
    if (!whole) {
        std::fprintf(stderr, "bench_fill: %s\n", qPrintable(error.message));
        return 1;
    }
    std::printf("whole table: %d rows, %d fields, %lld ms, %.1f MB -> %.1f MB: %.0f bytes a row\n",
                whole->recordCount(), whole->fieldCount(), ms, before, after,
                (after - before) * 1024.0 * 1024.0 / std::max(1, whole->recordCount()));
    return modals.messages == 0 ? 0 : 1;
}
