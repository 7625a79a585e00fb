#include "shell/textfit.h"

#include "controls/gridfit.h"
#include "forms/formkit.h"
#include "shell/everywindow.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOption>
#include <QTableView>

namespace windowtest {

namespace {

QString where(const QWidget* widget, const QString& text) {
    const QString name = widget->objectName().isEmpty()
                             ? QString::fromLatin1(widget->metaObject()->className())
                             : widget->objectName();
    return QStringLiteral("%1/%2: \"%3\"").arg(widget->window()->objectName(), name, text);
}

// True when `text`, laid out with `flags` in `room`, needs no more than the room.
bool fits(const QFontMetrics& metrics, const QRect& room, int flags, const QString& text) {
    const QRect needed = metrics.boundingRect(room, flags, text);
    return needed.width() <= room.width() && needed.height() <= room.height();
}

void checkLabel(const QLabel* label, QStringList* cut) {
    if (label->text().isEmpty() || Qt::mightBeRichText(label->text())) {
        return;
    }
    const int margin = label->margin();
    const QRect room = label->contentsRect().adjusted(margin, margin, -margin, -margin);
    int flags = int(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0);
    flags |= label->buddy() ? Qt::TextShowMnemonic : 0;
    if (!fits(label->fontMetrics(), room, flags, label->text())) {
        cut->append(where(label, label->text()));
    }
}

void checkButton(const QAbstractButton* button, QStringList* cut) {
    if (button->text().isEmpty()) {
        return;
    }
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    QRect room;
    int flags = Qt::TextShowMnemonic;
    if (const auto* wrapping = qobject_cast<const forms::WrapCheckBox*>(button)) {
        // As the box paints itself: the caption right of the indicator, wrapping.
        const int indicator = button->style()->pixelMetric(QStyle::PM_IndicatorWidth, &option, button);
        const int left = 2 + indicator + 6;
        room = QRect(left, 0, wrapping->width() - left - 2, wrapping->height());
        flags |= Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap;
    } else if (qobject_cast<const QCheckBox*>(button)) {
        room = button->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, button);
        flags |= Qt::AlignLeft | Qt::AlignVCenter;
    } else {
        room = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
        flags |= Qt::AlignCenter;
    }
    if (!fits(button->fontMetrics(), room, flags, button->text())) {
        cut->append(where(button, button->text()));
    }
}

// The line's text and its height inside the frame and the edit's own margins.
void checkLine(const QLineEdit* line, const QString& text, QStringList* cut) {
    const int frame =
        line->hasFrame() ? line->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, line) : 0;
    const QMargins margins = line->textMargins();
    const QRect room = line->rect().adjusted(frame + margins.left() + 2, frame + margins.top() + 1,
                                             -frame - margins.right() - 2, -frame - margins.bottom() - 1);
    if (!fits(line->fontMetrics(), room, Qt::AlignLeft | Qt::AlignVCenter, text)) {
        cut->append(where(line, text));
    }
}

void checkList(const QComboBox* list, QStringList* cut) {
    const QLineEdit* line = list->lineEdit();
    if (!line) {
        return;
    }
    checkLine(line, line->text(), cut);
    for (int i = 0; i < list->count(); ++i) {
        checkLine(line, list->itemText(i), cut);
    }
}

// Captions whole in their sections; the cells of the first rows whole in their columns.
void checkGrid(const QTableView* view, QStringList* cut) {
    const QAbstractItemModel* model = view->model();
    const QHeaderView* header = view->horizontalHeader();
    if (!model || !view->isVisible()) {
        return;
    }
    const int cellMargin = 2 * (view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1);
    for (int column = 0; column < model->columnCount(); ++column) {
        if (view->isColumnHidden(column)) {
            continue;
        }
        const QString caption = model->headerData(column, Qt::Horizontal).toString();
        if (header->isVisible() && controls::captionWidth(header, caption) > header->sectionSize(column)) {
            cut->append(where(header, caption));
        }
        for (int row = 0; row < qMin(model->rowCount(), 40); ++row) {
            const QString text = model->index(row, column).data().toString();
            const int width = view->columnWidth(column) - cellMargin;
            const int height = view->rowHeight(row);
            const int flags = view->wordWrap() ? Qt::TextWordWrap : 0;
            if (!fits(view->fontMetrics(), QRect(0, 0, width, height), flags, text)) {
                cut->append(where(view, text));
            }
        }
    }
}

}  // namespace

QStringList cutTexts(QWidget* window) {
    QStringList cut;
    for (QWidget* widget : windowtest::visibleWidgets(window)) {
        if (const auto* label = qobject_cast<QLabel*>(widget)) {
            checkLabel(label, &cut);
        } else if (const auto* button = qobject_cast<QAbstractButton*>(widget)) {
            checkButton(button, &cut);
        } else if (const auto* list = qobject_cast<QComboBox*>(widget)) {
            checkList(list, &cut);
        } else if (const auto* line = qobject_cast<QLineEdit*>(widget)) {
            if (!qobject_cast<QComboBox*>(line->parentWidget())) {
                checkLine(line, line->text(), &cut);
            }
        } else if (const auto* view = qobject_cast<QTableView*>(widget)) {
            checkGrid(view, &cut);
        }
    }
    return cut;
}

}  // namespace windowtest
