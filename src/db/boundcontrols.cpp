#include "db/boundcontrols.h"

#include "db/form.h"
#include "db/gridfit.h"
#include "db/rowview.h"

#include "jet/jet.h"

#include <QAbstractTableModel>
#include <QButtonGroup>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QResizeEvent>
#include <QShortcut>
#include <QStackedWidget>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace db {

// A read-only table over a record set. Cells are turned into text only when a view asks for them,
// so a grid over a hundred thousand rows costs no more than the rows on screen.
class RecordsetModel : public QAbstractTableModel {
  public:
    RecordsetModel(QObject* parent, bool markCurrentRow)
        : QAbstractTableModel(parent), markCurrentRow_(markCurrentRow) {}

    void setSource(DataSource* source) { source_ = source; }

    // Shows the source's current record set, or nothing (with `emptyColumns` blank columns).
    void reload(int emptyColumns) {
        beginResetModel();
        Recordset* records = source_ ? source_->recordset() : nullptr;
        rows_ = records ? records->rows() : nullptr;
        emptyColumns_ = emptyColumns;
        format_ = jet::DisplayFormat(QLocale());
        endResetModel();
    }

    std::shared_ptr<const jet::RecordSet> rows() const { return rows_; }

    bool showsCurrentRecordset() const {
        Recordset* records = source_ ? source_->recordset() : nullptr;
        return rows_ && records && records->rows() == rows_;
    }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() || !rows_ ? 0 : rows_->recordCount();
    }

    int columnCount(const QModelIndex& parent = QModelIndex()) const override {
        if (parent.isValid()) {
            return 0;
        }
        return rows_ ? rows_->fieldCount() : emptyColumns_;
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (!rows_ || !index.isValid() || role != Qt::DisplayRole) {
            return QVariant();
        }
        return rows_->text(index.row(), index.column(), format_);
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (role != Qt::DisplayRole) {
            return QVariant();
        }
        if (orientation == Qt::Horizontal) {
            return rows_ && section >= 0 && section < rows_->fieldCount() ? rows_->fieldName(section)
                                                                          : QString();
        }
        // The record selector carries no number, only a mark at the current row.
        if (markCurrentRow_ && showsCurrentRecordset() && source_->recordset()->bookmark() == section) {
            return QStringLiteral("\u25B6");
        }
        return QString();
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override {
        return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
    }

  private:
    QPointer<DataSource> source_;
    std::shared_ptr<const jet::RecordSet> rows_;
    int emptyColumns_ = 0;
    jet::DisplayFormat format_;  // the regional settings as they were when the rows came
    bool markCurrentRow_;
};

namespace {

// The view shows the model through a RowView, which the user sorts and filters.
QTableView* makeReadOnlyView(QWidget* parent, RecordsetModel* model) {
    auto* view = new QTableView(parent);
    view->setModel(new RowView(
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

}  // namespace

// ---------------------------------------------------------------- BoundTextBox

BoundTextBox::BoundTextBox(const QString& name, QWidget* parent, bool multiLine) : QWidget(parent) {
    setObjectName(name);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    if (multiLine) {
        multi_ = new QPlainTextEdit(this);
        // Locked: the text cannot change, but the caret still moves so a long text can be read.
        multi_->setReadOnly(true);
        multi_->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
        multi_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        multi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        multi_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        layout->addWidget(multi_);
        setFocusProxy(multi_);
    } else {
        line_ = new QLineEdit(this);
        // The program only reads: the text can be selected and copied, never changed.
        line_->setReadOnly(true);
        layout->addWidget(line_);
        setFocusProxy(line_);
    }
}

void BoundTextBox::bind(DataSource* source, const QString& field) {
    if (source_) {
        disconnect(source_, nullptr, this, nullptr);
    }
    source_ = source;
    field_ = field;
    if (source_) {
        connect(source_, &DataSource::opened, this, &BoundTextBox::refresh);
        connect(source_, &DataSource::repositioned, this, &BoundTextBox::refresh);
        connect(source_, &DataSource::closed, this, &BoundTextBox::refresh);
    }
    refresh();
}

QString BoundTextBox::text() const {
    return line_ ? line_->text() : multi_->toPlainText();
}

void BoundTextBox::setText(const QString& text) {
    if (line_) {
        line_->setText(text);
        line_->setCursorPosition(0);  // a long value shows from its beginning
    } else {
        multi_->setPlainText(text);
    }
}

void BoundTextBox::refresh() {
    Recordset* records = source_ ? source_->recordset() : nullptr;
    setText(records && !records->isEOF() ? records->text(field_) : QString());
}

// ---------------------------------------------------------------- DBCombo

DBCombo::DBCombo(const QString& name, QWidget* parent) : QComboBox(parent) {
    setObjectName(name);
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    // Inline completion would rewrite what the user types.
    setCompleter(nullptr);
    setMaxVisibleItems(8);
    connect(this, &QComboBox::activated, this, &DBCombo::entryActivated);
    connect(lineEdit(), &QLineEdit::textEdited, this, &DBCombo::textTyped);
    connect(lineEdit(), &QLineEdit::textChanged, this, &DBCombo::designate);
}

void DBCombo::bind(DataSource* rowSource, const QString& listField) {
    if (source_) {
        disconnect(source_, nullptr, this, nullptr);
        if (textSource_ == source_) {
            bindText(textSource_, textField_);  // keep the text binding that shared the source
        }
    }
    source_ = rowSource;
    listField_ = listField;
    if (source_) {
        connect(source_, &DataSource::opened, this, &DBCombo::fill);
        connect(source_, &DataSource::closed, this, &DBCombo::fill);
    }
    fill();
}

void DBCombo::bindText(DataSource* source, const QString& dataField) {
    if (textSource_) {
        disconnect(textSource_, &DataSource::opened, this, &DBCombo::showBoundText);
        disconnect(textSource_, &DataSource::repositioned, this, &DBCombo::showBoundText);
    }
    textSource_ = source;
    textField_ = dataField;
    if (textSource_) {
        connect(textSource_, &DataSource::opened, this, &DBCombo::showBoundText);
        connect(textSource_, &DataSource::repositioned, this, &DBCombo::showBoundText);
        showBoundText();
    }
}

QString DBCombo::text() const {
    return lineEdit()->text();
}

void DBCombo::setText(const QString& text) {
    lineEdit()->setText(text);
}

Bookmark DBCombo::SelectedItem() const {
    return selected_;
}

void DBCombo::fill() {
    const QString shown = lineEdit()->text();
    {
        const QSignalBlocker blocker(this);
        clear();
        selected_ = -1;
        Recordset* records = source_ ? source_->recordset() : nullptr;
        if (records) {
            const int field = records->fieldIndex(listField_);
            const int count = records->RecordCount();
            QStringList entries;
            entries.reserve(count);
            for (int row = 0; row < count; ++row) {
                entries.append(records->text(row, field));
            }
            // Entry i is row i: the bookmark of an entry is its own row, even among equal texts.
            addItems(entries);
        }
        setCurrentIndex(-1);
    }
    lineEdit()->setText(shown);
    designate(shown);
}

void DBCombo::showBoundText() {
    Recordset* records = textSource_ ? textSource_->recordset() : nullptr;
    const bool onRow = records && !records->isEOF();
    setText(onRow ? records->text(textField_) : QString());
    typed_ = false;
    if (onRow && textSource_ == source_ && records->bookmark() < count()) {
        selected_ = records->bookmark();  // the row shown, also among entries named alike
    }
}

void DBCombo::entryActivated(int index) {
    if (committingTypedText_) {
        // Some Qt versions turn a typed text that names an entry into an activation when the
        // edit ends; that is typing, not a choice from the list.
        return;
    }
    selected_ = index;
    typed_ = false;
    emit Click(0);
}

void DBCombo::textTyped() {
    typed_ = true;
}

void DBCombo::designate(const QString& text) {
    const QString wanted = matchKey(text);
    QList<int> equal;
    for (int i = 0; !wanted.isEmpty() && i < count(); ++i) {
        if (matchKey(itemText(i)) == wanted) {
            equal.append(i);
        }
    }
    if (selected_ >= 0) {
        lastDesignated_ = selected_;
    }
    // Among equal entries the one designated last stays (also across a text retyped in full).
    if (equal.contains(lastDesignated_)) {
        selected_ = lastDesignated_;
    } else {
        selected_ = equal.isEmpty() ? -1 : equal.first();
    }
}

void DBCombo::commitTypedText() {
    if (!textSource_ || !typed_) {
        return;
    }
    typed_ = false;
    if (selected_ >= 0) {
        emit Click(0);
    } else {
        showBoundText();
    }
}

void DBCombo::focusOutEvent(QFocusEvent* event) {
    committingTypedText_ = true;
    QComboBox::focusOutEvent(event);
    committingTypedText_ = false;
    if (event->reason() != Qt::PopupFocusReason) {
        commitTypedText();  // not when the drop-down opens: the user is still choosing
    }
}

void DBCombo::keyPressEvent(QKeyEvent* event) {
    const bool commit = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    committingTypedText_ = commit;
    QComboBox::keyPressEvent(event);
    committingTypedText_ = false;
    if (commit) {
        commitTypedText();
    }
}

void DBCombo::wheelEvent(QWheelEvent* event) {
    // The wheel scrolls the window under the pointer; it does not choose entries one by one.
    event->ignore();
}

// ---------------------------------------------------------------- DBGrid

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
    view_->verticalHeader()->setFixedWidth(twipsToPixels(225));
    view_->verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    layout->addWidget(view_, 1);
    // Tab and Shift+Tab leave the grid for the window's next control; the arrows move inside.
    view_->setTabKeyNavigation(false);
    setFocusProxy(view_);
    // The current row follows the row the user moves to in the grid.
    connect(view_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid() && model_->showsCurrentRecordset()) {
                    source_->recordset()->setBookmark(RowView::of(view_->model())->recordRow(current.row()));
                }
            });
}

void DBGrid::bind(DataSource* source) {
    if (source_) {
        disconnect(source_, nullptr, this, nullptr);
    }
    source_ = source;
    model_->setSource(source);
    if (source_) {
        connect(source_, &DataSource::opened, this, &DBGrid::reload);
        connect(source_, &DataSource::closed, this, &DBGrid::reload);
        connect(source_, &DataSource::repositioned, view_->verticalHeader()->viewport(),
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
    const int maxWidth = twipsToPixels(4500);
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

// ---------------------------------------------------------------- FlexGrid

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
    connect(RowView::of(view_->model()), &RowView::viewChanged, this, &FlexGrid::fitRows);
}

void FlexGrid::bind(DataSource* source) {
    if (source_) {
        disconnect(source_, nullptr, this, nullptr);
    }
    source_ = source;
    model_->setSource(source);
    if (source_) {
        connect(source_, &DataSource::opened, this, &FlexGrid::reload);
        connect(source_, &DataSource::closed, this, &FlexGrid::reload);
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
    const RowView* shown = RowView::of(view_->model());
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
    const int pixelsPerInch = qMax(1, twipsToPixels(1440));
    return pixels * 1440 / pixelsPerInch;
}

void FlexGrid::applyWidths() {
    for (int column = 0; column < widths_.size() && column < model_->columnCount(); ++column) {
        if (widths_[column] >= 0) {
            view_->setColumnWidth(column, twipsToPixels(widths_[column]));
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

// ---------------------------------------------------------------- TabControl

TabControl::TabControl(const QString& name, QWidget* parent, int tabsPerRow)
    : QWidget(parent), tabsPerRow_(qMax(1, tabsPerRow)) {
    setObjectName(name);
    // A page covers the whole control and the tabs stand over its top, so controls are placed on
    // a page at their offsets from the top of the tab control, as the forms give them.
    pages_ = new QStackedWidget(this);
    tabBar_ = new QWidget(this);
    auto* grid = new QGridLayout(tabBar_);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    buttons_ = new QButtonGroup(this);
    buttons_->setExclusive(true);
    connect(buttons_, &QButtonGroup::idClicked, this, &TabControl::setTab);
    // Ctrl+Tab and Ctrl+Shift+Tab step through the tabs, as they do on the original control.
    auto* next = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab), this);
    next->setContext(Qt::WidgetWithChildrenShortcut);
    connect(next, &QShortcut::activated, this, [this] {
        if (count() > 0) {
            setTab((Tab() + 1) % count());
        }
    });
    auto* previous = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), this);
    previous->setContext(Qt::WidgetWithChildrenShortcut);
    connect(previous, &QShortcut::activated, this, [this] {
        if (count() > 0) {
            setTab((Tab() + count() - 1) % count());
        }
    });
}

QWidget* TabControl::addTab(const QString& caption) {
    const int index = count();
    auto* button = new QPushButton(caption, tabBar_);
    button->setCheckable(true);
    button->setObjectName(objectName() + QStringLiteral("_tab%1").arg(index));
    buttons_->addButton(button, index);
    static_cast<QGridLayout*>(tabBar_->layout())->addWidget(button, index / tabsPerRow_, index % tabsPerRow_);
    auto* page = new QWidget();
    page->setObjectName(objectName() + QStringLiteral("_page%1").arg(index));
    pages_->addWidget(page);
    if (index == 0) {
        setTab(0);
    }
    layoutTabs();
    return page;
}

int TabControl::count() const {
    return pages_->count();
}

QString TabControl::tabCaption(int index) const {
    QAbstractButton* button = buttons_->button(index);
    return button ? button->text() : QString();
}

int TabControl::Tab() const {
    return pages_->currentIndex();
}

void TabControl::setTab(int index) {
    if (index < 0 || index >= count()) {
        return;
    }
    buttons_->button(index)->setChecked(true);
    pages_->setCurrentIndex(index);
}

QWidget* TabControl::page(int index) const {
    return pages_->widget(index);
}

void TabControl::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutTabs();
}

void TabControl::layoutTabs() {
    const int rows = count() == 0 ? 0 : (count() - 1) / tabsPerRow_ + 1;
    const int rowHeight = twipsToPixels(345);
    pages_->setGeometry(rect());
    tabBar_->setGeometry(0, 0, width(), rows * rowHeight);
    tabBar_->raise();
}

}  // namespace db
