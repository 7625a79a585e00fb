// A tab control whose tabs can stand in several rows.
#pragma once

#include <QWidget>

class QButtonGroup;
class QResizeEvent;
class QStackedWidget;

namespace controls {

// A tab control whose tabs stand in rows (tabsPerRow to a row); each tab shows its own page.
class TabControl : public QWidget {
    Q_OBJECT
  public:
    TabControl(const QString& name, QWidget* parent, int tabsPerRow);
    // Adds a tab and returns its page, on which the caller places the tab's controls.
    QWidget* addTab(const QString& caption);
    int count() const;
    QString tabCaption(int index) const;
    int Tab() const;
    void setTab(int index);
    QWidget* page(int index) const;

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void layoutTabs();
    int tabsPerRow_;
    QButtonGroup* buttons_ = nullptr;
    QStackedWidget* pages_ = nullptr;
    QWidget* tabBar_ = nullptr;
};

}  // namespace controls
