#include "controls/flexgrid.h"

#include "controls/gridfit.h"
#include "controls/recordsetmodel.h"
#include "db/rowview.h"
#include "runtime/form.h"

#include <QEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>

namespace controls {

FlexGrid::FlexGrid(const QString& name, QWidget* parent) : QWidget(parent) {
    setObjectName(name);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    model_ = new RecordsetModel(this, false);
    view_ = makeReadOnlyView(this, model_);
    // The fixed header row is the view's header: it stays in place while the rows scroll.
    view_->verticalHeader()->hide();
    view_->horizontalHeader()->setHighlightSections(false);
    view_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    view_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    layout->addWidget(view_);
    connect(db::RowView::of(view_->model()), &db::RowView::viewChanged, this, &FlexGrid::fitRows);
}

void FlexGrid::bind(db::DataSource* source) {
    if (source_) {
        disconnect(source_, nullptr, this, nullptr);
    }
    source_ = source;
    model_->setSource(source);
    if (source_) {
        connect(source_, &db::DataSource::opened, this, &FlexGrid::reload);
        connect(source_, &db::DataSource::closed, this, &FlexGrid::reload);
    }
    reload();
}

void FlexGrid::reload() {
    model_->reload(designCols_);
    applyWidths();
    fitRows();
}

void FlexGrid::setWordWrap(bool wrap, int maxLines) {
    wordWrap_ = wrap;
    maxLines_ = qMax(1, maxLines);
    view_->setWordWrap(wrap);
    fitRows();
}

void FlexGrid::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        fitRows();
    }
}

void FlexGrid::fitRows() {
    const QFontMetrics metrics(font());
    const int lineHeight = metrics.lineSpacing();
    const auto rowHeight = [lineHeight](int lines) { return lines * lineHeight + 6; };
    QHeaderView* rowsHeader = view_->verticalHeader();
    rowsHeader->setDefaultSectionSize(rowHeight(1));
    if (!wordWrap_) {
        return;
    }
    // A cell's text stands inside the focus frame's margin on each side and the grid line.
    const int margin =
        2 * (view_->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view_) + 1) + 1;
    const auto linesOf = [&](int row) {
        int lines = 1;
        for (int column = 0; column < model_->columnCount() && lines < maxLines_; ++column) {
            const QString text = model_->data(model_->index(row, column), Qt::DisplayRole).toString();
            const int width = qMax(1, view_->columnWidth(column) - margin);
            if (metrics.horizontalAdvance(text) > width) {
                const QRect needed = metrics.boundingRect(QRect(0, 0, width, lineHeight * (maxLines_ + 1)),
                                                          Qt::TextWordWrap, text);
                lines = qBound(lines, (needed.height() + lineHeight - 1) / lineHeight, maxLines_);
            }
        }
        return lines;
    };
    // Each row as high as its own texts need; a very long result takes the height the rows
    // measured across it need, for every row, so that fitting stays bounded.
    constexpr int kRowsFittedOneByOne = 2000;
    const db::RowView* shown = db::RowView::of(view_->model());
    const int rows = shown->rowCount();
    if (rows <= kRowsFittedOneByOne) {
        for (int row = 0; row < rows; ++row) {
            const int lines = linesOf(shown->recordRow(row));
            if (lines > 1) {
                view_->setRowHeight(row, rowHeight(lines));
            }
        }
        return;
    }
    int lines = 1;
    for (int row : sampleRows(rows)) {
        lines = qMax(lines, linesOf(shown->recordRow(row)));
    }
    rowsHeader->setDefaultSectionSize(rowHeight(lines));
}

void FlexGrid::setCols(int columns) {
    designCols_ = qMax(0, columns);
    if (!source_ || !source_->recordset()) {
        reload();
    }
}

void FlexGrid::setColWidth(int column, int twips) {
    if (column < 0) {
        return;
    }
    while (widths_.size() <= column) {
        widths_.append(-1);
    }
    widths_[column] = twips;
    applyWidths();
    fitRows();
}

int FlexGrid::colWidth(int column) const {
    if (column >= 0 && column < widths_.size() && widths_[column] >= 0) {
        return widths_[column];
    }
    const int pixels = view_->horizontalHeader()->defaultSectionSize();
    const int pixelsPerInch = qMax(1, runtime::twipsToPixels(1440));
    return pixels * 1440 / pixelsPerInch;
}

void FlexGrid::applyWidths() {
    for (int column = 0; column < widths_.size() && column < model_->columnCount(); ++column) {
        if (widths_[column] >= 0) {
            view_->setColumnWidth(column, runtime::twipsToPixels(widths_[column]));
        }
    }
}

int FlexGrid::rows() const {
    return model_->rowCount() + 1;
}

int FlexGrid::cols() const {
    return model_->columnCount();
}

QString FlexGrid::textMatrix(int row, int column) const {
    if (row == 0) {
        return model_->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
    }
    return model_->data(model_->index(row - 1, column), Qt::DisplayRole).toString();
}

}  // namespace controls
