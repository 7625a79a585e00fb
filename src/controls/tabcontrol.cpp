#include "controls/tabcontrol.h"

#include "runtime/form.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QPushButton>
#include <QResizeEvent>
#include <QShortcut>
#include <QStackedWidget>

namespace controls {

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
    const int rowHeight = runtime::twipsToPixels(345);
    pages_->setGeometry(rect());
    tabBar_->setGeometry(0, 0, width(), rows * rowHeight);
    tabBar_->raise();
}

}  // namespace controls
