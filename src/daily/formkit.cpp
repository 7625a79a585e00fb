#include "daily/formkit.h"

#include "daily/dailystatement.h"
#include "db/boundcontrols.h"
#include "db/datasource.h"
#include "db/form.h"

#include <QPainter>
#include <QPalette>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>

namespace formkit {

void setFixedFrame(db::Form* form) {
    form->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
}

void paint(QWidget* widget, const QColor& background, const QColor& text) {
    // Only the window roles: a form's colours must not reach the button faces of its push buttons.
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::WindowText, text);
    widget->setPalette(palette);
    widget->setBackgroundRole(QPalette::Window);  // a check box would fill with the button role otherwise
    widget->setAutoFillBackground(true);
}

QPushButton* makeButton(const QString& name, const QString& caption, QWidget* parent, int left, int top,
                        int width, int height) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    QFont font = button->font();
    font.setBold(true);
    button->setFont(font);
    button->setGeometry(db::twipsRect(left, top, width, height));
    return button;
}

WrapCheckBox::WrapCheckBox(const QString& name, const QString& caption, QWidget* parent)
    : QCheckBox(caption, parent) {
    setObjectName(name);
}

QSize WrapCheckBox::sizeHint() const {
    return size().isValid() ? size() : QCheckBox::sizeHint();
}

namespace {
QRect indicatorRect(const QCheckBox* box) {
    QStyleOptionButton option;
    option.initFrom(box);
    const int w = box->style()->pixelMetric(QStyle::PM_IndicatorWidth, &option, box);
    const int h = box->style()->pixelMetric(QStyle::PM_IndicatorHeight, &option, box);
    return QRect(2, (box->height() - h) / 2, w, h);
}
}  // namespace

void WrapCheckBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QStyleOptionButton option;
    option.initFrom(this);
    option.rect = indicatorRect(this);
    switch (checkState()) {
        case Qt::Checked:
            option.state |= QStyle::State_On;
            break;
        case Qt::PartiallyChecked:
            option.state |= QStyle::State_NoChange;
            break;
        case Qt::Unchecked:
            option.state |= QStyle::State_Off;
            break;
    }
    if (isDown()) {
        option.state |= QStyle::State_Sunken;
    }
    style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &option, &painter, this);
    const int textLeft = option.rect.right() + 6;
    const QRect textRect(textLeft, 0, width() - textLeft - 2, height());
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextWordWrap | Qt::TextShowMnemonic,
                     text());
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = textRect.adjusted(-2, 2, 0, -2);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}

bool WrapCheckBox::hitButton(const QPoint& pos) const {
    return rect().contains(pos);
}

int boxValue(const QCheckBox* box) {
    switch (box->checkState()) {
        case Qt::Checked:
            return 1;
        case Qt::PartiallyChecked:
            return 2;
        case Qt::Unchecked:
            break;
    }
    return 0;
}

ListChoice readChoice(const db::DBCombo* list, db::DataSource* source, const QString& keyField) {
    ListChoice choice;
    choice.text = list->text();
    db::Recordset* rows = source->recordset();
    const db::Bookmark bookmark = list->SelectedItem();
    const bool designates = rows && bookmark >= 0 && bookmark < rows->RecordCount();
    if (designates) {
        rows->setBookmark(bookmark);
        source->notifyRepositioned();
    }
    if (daily::trimBlanks(choice.text).isEmpty()) {
        return choice;  // a blank list asks for nothing, whatever it designates
    }
    if (!designates) {
        choice.unmatched = true;
        return choice;
    }
    choice.key = rows->text(keyField);
    return choice;
}

QString unmatchedMessage(const QString& listName, const QString& text) {
    return QStringLiteral(
               "Il valore \"%1\" indicato in %2 non corrisponde a nessuna voce dell'elenco: "
               "sceglierne una dall'elenco")
        .arg(daily::trimBlanks(text), listName);
}

}  // namespace formkit
