#include "controls/recordsetmodel.h"

#include "db/rowview.h"

#include <QHeaderView>
#include <QTableView>

namespace controls {

QTableView* makeReadOnlyView(QWidget* parent, RecordsetModel* model) {
    auto* view = new QTableView(parent);
    view->setModel(new db::RowView(
        model, [model] { return model->rows(); }, view));
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    view->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    view->setWordWrap(false);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    return view;
}

}  // namespace controls
