#include "forms/frozencolumns.h"

#include <QEvent>
#include <QHeaderView>
#include <QScrollBar>
#include <QTableView>

namespace forms {

FrozenColumns::FrozenColumns(QTableView* view) : QObject(view), view_(view) {}

FrozenColumns::~FrozenColumns() {
    delete overlay_;
}

void FrozenColumns::freeze(int last) {
    if (!view_) {
        return;
    }
    last_ = last >= 0 && last < view_->model()->columnCount() ? last : -1;
    if (last_ < 0) {
        if (overlay_) {
            overlay_->hide();
        }
        return;
    }
    if (!overlay_) {
        auto* overlay = new QTableView(view_);
        overlay_ = overlay;
        overlay->setObjectName(QStringLiteral("frozenColumns"));
        overlay->setModel(view_->model());
        overlay->setSelectionModel(view_->selectionModel());
        overlay->setSelectionMode(view_->selectionMode());
        overlay->setSelectionBehavior(view_->selectionBehavior());
        overlay->setEditTriggers(QAbstractItemView::NoEditTriggers);
        overlay->setFocusPolicy(Qt::NoFocus);  // the keys stay with the grid
        overlay->setWordWrap(view_->wordWrap());
        overlay->verticalHeader()->hide();
        overlay->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        overlay->horizontalHeader()->setHighlightSections(view_->horizontalHeader()->highlightSections());
        overlay->horizontalHeader()->setDefaultAlignment(view_->horizontalHeader()->defaultAlignment());
        overlay->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        overlay->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        overlay->setVerticalScrollMode(view_->verticalScrollMode());
        overlay->setFrameShape(QFrame::NoFrame);
        overlay->setStyleSheet(QStringLiteral("QTableView { border-right: 2px solid palette(dark); }"));
        // Up and down together; sideways only the grid moves.
        connect(view_->verticalScrollBar(), &QScrollBar::valueChanged, overlay->verticalScrollBar(),
                &QScrollBar::setValue);
        connect(overlay->verticalScrollBar(), &QScrollBar::valueChanged, view_->verticalScrollBar(),
                &QScrollBar::setValue);
        connect(view_->horizontalHeader(), &QHeaderView::sectionResized, this,
                [this](int column, int, int size) {
                    if (overlay_ && column <= last_) {
                        overlay_->setColumnWidth(column, size);
                        place();
                    }
                });
        connect(view_->verticalHeader(), &QHeaderView::sectionResized, this,
                [this](int row, int, int size) { overlay_->setRowHeight(row, size); });
        connect(view_->model(), &QAbstractItemModel::modelReset, this, [this] { freeze(-1); });
        connect(view_->model(), &QAbstractItemModel::layoutChanged, this, [this] { showColumns(); });
        view_->installEventFilter(this);
        view_->viewport()->installEventFilter(this);
    }
    showColumns();
    overlay_->show();
    overlay_->raise();
    place();
}

void FrozenColumns::showColumns() {
    if (!overlay_ || !view_ || last_ < 0) {
        return;
    }
    overlay_->verticalHeader()->setDefaultSectionSize(view_->verticalHeader()->defaultSectionSize());
    for (int row = 0; row < view_->model()->rowCount() && row < 2000; ++row) {
        if (view_->rowHeight(row) != view_->verticalHeader()->defaultSectionSize()) {
            overlay_->setRowHeight(row, view_->rowHeight(row));
        }
    }
    for (int column = 0; column < view_->model()->columnCount(); ++column) {
        overlay_->setColumnHidden(column, column > last_);
        if (column <= last_) {
            overlay_->setColumnWidth(column, view_->columnWidth(column));
        }
    }
    overlay_->horizontalHeader()->setFixedHeight(view_->horizontalHeader()->height());
    overlay_->verticalScrollBar()->setValue(view_->verticalScrollBar()->value());
}

void FrozenColumns::place() {
    if (!overlay_ || !view_ || last_ < 0) {
        return;
    }
    int width = 0;
    for (int column = 0; column <= last_; ++column) {
        width += view_->columnWidth(column);
    }
    const QRect viewport = view_->viewport()->geometry();
    const int header = view_->horizontalHeader()->height();
    overlay_->horizontalHeader()->setFixedHeight(header);
    overlay_->setGeometry(viewport.x(), viewport.y() - header, qMin(width + 2, viewport.width()),
                          viewport.height() + header);
}

bool FrozenColumns::eventFilter(QObject* watched, QEvent* event) {
    if (overlay_ && last_ >= 0 && (event->type() == QEvent::Resize || event->type() == QEvent::Show) &&
        (watched == view_ || (view_ && watched == view_->viewport()))) {
        place();
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace forms
