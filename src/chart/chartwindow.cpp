#include "chart/chartwindow.h"

#include "db/location.h"
#include "db/rowview.h"
#include "export/exporttarget.h"
#include "forms/gridactions.h"
#include "runtime/form.h"
#include "runtime/seams.h"

#include <QAbstractItemModel>
#include <QBuffer>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QPointer>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QSvgGenerator>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace chart {

namespace {

// Pages: a landscape A4 with 10 mm margins, drawn as a picture this many logical pixels wide.
constexpr double kPageWidth = 1120;

struct Format {
    const char* extension;
    FileFormat format;
};
constexpr Format kFormats[] = {{"png", FileFormat::Png}, {"svg", FileFormat::Svg}, {"pdf", FileFormat::Pdf}};

}  // namespace

QString fileNameOf(const QString& caption) {
    QString name = caption;
    for (const QChar c : QStringLiteral("/\\:*?\"<>|")) {
        name.replace(c, u'-');
    }
    return name.trimmed();
}

void fitToScreen(QWidget* window, const QSize& wanted) {
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen) {
        window->resize(wanted);
        return;
    }
    const QRect area = screen->availableGeometry();
    // Room for the frame the window manager adds (its size is known only once framed).
    const QSize frame(16, 48);
    const QSize size = wanted.boundedTo(area.size() - frame)
                           .expandedTo(window->minimumSizeHint().boundedTo(area.size() - frame));
    window->resize(size);
    const QPoint topLeft =
        area.center() - QPoint((size.width() + frame.width()) / 2, (size.height() + frame.height()) / 2);
    window->move(QPoint(std::max(topLeft.x(), area.left()), std::max(topLeft.y(), area.top())));
}

ChartWindow::ChartWindow(QWidget* owner) : QWidget(owner, Qt::Window) {
    setObjectName(QStringLiteral("frmGrafico"));
    setWindowTitle(QStringLiteral("Grafico"));
    view_ = new ChartView(this);
    cmbStazione = new QComboBox(this);
    cmbStazione->setObjectName(QStringLiteral("cmbStazione"));
    cmbStazione->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    cmbStazione->setMaxVisibleItems(20);
    cmbStazione->hide();
    connect(cmbStazione, &QComboBox::activated, this, &ChartWindow::stationChosen);
    cmdSalva = new QPushButton(QStringLiteral("&Salva…"), this);
    cmdSalva->setObjectName(QStringLiteral("cmdSalva"));
    cmdStampa = new QPushButton(QStringLiteral("S&tampa…"), this);
    cmdStampa->setObjectName(QStringLiteral("cmdStampa"));
    cmdChiudi = new QPushButton(QStringLiteral("&Chiudi"), this);
    cmdChiudi->setObjectName(QStringLiteral("cmdChiudi"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdSalva);
    buttons->addWidget(cmdStampa);
    buttons->addStretch(1);
    buttons->addWidget(cmdChiudi);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(cmbStazione, 0, Qt::AlignLeft);
    layout->addWidget(view_, 1);
    layout->addLayout(buttons);
    connect(cmdSalva, &QPushButton::clicked, this, &ChartWindow::cmdSalva_Click);
    connect(cmdStampa, &QPushButton::clicked, this, &ChartWindow::cmdStampa_Click);
    connect(cmdChiudi, &QPushButton::clicked, this, &QWidget::close);
    connect(view_, &ChartView::groupClicked, this, &ChartWindow::toggleGroup);
    fitToScreen(this, QSize(960, 640));
}

void ChartWindow::showData(const Figure& figure) {
    all_ = figure;
    cmbStazione->clear();
    const bool choice = figure.subjects.size() > 1;
    if (choice) {
        if (figure.subjects.size() <= kSubjectsTogether) {
            cmbStazione->addItem(QStringLiteral("Tutte le stazioni"));
        }
        for (const Subject& s : figure.subjects) {
            cmbStazione->addItem(s.label, s.key);
        }
    }
    cmbStazione->setVisible(choice);
    stationChosen(0);
}

void ChartWindow::stationChosen(int index) {
    const QVariant key = cmbStazione->isVisibleTo(this) ? cmbStazione->itemData(index) : QVariant();
    draw(key.isValid() ? forSubject(all_, key.toString()) : all_);
}

void ChartWindow::draw(const Figure& figure) {
    shown_ = figure;
    setWindowTitle(shown_.caption.isEmpty() ? QStringLiteral("Grafico") : shown_.caption);
    view_->setFigure(shown_);
    // The chart's text alternative: read by screen readers on the window and on the drawing.
    const QString text = textAlternative(shown_);
    setAccessibleDescription(text);
    view_->setAccessibleName(shown_.title.isEmpty() ? windowTitle() : shown_.title);
    view_->setAccessibleDescription(text);
}

void ChartWindow::toggleGroup(const QString& group) {
    bool shown = true;
    for (const Panel& panel : shown_.panels) {
        for (const Series& s : panel.series) {
            if (groupOf(s) == group) {
                shown = !s.shown;
            }
        }
    }
    // The choice holds for every subject, and when another one is chosen.
    setGroupShown(all_, group, shown);
    Figure figure = shown_;
    setGroupShown(figure, group, shown);
    draw(figure);
}

void ChartWindow::render(QPainter& painter, const QSizeF& size) const {
    DrawOptions options;
    options.font = chartFont(view_->font());
    options.hiddenInLegend = false;
    Layout(shown_, QRectF(QPointF(0, 0), size), view_->view(), options).paint(painter);
}

bool ChartWindow::saveAs(const QString& path, FileFormat format) const {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    const QSize size = view_->size().expandedTo(QSize(320, 200));
    bool drawn = false;
    if (format == FileFormat::Png) {
        // Twice the pixels shown: the chart is drawn again at that size, not enlarged.
        QImage image(size * 2, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.scale(2, 2);
        render(painter, QSizeF(size));
        painter.end();
        drawn = image.save(&buffer, "PNG");
    } else if (format == FileFormat::Svg) {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        svg.setTitle(shown_.caption);
        QPainter painter;
        drawn = painter.begin(&svg);
        if (drawn) {
            render(painter, QSizeF(size));
            drawn = painter.end();
        }
    } else {
        QPdfWriter pdf(&buffer);
        pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                      QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
        pdf.setTitle(shown_.caption);
        pdf.setCreator(QStringLiteral("Altorra"));
        QPainter painter;
        drawn = painter.begin(&pdf);
        if (drawn) {
            const QRect page = painter.viewport();
            const double scale = page.width() / kPageWidth;
            painter.scale(scale, scale);
            render(painter, QSizeF(kPageWidth, page.height() / scale));
            drawn = painter.end();
        }
    }
    buffer.close();
    if (!drawn || bytes.isEmpty()) {
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return false;
    }
    const bool written = file.write(bytes) == bytes.size();
    file.close();
    return written && file.error() == QFileDevice::NoError;
}

void ChartWindow::cmdSalva_Click() {
    seams::SaveRequest request;
    exporter::refuseInDialog(request);
    request.title = QStringLiteral("Salva grafico");
    request.flags = 2 | 4;
    request.filter =
        QStringLiteral("Immagine PNG (*.png)|*.png|Disegno SVG (*.svg)|*.svg|Documento PDF (*.pdf)|*.pdf");
    request.filterIndex = 1;
    request.addExtension = true;
    request.fileName = fileNameOf(shown_.caption);
    if (!seams::runSaveDialog(this, request) || request.fileName.isEmpty()) {
        return;
    }
    // The chosen type decides the format; its extension is added to a name typed without it (the
    // dialog did so before asking whether to replace the file).
    const int index = request.filterIndex >= 1 && request.filterIndex <= 3 ? request.filterIndex - 1 : 0;
    const Format* chosen = &kFormats[index];
    const QString path = seams::completeExtension(request.fileName, request.filter, index + 1);
    const exporter::TargetCheck target = exporter::checkExportTarget(
        path, db::programFolder(), db::resolveCaseInsensitive(db::databaseLocation()));
    if (target.refused) {
        seams::msgBox(
            QStringLiteral("Impossibile salvare il grafico nel file %1: %2").arg(path, target.reason), this);
        return;
    }
    if (!saveAs(path, chosen->format)) {
        seams::msgBox(QStringLiteral("Impossibile salvare il grafico nel file %1").arg(path), this);
    }
}

void ChartWindow::cmdStampa_Click() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                      QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
    // The print dialog proposes the document's name as the file to print to.
    printer.setDocName(fileNameOf(shown_.caption));
    if (!seams::runPrintDialog(this, printer)) {
        return;
    }
    QPainter painter;
    if (!painter.begin(&printer)) {
        seams::msgBox(QStringLiteral("Impossibile stampare il grafico"), this);
        return;
    }
    const QRect page = painter.viewport();
    const double scale = page.width() / kPageWidth;
    painter.scale(scale, scale);
    render(painter, QSizeF(kPageWidth, page.height() / scale));
    painter.end();
}

// ---------------------------------------------------------------- offering the chart

ChartWindow* chartWindowOf(const QWidget* owner) {
    return owner ? owner->findChild<ChartWindow*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

void offerChart(forms::GridActions* actions, QWidget* owner, Describe describe) {
    actions->setChartHandler([owner, describe] {
        const std::optional<Figure> figure = describe();
        if (!figure) {
            // The grid's rows could not be read again (the archive moved, changed or damaged since
            // the search): said, not a menu entry that does nothing.
            seams::msgBox(QStringLiteral("Impossibile rileggere le righe dall'archivio: il grafico non è "
                                         "disponibile."),
                          owner);
            return;
        }
        ChartWindow* window = chartWindowOf(owner);
        if (!window) {
            window = new ChartWindow(owner);
        }
        window->showData(*figure);
        window->show();
        window->raise();
        window->activateWindow();
    });
    // A grid that shows new rows (another station), or sorts or filters them, redraws an open chart.
    const auto redraw = [owner, describe] {
        ChartWindow* window = chartWindowOf(owner);
        if (window && window->isVisible()) {
            if (const std::optional<Figure> figure = describe()) {
                window->showData(*figure);
            }
        }
    };
    QObject::connect(actions->view()->model(), &QAbstractItemModel::modelReset, owner, redraw);
    if (const db::RowView* shown = db::RowView::of(actions->view()->model())) {
        QObject::connect(shown, &db::RowView::viewChanged, owner, redraw);
    }
    if (auto* form = qobject_cast<runtime::Form*>(owner)) {
        QObject::connect(form, &runtime::Form::unloaded, form, [form] {
            if (ChartWindow* window = chartWindowOf(form)) {
                window->close();
            }
        });
    }
}

forms::GridActions* attach(QTableView* view, db::DataSource* source, QWidget* owner,
                           std::function<std::optional<Figure>(const forms::GridActions&)> describe) {
    forms::GridActions* actions = forms::GridActions::attach(view, source);
    QPointer<forms::GridActions> guard(actions);
    offerChart(actions, owner, [guard, describe]() -> std::optional<Figure> {
        return guard && describe ? describe(*guard) : std::nullopt;
    });
    return actions;
}

std::shared_ptr<const jet::RecordSet> asShown(std::unique_ptr<jet::RecordSet> rows,
                                              const forms::GridActions& grid) {
    std::shared_ptr<const jet::RecordSet> all(std::move(rows));
    const db::RowView* shown = grid.view() ? db::RowView::of(grid.view()->model()) : nullptr;
    if (!all || !shown) {
        return all;
    }
    if (all->recordCount() != shown->totalCount()) {
        return nullptr;
    }
    if (shown->sortColumn() < 0 && shown->filters().isEmpty()) {
        return all;
    }
    return db::pickRows(all, shown->shownOrder());
}

}  // namespace chart
