#include "intense/curvareport.h"

#include "analysis/ddftables.h"
#include "chart/chartdraw.h"
#include "jet/tabwriter.h"

#include <QFontMetricsF>
#include <QPainter>

namespace intense {

namespace {

class TextRow : public jet::RowCells {
  public:
    explicit TextRow(const QStringList& cells) : cells_(cells) {}
    int fieldCount() const override { return int(cells_.size()); }
    QStringView textView(int field, const jet::DisplayFormat&, QString*) const override {
        return cells_[field];
    }

  private:
    const QStringList& cells_;
};

QVector<analysis::TextTable> tablesOf(const analysis::DdfAnalysis& a) {
    QVector<analysis::TextTable> tables{analysis::quantileTable(a)};
    if (a.anyPresent(false)) {
        tables << analysis::curveTable(a, false);
    }
    if (a.anyPresent(true)) {
        tables << analysis::curveTable(a, true);
    }
    tables << analysis::fitTable(a);
    return tables;
}

// Each column's longest text.
QVector<qreal> columnWidths(const QFontMetricsF& metrics, const analysis::TextTable& t) {
    QVector<qreal> widths(t.captions.size(), 0);
    for (int c = 0; c < t.captions.size(); ++c) {
        widths[c] = metrics.horizontalAdvance(t.captions[c]);
        for (const QStringList& row : t.rows) {
            widths[c] = std::max(widths[c], metrics.horizontalAdvance(row.value(c)));
        }
    }
    return widths;
}

// The width `t` takes when nothing narrows it.
qreal tableWidth(const QPainter& p, const analysis::TextTable& t) {
    const QFontMetricsF metrics(p.font());
    qreal total = 0;
    for (qreal w : columnWidths(metrics, t)) {
        total += w + metrics.averageCharWidth() * 2;
    }
    return total;
}

// Draws `t` from `top` across `width`; returns the height used. Columns share the width by the
// length of their longest text.
qreal paintTable(QPainter& p, const analysis::TextTable& t, const QPointF& topLeft, qreal width) {
    const QFontMetricsF metrics(p.font());
    const QVector<qreal> widths = columnWidths(metrics, t);
    const qreal total = tableWidth(p, t);
    const qreal scale = total > width ? width / total : 1.0;
    const qreal line = metrics.height() * 1.2;
    qreal y = topLeft.y();
    for (int r = -1; r < t.rows.size(); ++r) {
        const QStringList& cells = r < 0 ? t.captions : t.rows[r];
        qreal x = topLeft.x();
        for (int c = 0; c < t.captions.size(); ++c) {
            const qreal w = (widths[c] + metrics.averageCharWidth() * 2) * scale;
            p.drawRect(QRectF(x, y, w, line));
            p.drawText(QRectF(x + 2, y, w - 4, line),
                       Qt::AlignVCenter | (r < 0 ? Qt::AlignHCenter : Qt::AlignRight),
                       metrics.elidedText(cells.value(c), Qt::ElideRight, w - 4));
            x += w;
        }
        y += line;
    }
    return y - topLeft.y();
}

// The chart laid out at a fixed width in the chart library's logical pixels, scaled to `rect`.
void paintChart(QPainter& painter, const chart::Figure& figure, const QRectF& rect) {
    constexpr double kWidth = 560;
    if (rect.width() <= 0 || rect.height() <= 0) {
        return;
    }
    const double scale = rect.width() / kWidth;
    chart::DrawOptions options;
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(11);
    options.font = font;
    options.hiddenInLegend = false;
    painter.save();
    painter.translate(rect.topLeft());
    painter.scale(scale, scale);
    chart::Layout(figure, QRectF(0, 0, kWidth, rect.height() / scale), chart::View(), options).paint(painter);
    painter.restore();
}

}  // namespace

QStringList curveNotes(const analysis::DdfAnalysis& a) {
    QStringList notes;
    for (int d = 0; d < analysis::kDurations; ++d) {
        const analysis::DurationFit& f = a.fits[d];
        if (f.present && !f.gumbel) {
            notes << QStringLiteral("%1: %2.").arg(QString::fromUtf8(analysis::kDurationList[d].caption),
                                                   f.reason);
        }
    }
    for (bool days : {false, true}) {
        const analysis::PowerLaw& p = (days ? a.days : a.hours)[0];
        if (a.anyPresent(days) && !p.valid) {
            notes << QStringLiteral("Curva %1: %2.")
                         .arg(days ? QStringLiteral("1-5 giorni") : QStringLiteral("1-24 ore"), p.reason);
        }
    }
    return notes;
}

bool writeCurveTables(const analysis::DdfAnalysis& a, const QString& path) {
    jet::TabWriter out(jet::TabWriter::Encoding::Windows1252);
    if (!out.open(path)) {
        return false;
    }
    bool ok = true;
    for (const analysis::TextTable& t : tablesOf(a)) {
        ok = ok && out.writeHeader(t.captions);
        for (const QStringList& row : t.rows) {
            ok = ok && out.writeRow(TextRow(row));
        }
    }
    return out.close() && ok;
}

void paintReport(QPainter& painter, const QRectF& page, const QString& title, const QString& method,
                 const analysis::DdfAnalysis& a, const chart::Figure& curve) {
    const qreal margin = page.width() / 40;
    const QRectF area = page.adjusted(margin, margin, -margin, -margin);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(11);
    font.setBold(true);
    painter.setFont(font);
    QRectF used;
    painter.drawText(area, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, title, &used);
    qreal y = used.bottom() + margin / 4;
    font.setBold(false);
    font.setPointSizeF(7.5);
    painter.setFont(font);
    painter.drawText(QRectF(area.left(), y, area.width(), area.height()), Qt::AlignLeft | Qt::TextWordWrap,
                     method, &used);
    y = used.bottom() + margin / 4;
    const QVector<analysis::TextTable> tables = tablesOf(a);
    // The quantiles and the curves' tables at the left of the chart of the curves; the fits across
    // the page under them, and the notes at the foot.
    const QString notes = curveNotes(a).join(QLatin1Char('\n'));
    const qreal line = QFontMetricsF(painter.font()).height() * 1.2;
    const analysis::TextTable& fits = tables.last();
    const qreal below =
        (fits.rows.size() + 1) * line + margin / 4 + (notes.count(QLatin1Char('\n')) + 2) * line;
    const qreal left = std::min(area.width() * 0.55, tableWidth(painter, tables.first()));
    qreal leftY = y;
    for (qsizetype i = 0; i + 1 < tables.size(); ++i) {
        leftY += paintTable(painter, tables[i], QPointF(area.left(), leftY), left) + margin / 4;
    }
    const QRectF chartRect(area.left() + left + margin / 2, y, area.width() - left - margin / 2,
                           std::max(leftY - y, area.bottom() - below - y));
    // The page's title names the chart already.
    chart::Figure untitled = curve;
    untitled.title.clear();
    paintChart(painter, untitled, chartRect);
    y = std::max(leftY, chartRect.bottom() + margin / 4);
    y += paintTable(painter, fits, QPointF(area.left(), y), area.width()) + margin / 4;
    painter.drawText(QRectF(area.left(), y, area.width(), area.bottom() - y),
                     Qt::AlignLeft | Qt::TextWordWrap, notes);
}

}  // namespace intense
