#include "forms/gridfind.h"

#include "forms/gridactions.h"

#include <QCheckBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QScrollBar>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace forms {

FindResult findCell(const jet::RecordSet& rows, const QString& text, int row, int column, bool forward,
                    const FindOptions& options, const jet::DisplayFormat& format) {
    FindResult result;
    const qint64 columns = rows.fieldCount();
    const qint64 cells = qint64(rows.recordCount()) * columns;
    if (text.isEmpty() || cells == 0) {
        return result;
    }
    const Qt::CaseSensitivity sensitivity = options.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    // Cells numbered row by row; the start is the cell before the first or after the last when it
    // is not a cell.
    qint64 at = row >= 0 && row < rows.recordCount() && column >= 0 && column < columns
                    ? row * columns + column
                : forward ? -1
                          : cells;
    QString buffer;
    for (qint64 step = 0; step < cells; ++step) {
        at += forward ? 1 : -1;
        if (at >= cells || at < 0) {
            at = forward ? 0 : cells - 1;
            result.wrapped = true;
        }
        const int r = int(at / columns);
        const int c = int(at % columns);
        const QStringView shown = rows.textView(r, c, format, &buffer);
        const bool hit =
            options.wholeCell ? shown.compare(text, sensitivity) == 0 : shown.contains(text, sensitivity);
        if (hit) {
            result.row = r;
            result.column = c;
            return result;
        }
    }
    result.wrapped = false;
    return result;
}

QString findMessage(const FindResult& result, const QString& text, bool forward) {
    if (result.row < 0) {
        return QStringLiteral("«%1» non è stato trovato.").arg(text);
    }
    if (result.wrapped) {
        return forward ? QStringLiteral("Raggiunta la fine della tabella: la ricerca è ripresa dall'inizio.")
                       : QStringLiteral("Raggiunto l'inizio della tabella: la ricerca è ripresa dalla fine.");
    }
    return QString();
}

FindBar::FindBar(GridActions* actions) : QFrame(actions->view()), actions_(actions) {
    setObjectName(QStringLiteral("findBar"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 3, 4, 3);
    layout->setSpacing(2);
    auto* line = new QHBoxLayout;
    line->setSpacing(4);
    auto* label = new QLabel(QStringLiteral("Trova:"), this);
    text_ = new QLineEdit(this);
    text_->setObjectName(QStringLiteral("findText"));
    text_->setMinimumWidth(140);
    label->setBuddy(text_);
    auto button = [this](const QString& name, const QString& glyph, const QString& tip) {
        auto* b = new QToolButton(this);
        b->setObjectName(name);
        b->setText(glyph);
        b->setToolTip(tip);
        b->setAccessibleName(tip);  // the glyph alone reads as nothing
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::NoFocus);
        return b;
    };
    QToolButton* previous = button(QStringLiteral("findPrevious"), QStringLiteral("\u25B2"),
                                   QStringLiteral("Precedente (Maiusc+F3)"));
    QToolButton* next =
        button(QStringLiteral("findNext"), QStringLiteral("\u25BC"), QStringLiteral("Successivo (F3)"));
    QToolButton* close =
        button(QStringLiteral("findClose"), QStringLiteral("\u2715"), QStringLiteral("Chiudi (Esc)"));
    line->addWidget(label);
    line->addWidget(text_, 1);
    line->addWidget(previous);
    line->addWidget(next);
    line->addWidget(close);
    layout->addLayout(line);
    auto* options = new QHBoxLayout;
    whole_ = new QCheckBox(QStringLiteral("Cella intera"), this);
    whole_->setObjectName(QStringLiteral("findWholeCell"));
    case_ = new QCheckBox(QStringLiteral("Maiuscole/minuscole"), this);
    case_->setObjectName(QStringLiteral("findMatchCase"));
    options->addWidget(whole_);
    options->addWidget(case_);
    options->addStretch(1);
    layout->addLayout(options);
    message_ = new QLabel(this);
    message_->setObjectName(QStringLiteral("findMessage"));
    message_->setWordWrap(true);
    message_->hide();
    layout->addWidget(message_);

    connect(text_, &QLineEdit::returnPressed, this, [this] { find(true); });
    connect(next, &QToolButton::clicked, this, [this] { find(true); });
    connect(previous, &QToolButton::clicked, this, [this] { find(false); });
    connect(close, &QToolButton::clicked, this, [this] {
        hide();
        if (actions_ && actions_->view()) {
            actions_->view()->setFocus();
        }
    });
    text_->installEventFilter(this);
    actions->view()->installEventFilter(this);
    hide();
}

void FindBar::place() {
    QTableView* view = actions_ ? actions_->view() : nullptr;
    if (!view) {
        return;
    }
    adjustSize();
    const int width = qMin(qMax(sizeHint().width(), 300), view->width() - 4);
    resize(width, heightForWidth(width) > 0 ? heightForWidth(width) : sizeHint().height());
    const int scrollBar = view->verticalScrollBar()->isVisible() ? view->verticalScrollBar()->width() : 0;
    move(qMax(0, view->width() - width - scrollBar - 2), view->horizontalHeader()->height() + 2);
}

void FindBar::open() {
    message_->hide();
    place();
    show();
    raise();
    text_->setFocus();
    text_->selectAll();
}

void FindBar::find(bool forward) {
    if (!actions_ || !actions_->view()) {
        return;
    }
    if (text_->text().isEmpty()) {
        open();
        return;
    }
    QTableView* view = actions_->view();
    const std::shared_ptr<const jet::RecordSet> rows = actions_->rows();
    if (!rows) {
        return;
    }
    const QModelIndex current = view->currentIndex();
    const FindResult result =
        findCell(*rows, text_->text(), current.isValid() ? current.row() : -1,
                 current.isValid() ? current.column() : -1, forward,
                 {whole_->isChecked(), case_->isChecked()}, jet::DisplayFormat(QLocale()));
    if (result.row >= 0) {
        const QModelIndex found = view->model()->index(result.row, result.column);
        view->setCurrentIndex(found);
        view->scrollTo(found);
    }
    const QString message = findMessage(result, text_->text(), forward);
    message_->setText(message);
    message_->setVisible(!message.isEmpty());
    if (isVisible()) {
        place();
    }
}

bool FindBar::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize && actions_ && watched == actions_->view() && isVisible()) {
        place();
    }
    if (watched == text_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape) {
            hide();
            actions_->view()->setFocus();
            return true;
        }
        if (key->key() == Qt::Key_F3) {
            find(!(key->modifiers() & Qt::ShiftModifier));
            return true;
        }
    }
    return QFrame::eventFilter(watched, event);
}

}  // namespace forms
