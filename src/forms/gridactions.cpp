#include "forms/gridactions.h"

#include "db/datasource.h"
#include "db/rowview.h"
#include "forms/gridtools.h"
#include "jet/jet.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QTableView>

namespace forms {

namespace {

bool isMenuKey(const QKeyEvent* key) {
    return key->key() == Qt::Key_Menu ||
           (key->key() == Qt::Key_F10 && (key->modifiers() & ~Qt::KeypadModifier) == Qt::ShiftModifier);
}

}  // namespace

GridActions::GridActions(QTableView* view, Rows rows) : QObject(view), view_(view), rows_(std::move(rows)) {
    setObjectName(QStringLiteral("gridActions"));
    // Several cells, whole rows and columns can be chosen; the corner and Ctrl+A choose all.
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setSelectionBehavior(QAbstractItemView::SelectItems);
    view->setCornerButtonEnabled(true);
    // The grids of src/controls show their rows through a RowView already; any other view
    // gets one over its model, which shows `rows` row for row.
    if (!db::RowView::of(view->model()) && view->model() && rows_) {
        view->setModel(new db::RowView(view->model(), rows_, view));
    }

    menu_ = new QMenu(view);
    menu_->setObjectName(QStringLiteral("gridMenu"));
    copy_ = menu_->addAction(QStringLiteral("&Copia"));
    copy_->setObjectName(QStringLiteral("mnuCopia"));
    copy_->setShortcut(QKeySequence::Copy);  // shown in the menu; the key itself is handled below
    copy_->setShortcutContext(Qt::WidgetShortcut);
    copyWithCaptions_ = menu_->addAction(QStringLiteral("Copia con &intestazioni"));
    copyWithCaptions_->setObjectName(QStringLiteral("mnuCopiaIntestazioni"));
    chart_ = menu_->addAction(QStringLiteral("&Grafico…"));
    chart_->setObjectName(QStringLiteral("mnuGrafico"));
    chart_->setVisible(false);
    windowEntries_ = menu_->addSeparator();
    connect(copy_, &QAction::triggered, this, [this] { copy(false); });
    connect(copyWithCaptions_, &QAction::triggered, this, [this] { copy(true); });
    connect(chart_, &QAction::triggered, this, [this] {
        if (openChart_) {
            openChart_();
        }
    });

    view->installEventFilter(this);
    view->viewport()->installEventFilter(this);
    tools_ = new GridTools(this);
}

QAction* GridActions::addWindowEntry(const QString& text) {
    auto* action = new QAction(text, menu_);
    menu_->insertAction(windowEntries_, action);
    return action;
}

GridActions* GridActions::attach(QTableView* view, db::DataSource* source) {
    QPointer<db::DataSource> guard(source);
    return new GridActions(view, [guard]() -> std::shared_ptr<const jet::RecordSet> {
        db::Recordset* records = guard ? guard->recordset() : nullptr;
        return records ? records->rows() : nullptr;
    });
}

void GridActions::setChartHandler(std::function<void()> open) {
    openChart_ = std::move(open);
    chart_->setVisible(bool(openChart_));
}

std::shared_ptr<const jet::RecordSet> GridActions::rows() const {
    if (const db::RowView* shown = view_ ? db::RowView::of(view_->model()) : nullptr) {
        return shown->shownRows();
    }
    return rows_ ? rows_() : nullptr;
}

QVector<CellRange> GridActions::selection() const {
    QVector<CellRange> ranges;
    if (!view_ || !view_->selectionModel()) {
        return ranges;
    }
    const QItemSelection selected = view_->selectionModel()->selection();
    for (const QItemSelectionRange& range : selected) {
        ranges.append({range.top(), range.left(), range.bottom(), range.right()});
    }
    if (ranges.isEmpty()) {
        const QModelIndex current = view_->currentIndex();
        if (current.isValid()) {
            ranges.append({current.row(), current.column(), current.row(), current.column()});
        }
    }
    return ranges;
}

void GridActions::copy(bool withCaptions) {
    const std::shared_ptr<const jet::RecordSet> records = rows();
    if (!records) {
        return;
    }
    const QVector<CellRange> ranges = selection();
    if (ranges.isEmpty()) {
        return;
    }
    const CopiedCells cells = copyCells(*records, ranges, withCaptions);
    auto* mime = new QMimeData;
    mime->setText(cells.text);
    mime->setHtml(cells.html);
    QGuiApplication::clipboard()->setMimeData(mime);
}

QPoint GridActions::currentCellPos() const {
    const QModelIndex current = view_->currentIndex();
    QRect cell = current.isValid() ? view_->visualRect(current) : QRect();
    if (!cell.isValid() || !view_->viewport()->rect().intersects(cell)) {
        return view_->viewport()->mapToGlobal(QPoint(0, 0));
    }
    return view_->viewport()->mapToGlobal(cell.center());
}

void GridActions::showMenu(const QPoint& globalPos) {
    const std::shared_ptr<const jet::RecordSet> records = rows();
    const bool hasRows = records && records->recordCount() > 0;
    copy_->setEnabled(hasRows);
    copyWithCaptions_->setEnabled(hasRows);
    chart_->setEnabled(hasRows);
    menu_->popup(globalPos);
}

bool GridActions::eventFilter(QObject* watched, QEvent* event) {
    if (!view_) {
        return false;
    }
    switch (event->type()) {
        case QEvent::ShortcutOverride: {
            // The grid keeps these keys even when a window-wide shortcut would take them.
            auto* key = static_cast<QKeyEvent*>(event);
            if (watched == view_ && (key->matches(QKeySequence::Copy) || isMenuKey(key))) {
                event->accept();
                return true;
            }
            break;
        }
        case QEvent::KeyPress: {
            auto* key = static_cast<QKeyEvent*>(event);
            if (watched != view_) {
                break;
            }
            if (key->matches(QKeySequence::Copy)) {
                copy(false);
                return true;
            }
            if (isMenuKey(key)) {
                showMenu(currentCellPos());
                return true;
            }
            break;
        }
        case QEvent::ContextMenu: {
            auto* menuEvent = static_cast<QContextMenuEvent*>(event);
            if (menuEvent->reason() == QContextMenuEvent::Mouse) {
                showMenu(menuEvent->globalPos());
            } else {
                showMenu(currentCellPos());
            }
            return true;
        }
        default:
            break;
    }
    return false;
}

}  // namespace forms
