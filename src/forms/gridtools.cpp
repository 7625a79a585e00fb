#include "forms/gridtools.h"

#include "controls/gridfit.h"
#include "db/rowview.h"
#include "forms/filterdialog.h"
#include "forms/frozencolumns.h"
#include "forms/gridactions.h"
#include "forms/gridfind.h"
#include "forms/selectionstats.h"
#include "runtime/seams.h"

#include <QAbstractButton>
#include <QAction>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QMenu>
#include <QTableView>
#include <QToolTip>

namespace forms {

namespace {

struct Entry {
    const char* name;
    const char* text;
    bool separatorBefore;
};

// In the menu's order, after copying, the chart and the windows' own entries.
const Entry kEntries[] = {
    {"mnuEsportaFoglio", "&Esporta in foglio di calcolo…", true},
    {"mnuOrdinaCrescente", "Ordina cresce&nte", true},
    {"mnuOrdinaDecrescente", "Ordina &decrescente", false},
    {"mnuOrdineOriginale", "Ordine &originale", false},
    {"mnuFiltraSelezione", "&Filtra per selezione", true},
    {"mnuEscludiSelezione", "Escl&udi selezione", false},
    {"mnuFiltro", "Fi&ltro…", false},
    {"mnuRimuoviFiltri", "Ri&muovi filtri", false},
    {"mnuTrova", "&Trova…", true},
    {"mnuStatistiche", "&Statistiche della selezione…", false},
    {"mnuBloccaColonne", "&Blocca colonne fino a questa", true},
};

bool isFindKey(const QKeyEvent* key) {
    return key->matches(QKeySequence::Find) || key->key() == Qt::Key_F3;
}

}  // namespace

GridTools::GridTools(GridActions* actions) : QObject(actions), actions_(actions), view_(actions->view()) {
    setObjectName(QStringLiteral("gridTools"));
    QMenu* menu = actions->menu();
    for (const Entry& entry : kEntries) {
        if (entry.separatorBefore) {
            menu->addSeparator();
        }
        QAction* action = menu->addAction(QString::fromUtf8(entry.text));
        action->setObjectName(QString::fromLatin1(entry.name));
    }
    action("mnuTrova")->setShortcut(QKeySequence::Find);  // shown in the menu; the keys are handled below
    action("mnuTrova")->setShortcutContext(Qt::WidgetShortcut);
    connect(action("mnuEsportaFoglio"), &QAction::triggered, this, &GridTools::exportSpreadsheet);
    connect(action("mnuOrdinaCrescente"), &QAction::triggered, this, [this] { sort(Qt::AscendingOrder); });
    connect(action("mnuOrdinaDecrescente"), &QAction::triggered, this, [this] { sort(Qt::DescendingOrder); });
    connect(action("mnuOrdineOriginale"), &QAction::triggered, this, &GridTools::originalOrder);
    connect(action("mnuFiltraSelezione"), &QAction::triggered, this, [this] { filterBySelection(false); });
    connect(action("mnuEscludiSelezione"), &QAction::triggered, this, [this] { filterBySelection(true); });
    connect(action("mnuFiltro"), &QAction::triggered, this, &GridTools::openFilterDialog);
    connect(action("mnuRimuoviFiltri"), &QAction::triggered, this, &GridTools::removeFilters);
    connect(action("mnuTrova"), &QAction::triggered, this, &GridTools::find);
    connect(action("mnuStatistiche"), &QAction::triggered, this, &GridTools::showSelectionStats);
    connect(action("mnuBloccaColonne"), &QAction::triggered, this, &GridTools::toggleFrozenColumns);
    connect(menu, &QMenu::aboutToShow, this, &GridTools::update);

    frozen_ = new FrozenColumns(view_);
    view_->installEventFilter(this);
    view_->viewport()->installEventFilter(this);
    view_->horizontalHeader()->viewport()->installEventFilter(this);
    if (auto* corner = view_->findChild<QAbstractButton*>(QString(), Qt::FindDirectChildrenOnly)) {
        corner->installEventFilter(this);
    }
}

QAction* GridTools::action(const char* name) const {
    return actions_ ? actions_->menu()->findChild<QAction*>(QString::fromLatin1(name)) : nullptr;
}

FindBar* GridTools::findBar() const {
    return findBar_;
}

db::RowView* GridTools::rowView() const {
    return view_ ? db::RowView::of(view_->model()) : nullptr;
}

QWidget* GridTools::window() const {
    return view_ ? view_->window() : nullptr;
}

int GridTools::currentColumn() const {
    const QModelIndex current = view_ ? view_->currentIndex() : QModelIndex();
    return current.isValid() ? current.column() : -1;
}

void GridTools::update() {
    const std::shared_ptr<const jet::RecordSet> rows = actions_ ? actions_->rows() : nullptr;
    const db::RowView* shown = rowView();
    const bool hasRows = rows && rows->recordCount() > 0;
    const bool onCell = hasRows && currentColumn() >= 0;
    action("mnuEsportaFoglio")->setEnabled(hasRows);
    action("mnuOrdinaCrescente")->setEnabled(shown && onCell);
    action("mnuOrdinaDecrescente")->setEnabled(shown && onCell);
    action("mnuOrdineOriginale")->setEnabled(shown && shown->sortColumn() >= 0);
    action("mnuFiltraSelezione")->setEnabled(shown && onCell);
    action("mnuEscludiSelezione")->setEnabled(shown && onCell);
    action("mnuFiltro")->setEnabled(shown && shown->totalCount() > 0);
    action("mnuRimuoviFiltri")->setEnabled(shown && !shown->filters().isEmpty());
    action("mnuTrova")->setEnabled(hasRows);
    action("mnuStatistiche")->setEnabled(hasRows);
    // "Sblocca colonne" in the same place, with the same key, while columns are frozen.
    QAction* freeze = action("mnuBloccaColonne");
    const bool frozen = frozen_->frozenUntil() >= 0;
    freeze->setText(frozen ? QStringLiteral("S&blocca colonne")
                           : QStringLiteral("&Blocca colonne fino a questa"));
    freeze->setEnabled(frozen || onCell);
}

void GridTools::sort(Qt::SortOrder order) {
    if (db::RowView* shown = rowView(); shown && currentColumn() >= 0) {
        seams::setMousePointer(seams::kHourglass);
        const int column = currentColumn();
        shown->sortBy(column, order);
        seams::setMousePointer(seams::kDefaultPointer);
        // Room for the mark the caption now carries.
        const int needed = controls::captionWidth(
            view_->horizontalHeader(), shown->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString());
        if (view_->columnWidth(column) < needed) {
            view_->setColumnWidth(column, needed);
        }
        view_->scrollTo(view_->currentIndex());
    }
}

void GridTools::originalOrder() {
    if (db::RowView* shown = rowView()) {
        shown->originalOrder();
        view_->scrollTo(view_->currentIndex());
    }
}

void GridTools::filterBySelection(bool exclude) {
    db::RowView* shown = rowView();
    const QModelIndex current = view_ ? view_->currentIndex() : QModelIndex();
    const std::shared_ptr<const jet::RecordSet> all = shown ? shown->allRows() : nullptr;
    if (!all || !current.isValid()) {
        return;
    }
    const int row = shown->recordRow(current.row());
    if (row < 0) {
        return;
    }
    shown->addFilter(db::filterByCell(*all, row, current.column(), exclude));
    // The cell stays current when its row still shows.
    const int after = shown->viewRow(row);
    if (after >= 0) {
        view_->setCurrentIndex(shown->index(after, current.column()));
    }
}

void GridTools::openFilterDialog() {
    db::RowView* shown = rowView();
    if (!shown || !shown->allRows()) {
        return;
    }
    auto* dialog = new FilterDialog(shown->allRows(), qMax(0, currentColumn()), window());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::WindowModal);
    QPointer<db::RowView> guard(shown);
    connect(dialog, &QDialog::accepted, this, [this, dialog, guard] {
        if (const std::optional<db::RowFilter> filter = dialog->filter(); filter && guard) {
            seams::setMousePointer(seams::kHourglass);
            guard->addFilter(*filter);
            seams::setMousePointer(seams::kDefaultPointer);
        }
    });
    dialog->open();
}

void GridTools::removeFilters() {
    if (db::RowView* shown = rowView()) {
        shown->clearFilters();
    }
}

void GridTools::find() {
    if (!findBar_) {
        findBar_ = new FindBar(actions_);
    }
    findBar_->open();
}

void GridTools::findAgain(bool forward) {
    if (!findBar_) {
        findBar_ = new FindBar(actions_);
    }
    findBar_->find(forward);
}

void GridTools::showSelectionStats() {
    const std::shared_ptr<const jet::RecordSet> rows = actions_ ? actions_->rows() : nullptr;
    if (!rows) {
        return;
    }
    seams::msgBox(statsText(selectionStats(*rows, actions_->selection()), false), window());
}

void GridTools::toggleFrozenColumns() {
    frozen_->freeze(frozen_->frozenUntil() >= 0 ? -1 : currentColumn());
}

QString GridTools::toolTip() const {
    QStringList lines;
    const db::RowView* shown = rowView();
    if (shown && !shown->filters().isEmpty()) {
        const QLocale locale;
        lines << QStringLiteral("Righe mostrate: %1 di %2")
                     .arg(locale.toString(shown->shownCount()), locale.toString(shown->totalCount()));
        for (const db::RowFilter& filter : shown->filters()) {
            lines << QStringLiteral("Filtro: ") + filter.description;
        }
    }
    const std::shared_ptr<const jet::RecordSet> rows = actions_ ? actions_->rows() : nullptr;
    if (rows && view_ && view_->selectionModel()) {
        const QVector<CellRange> ranges = actions_->selection();
        qint64 cells = 0;
        for (const CellRange& r : ranges) {
            cells += qint64(r.bottom - r.top + 1) * (r.right - r.left + 1);
        }
        if (cells > 1) {
            lines << statsText(selectionStats(*rows, ranges), true);
        }
    }
    return lines.join(QLatin1Char('\n'));
}

bool GridTools::eventFilter(QObject* watched, QEvent* event) {
    if (!view_) {
        return false;
    }
    if (event->type() == QEvent::ToolTip) {
        const QString tip = toolTip();
        auto* help = static_cast<QHelpEvent*>(event);
        if (tip.isEmpty()) {
            QToolTip::hideText();
        } else {
            QToolTip::showText(help->globalPos(), tip, view_);
        }
        return true;
    }
    if (watched != view_) {
        return false;
    }
    if (event->type() == QEvent::ShortcutOverride && isFindKey(static_cast<QKeyEvent*>(event))) {
        event->accept();  // the grid keeps these keys even when a window-wide shortcut would take them
        return true;
    }
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Find)) {
            find();
            return true;
        }
        if (key->key() == Qt::Key_F3) {
            findAgain(!(key->modifiers() & Qt::ShiftModifier));
            return true;
        }
    }
    return false;
}

}  // namespace forms
