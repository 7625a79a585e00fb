#include "controls/dbgrid.h"

#include "controls/gridfit.h"
#include "controls/recordsetmodel.h"
#include "db/rowview.h"
#include "runtime/form.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QTableView>
#include <QVBoxLayout>

namespace controls {

DBGrid::DBGrid(const QString& name, QWidget* parent) : QWidget(parent) {
    setObjectName(name);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    captionBar_ = new QLabel(this);
    captionBar_->setAlignment(Qt::AlignCenter);
    captionBar_->setFrameShape(QFrame::Panel);
    captionBar_->setFrameShadow(QFrame::Raised);
    captionBar_->setAutoFillBackground(true);
    captionBar_->setBackgroundRole(QPalette::Button);
    captionBar_->hide();  // shown once the grid has a caption
    layout->addWidget(captionBar_);
    model_ = new RecordsetModel(this, true);
    view_ = makeReadOnlyView(this, model_);
    // The record-selector column: narrow, no numbers.
    view_->verticalHeader()->setFixedWidth(runtime::twipsToPixels(225));
    view_->verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    layout->addWidget(view_, 1);
    // Tab and Shift+Tab leave the grid for the window's next control; the arrows move inside.
    view_->setTabKeyNavigation(false);
    setFocusProxy(view_);
    // The current row follows the row the user moves to in the grid.
    connect(
        view_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
        [this](const QModelIndex& current) {
            if (current.isValid() && model_->showsCurrentRecordset()) {
                source_->recordset()->setBookmark(db::RowView::of(view_->model())->recordRow(current.row()));
            }
        });
}

void DBGrid::bind(db::DataSource* source) {
    if (source_) {
        disconnect(source_, nullptr, this, nullptr);
    }
    source_ = source;
    model_->setSource(source);
    if (source_) {
        connect(source_, &db::DataSource::opened, this, &DBGrid::reload);
        connect(source_, &db::DataSource::closed, this, &DBGrid::reload);
        connect(source_, &db::DataSource::repositioned, view_->verticalHeader()->viewport(),
                qOverload<>(&QWidget::update));
    }
    reload();
}

void DBGrid::reload() {
    model_->reload(0);
    fitColumns();
}

void DBGrid::fitColumns() {
    // Wide enough for the caption and for the texts of rows taken across the whole result (a long
    // name far down is seen too); a text beyond the cap is cut, never the caption.
    const QFontMetrics cells(view_->font());
    const QHeaderView* header = view_->horizontalHeader();
    const int maxWidth = runtime::twipsToPixels(4500);
    const QList<int> rows = sampleRows(model_->rowCount());
    for (int column = 0; column < model_->columnCount(); ++column) {
        int width = 0;
        for (int row : rows) {
            const QString text = model_->data(model_->index(row, column), Qt::DisplayRole).toString();
            width = qMax(width, cells.horizontalAdvance(text) + 12);
        }
        view_->setColumnWidth(column,
                              qMax(captionWidth(header, columnCaption(column)), qMin(width, maxWidth)));
    }
}

void DBGrid::setCaption(const QString& caption) {
    captionBar_->setText(caption);
    captionBar_->setVisible(!caption.isEmpty());
    view_->setAccessibleName(caption);  // what a screen reader says on entering the grid
}

QString DBGrid::caption() const {
    return captionBar_->text();
}

int DBGrid::columnCount() const {
    return model_->columnCount();
}

QString DBGrid::columnCaption(int index) const {
    return model_->headerData(index, Qt::Horizontal, Qt::DisplayRole).toString();
}

}  // namespace controls
