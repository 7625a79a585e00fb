// The curve window as a user reaches it: the rainfall search, the grid's context menu, both
// methods, copying, exporting and printing; its tables against altorra-query --curva for every
// station of the sample archive.
#include "chart/chartwindow.h"
#include "controls/dbcombo.h"
#include "controls/dbgrid.h"
#include "db/global.h"
#include "db/location.h"
#include "forms/figuretable.h"
#include "forms/gridactions.h"
#include "intense/frmcurva.h"
#include "intense/frmintense.h"
#include "intense/frmpioggia.h"
#include "runtime/form.h"
#include "samplegen/samplegen.h"
#include "support/scriptedseams.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The cells of a figure table as the grid shows them, the decimal comma read back as a point, in
// the tool's form: every cell followed by a tab.
QStringList shown(const forms::FigureTable* table) {
    QStringList lines;
    const QAbstractItemModel* model = table->model();
    QString header;
    for (int c = 0; c < model->columnCount(); ++c) {
        header += model->headerData(c, Qt::Horizontal).toString() + QLatin1Char('\t');
    }
    lines << header;
    for (int r = 0; r < model->rowCount(); ++r) {
        QString line;
        for (int c = 0; c < model->columnCount(); ++c) {
            line += model->index(r, c).data().toString().replace(QLatin1Char(','), QLatin1Char('.')) +
                    QLatin1Char('\t');
        }
        lines << line;
    }
    return lines;
}

}  // namespace

class TestCurvaWindow : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    std::unique_ptr<testsupport::ScriptedSeams> seams_;

    // Searches for the station at `index` of the form's list (all years, both groups) and returns
    // the result window.
    frmIntense* search(int stationIndex, const QString& year = QString()) {
        runtime::Forms::show<frmPioggia>(runtime::Modality::Modal);
        frmPioggia* form = runtime::Forms::find<frmPioggia>();
        if (!form) {
            return nullptr;
        }
        form->DBCmbStazione->setText(QString());
        form->DBcmbAnno->setText(QString());
        if (stationIndex >= 0) {
            form->DBCmbStazione->setCurrentIndex(stationIndex);
            emit form->DBCmbStazione->activated(stationIndex);
        }
        if (!year.isEmpty()) {
            const int y = form->DBcmbAnno->findText(year);
            form->DBcmbAnno->setCurrentIndex(y);
            emit form->DBcmbAnno->activated(y);
        }
        form->cmdSeleziona->click();
        return runtime::Forms::find<frmIntense>();
    }
    static forms::GridActions* actionsOf(frmIntense* window) {
        return window->DBpioggia->view()->findChild<forms::GridActions*>(QStringLiteral("gridActions"));
    }
    static QAction* curveEntry(frmIntense* window) {
        return actionsOf(window)->menu()->findChild<QAction*>(QStringLiteral("mnuCurva"));
    }
    QStringList tool(const QString& code, const QString& method) {
        QProcess p;
        p.start(qEnvironmentVariable("ALTORRA_BINARY_DIR") + QStringLiteral("/program/altorra-query"),
                {QStringLiteral("--curva"), code, QStringLiteral("--metodo"), method,
                 dir_.filePath(QStringLiteral("orbeni.mdb"))});
        if (!p.waitForFinished(60000) || p.exitCode() != 0) {
            return {};
        }
        QStringList lines = QString::fromUtf8(p.readAllStandardOutput()).split(QStringLiteral("\r\n"));
        lines.removeLast();
        return lines;
    }
    // The tool's curve table split back into the window's two: T, a, n, R² over hours, then days.
    static QStringList curvePart(const QStringList& lines, bool days) {
        QStringList out;
        for (const QString& line : lines) {
            const QStringList cells = line.split(QLatin1Char('\t'));
            QStringList part{cells[0]};
            part << (days ? cells.mid(4, 3) : cells.mid(1, 3));
            out << part.join(QLatin1Char('\t'))
                           .remove(QStringLiteral(" 1-24 ore"))
                           .remove(QStringLiteral(" 1-5 giorni")) +
                       QLatin1Char('\t');
        }
        return out;
    }

  private slots:
    void initTestCase() {
        QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
        QVERIFY(dir_.isValid());
        QString error;
        samplegen::Options options;
        options.pictures = false;
        QVERIFY2(samplegen::writeSample(dir_.path(), options, &error), qPrintable(error));
        seams_ = std::make_unique<testsupport::ScriptedSeams>();
        seams_->onModal = [](QWidget*) {};
        seams_->closeAfterModal = false;
    }
    void init() {
        Global::reset();
        db::setProgramFolder(dir_.path());
        seams_->messages.clear();
    }
    void cleanup() { runtime::Forms::unloadAll(); }
    void cleanupTestCase() { testsupport::endScriptedTest(seams_); }

    // For every station of the rainfall list and both methods, the window's quantile and curve
    // tables are the tool's, figure for figure.
    void sameAsTool() {
        runtime::Forms::show<frmPioggia>(runtime::Modality::Modal);
        const int stations = runtime::Forms::find<frmPioggia>()->DBCmbStazione->count();
        QVERIFY(stations >= 25);
        int compared = 0;
        for (int i = 0; i < stations; ++i) {
            frmIntense* window = search(i);
            QVERIFY(window);
            const auto rows = actionsOf(window)->rows();
            if (!rows || rows->recordCount() == 0) {
                // A listed station without rows: the window closes at its first tick, saying so.
                runtime::Forms::unloadAll();
                continue;
            }
            QAction* entry = curveEntry(window);
            QVERIFY(entry);
            entry->trigger();
            frmCurva* curve = frmCurva::of(window);
            QVERIFY(curve);
            const QString code = Global::IntenseStationFilter.mid(10);
            QVERIFY(curve->windowTitle().startsWith(QStringLiteral("Curva di possibilità pluviometrica - ")));
            QVERIFY(curve->windowTitle().contains(QStringLiteral("(codice %1)").arg(code)));
            for (bool lmoments : {false, true}) {
                (lmoments ? curve->optLMomenti : curve->optMomenti)->click();
                const QStringList lines =
                    tool(code, lmoments ? QStringLiteral("lmomenti") : QStringLiteral("momenti"));
                QCOMPARE(lines.size(), 16);
                QCOMPARE(shown(curve->grdQuantili), lines.mid(0, 8));
                QCOMPARE(shown(curve->grdCurvaOre), curvePart(lines.mid(8), false));
                QCOMPARE(shown(curve->grdCurvaGiorni), curvePart(lines.mid(8), true));
            }
            ++compared;
            runtime::Forms::unloadAll();
        }
        QVERIFY2(compared >= 25, qPrintable(QString::number(compared)));
    }

    // The tables copy like the grids (captions with "Copia con intestazioni", the regional decimal
    // comma), export as the tool prints them (Windows-1252, CRLF), and the report prints to one page.
    void copyExportPrint() {
        frmIntense* window = search(0);
        QVERIFY(window);
        curveEntry(window)->trigger();
        frmCurva* curve = frmCurva::of(window);
        QVERIFY(curve);
        const QString code = Global::IntenseStationFilter.mid(10);
        const QStringList lines = tool(code, QStringLiteral("momenti"));
        QCOMPARE(lines.size(), 16);

        curve->grdQuantili->selectAll();
        curve->grdQuantili->actions()->copyWithCaptionsAction()->trigger();
        QStringList expected;
        for (QString line : lines.mid(0, 8)) {
            line.chop(1);
            expected << line.replace(QLatin1Char('.'), QLatin1Char(','));
        }
        QCOMPARE(QApplication::clipboard()->text(), expected.join(QLatin1Char('\n')));

        const QString file = dir_.filePath(QStringLiteral("curva.txt"));
        seams_->saveTo = file;
        curve->cmdEsporta->click();
        QFile written(file);
        QVERIFY(written.open(QIODevice::ReadOnly));
        const QList<QByteArray> exported = written.readAll().split('\n');
        QCOMPARE(QString::fromLatin1(exported[0]), lines[0] + QLatin1Char('\r'));
        QCOMPARE(QString::fromLatin1(exported[7]), lines[7] + QLatin1Char('\r'));
        QVERIFY(seams_->messages.isEmpty());

        const QString pdf = dir_.filePath(QStringLiteral("curva.pdf"));
        seams_->printTo = pdf;
        curve->cmdStampa->click();
        QCOMPARE(seams_->printDialogs, 1);
        QVERIFY(QFileInfo(pdf).size() > 1000);
        seams_->printTo.reset();
        seams_->saveTo.reset();
    }

    // Both charts from the window's buttons: they draw what the tables hold, follow the method, the
    // station's duration chosen and the station, save in the three formats, and close with the window.
    void charts() {
        frmIntense* window = search(0);
        QVERIFY(window);
        curveEntry(window)->trigger();
        frmCurva* curve = frmCurva::of(window);
        QVERIFY(curve && !curve->curveChart() && !curve->gumbelChart());
        curve->cmdGrafico->click();
        chart::ChartWindow* curves = curve->curveChart();
        QVERIFY(curves && curves->isVisible());
        QCOMPARE(curves->data().caption, curve->windowTitle());
        // The curve of T = 2 at t = 1 hour is its a, as the table of the curves shows it.
        const chart::Panel& hours = curves->data().panels.first();
        QCOMPARE(hours.x.title, QStringLiteral("Durata (ore)"));
        const chart::Series& two = hours.series.first();
        QCOMPARE(two.name, QStringLiteral("T = 2 anni"));
        QCOMPARE(two.x.first(), 1.0);
        QCOMPARE(QLocale().toString(two.y.first(), 'f', 2),
                 curve->grdCurvaOre->model()->index(0, 1).data().toString());

        curve->cmdGumbel->click();
        chart::ChartWindow* gumbel = curve->gumbelChart();
        QVERIFY(gumbel && gumbel->isVisible() && gumbel != curves);
        QVERIFY(gumbel->data().caption.endsWith(QStringLiteral(" - durata 1 ora")));
        curve->cmbDurata->setCurrentIndex(1);
        emit curve->cmbDurata->activated(1);
        QVERIFY(gumbel->data().caption.endsWith(QStringLiteral(" - durata 3 ore")));
        // The fitted line's end at T = 200 is the table's h(200) of 3 hours.
        const chart::Series& line = gumbel->data().panels.first().series.first();
        QCOMPARE(line.mark, chart::Mark::Fit);
        QCOMPARE(QLocale().toString(line.y.last(), 'f', 2),
                 curve->grdQuantili->model()->index(6, 2).data().toString());

        curve->optLMomenti->click();
        QVERIFY(curves->data().title.contains(QStringLiteral("L-momenti")));
        QVERIFY(gumbel->data().title.contains(QStringLiteral("L-momenti")));
        QVERIFY(gumbel->data().caption.endsWith(QStringLiteral("3 ore")));
        QCOMPARE(QLocale().toString(gumbel->data().panels.first().series.first().y.last(), 'f', 2),
                 curve->grdQuantili->model()->index(6, 2).data().toString());

        for (const auto& [name, format] :
             {std::pair{"curva.png", chart::FileFormat::Png}, std::pair{"curva.svg", chart::FileFormat::Svg},
              std::pair{"curva.pdf", chart::FileFormat::Pdf}}) {
            const QString path = dir_.filePath(QString::fromLatin1(name));
            QVERIFY(curves->saveAs(path, format));
            QVERIFY(QFileInfo(path).size() > 1000);
        }
        QVERIFY(!QImage(dir_.filePath(QStringLiteral("curva.png"))).isNull());

        curve->close();
        QVERIFY(!curves->isVisible() && !gumbel->isVisible());
    }

    // A year of every station: the list offers each; one year is too few, and the window says why.
    void severalStations() {
        frmIntense* window = search(-1, QStringLiteral("1995"));
        QVERIFY(window);
        curveEntry(window)->trigger();
        frmCurva* curve = frmCurva::of(window);
        QVERIFY(curve);
        QVERIFY(curve->cmbStazione->isEnabled());
        QVERIFY(curve->cmbStazione->count() >= 25);
        QVERIFY2(curve->lblNote->text().startsWith(
                     QStringLiteral("1 ora: 1 anni con un valore: ne servono almeno 5.")),
                 qPrintable(curve->lblNote->text()));
        QVERIFY(curve->windowTitle().endsWith(QStringLiteral(" - anni 1995-1995")));
        QCOMPARE(curve->grdQuantili->model()->index(0, 1).data().toString(), QString());
    }
};

QTEST_MAIN(TestCurvaWindow)
#include "test_curvawindow.moc"
