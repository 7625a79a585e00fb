#include "shell/accessibilitytour.h"

#include "chart/chartwindow.h"
#include "controls/dbcombo.h"
#include "controls/dbgrid.h"
#include "controls/flexgrid.h"
#include "controls/tabcontrol.h"
#include "daily/frmaltorra.h"
#include "daily/frmtabella.h"
#include "db/location.h"
#include "forms/gridactions.h"
#include "forms/gridtools.h"
#include "intense/frmcurva.h"
#include "intense/frmintense.h"
#include "intense/frmpioggia.h"
#include "registry/frmanagrafica.h"
#include "shell/frmapertura.h"
#include "support/queryarchive.h"
#include "support/scriptedseams.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPushButton>
#include <QSet>
#include <QTabWidget>
#include <QTest>

#include <memory>

namespace a11ytest {

namespace {

forms::GridActions* actionsOf(QTableView* view) {
    const QList<forms::GridActions*> found = view->findChildren<forms::GridActions*>();
    if (!found.isEmpty()) {
        return found.constFirst();
    }
    for (forms::GridActions* actions : view->window()->findChildren<forms::GridActions*>()) {
        if (actions->view() == view) {
            return actions;
        }
    }
    return nullptr;
}

void trigger(forms::GridActions* actions, const char* entry) {
    if (!actions) {
        return;
    }
    if (auto* action = actions->menu()->findChild<QAction*>(QString::fromLatin1(entry))) {
        action->trigger();
    } else if (QAction* tool = actions->tools()->action(entry)) {
        tool->trigger();
    }
}

// Visits each window shown and not yet visited; every tab of its tab controls in turn.
class Visitor {
  public:
    explicit Visitor(const Visit& visit) : visit_(visit) {}

    void sweep() {
        QTest::qWait(300);  // what a step opened is shown and painted
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->isVisible() && !seen_.contains(window)) {
                seen_.insert(window);
                names_.append(window->objectName());
                look(window, window->objectName());
            }
        }
    }
    // Visits a window again (a bar it shows now inside).
    void again(QWidget* window, const QString& step) { look(window, step); }
    QStringList names() const { return names_; }

  private:
    void look(QWidget* window, const QString& step) {
        visit_(window, step);
        for (QTabWidget* tabs : window->findChildren<QTabWidget*>()) {
            if (tabs->window() != window) {
                continue;  // a window of its own, visited apart
            }
            const int shown = tabs->currentIndex();
            for (int i = 0; i < tabs->count(); ++i) {
                tabs->setCurrentIndex(i);
                QTest::qWait(100);
                visit_(window, step + QStringLiteral(" / ") + tabs->tabText(i).remove(u'&'));
            }
            tabs->setCurrentIndex(shown);
        }
        for (controls::TabControl* tabs : window->findChildren<controls::TabControl*>()) {
            if (tabs->window() != window) {
                continue;
            }
            const int shown = tabs->Tab();
            for (int i = 0; i < tabs->count(); ++i) {
                tabs->setTab(i);
                QTest::qWait(100);
                visit_(window, step + QStringLiteral(" / ") + tabs->tabCaption(i).trimmed());
            }
            tabs->setTab(shown);
        }
    }

    Visit visit_;
    QSet<QWidget*> seen_;
    QStringList names_;
};

void dailyWindows(Visitor& visitor, frmApertura* main) {
    main->mnuDati_giornalieri_Click();
    visitor.sweep();
    auto* form = runtime::Forms::find<frmAltorra>();
    if (!form) {
        return;
    }
    querytest::choose(form->DBCmbStazione, form->DBCmbStazione->itemText(0));
    querytest::choose(form->DBcmbAnno, form->DBcmbAnno->itemText(1));
    form->cmdSeleziona->click();
    visitor.sweep();
    auto* table = runtime::Forms::find<frmTabella>();
    if (!table) {
        return;
    }
    table->DB->view()->setCurrentIndex(table->DB->view()->model()->index(0, 0));
    forms::GridActions* actions = actionsOf(table->DB->view());
    if (actions) {
        actions->chartAction()->trigger();
        visitor.sweep();
    }
    trigger(actions, "mnuRiepilogo");
    QTest::qWait(2000);  // the summary reads its rows on a thread of its own
    visitor.sweep();
    trigger(actions, "mnuFiltro");
    visitor.sweep();
    for (QWidget* modal = QApplication::activeModalWidget(); modal && modal != table;
         modal = QApplication::activeModalWidget()) {
        modal->close();  // the filter dialog, once looked at
    }
    if (actions) {
        actions->tools()->find();
        visitor.again(table, QStringLiteral("frmTabella + Trova"));
    }
}

void intenseWindows(Visitor& visitor, frmApertura* main) {
    main->mnuPiogge_intense_Click();
    visitor.sweep();
    auto* form = runtime::Forms::find<frmPioggia>();
    if (!form) {
        return;
    }
    querytest::choose(form->DBCmbStazione, form->DBCmbStazione->itemText(0));
    form->cmdSeleziona->click();
    visitor.sweep();
    auto* table = runtime::Forms::find<frmIntense>();
    if (!table) {
        return;
    }
    table->DBpioggia->view()->setCurrentIndex(table->DBpioggia->view()->model()->index(0, 0));
    forms::GridActions* actions = actionsOf(table->DBpioggia->view());
    if (actions) {
        actions->chartAction()->trigger();
        visitor.sweep();
    }
    trigger(actions, "mnuCurva");
    visitor.sweep();
    if (auto* curve = table->findChild<frmCurva*>()) {
        curve->cmdGrafico->click();
        visitor.sweep();
        curve->cmdGumbel->click();
        visitor.sweep();
    }
}

void registryWindows(Visitor& visitor, frmApertura* main) {
    main->mnuAnagrafica_Click();
    QTest::qWait(300);
    auto* card = runtime::Forms::find<frmAnagrafica>();
    if (!card) {
        return;
    }
    querytest::choose(card->DBCombo1, card->DBCombo1->itemText(1));
    visitor.sweep();
    card->MSFlexGrid1->view()->setCurrentIndex(card->MSFlexGrid1->view()->model()->index(0, 0));
    if (forms::GridActions* actions = actionsOf(card->MSFlexGrid1->view())) {
        actions->chartAction()->trigger();
        visitor.sweep();
    }
    card->PctUbic_Click();
    visitor.sweep();
}

}  // namespace

QStringList expectedWindows() {
    return {QStringLiteral("frmApertura"),   QStringLiteral("frmAltorra"),   QStringLiteral("frmTabella"),
            QStringLiteral("frmGrafico"),    QStringLiteral("frmRiepilogo"), QStringLiteral("filterDialog"),
            QStringLiteral("frmPioggia"),    QStringLiteral("frmIntense"),   QStringLiteral("frmCurva"),
            QStringLiteral("frmAnagrafica"), QStringLiteral("frmDettaglio"), QStringLiteral("frmHelp"),
            QStringLiteral("frmSplash")};
}

QStringList openEveryWindow(const QString& programFolder, const Visit& visit) {
    db::setProgramFolder(programFolder);
    auto seams = std::make_unique<testsupport::ScriptedSeams>();
    seams->closeAfterModal = false;  // every window stays open to be looked at
    seams->onModal = [](QWidget*) {};
    seams->saveTo = QString();  // cancelled, should a save be asked for
    Visitor visitor(visit);
    frmApertura* main = runtime::Forms::show<frmApertura>(runtime::Modality::Modeless);
    visitor.sweep();
    dailyWindows(visitor, main);
    intenseWindows(visitor, main);
    registryWindows(visitor, main);
    main->mnuInformazioni_Click();
    visitor.sweep();
    main->mnuEsci_Click();
    visitor.sweep();
    seams->unexpected.clear();  // what the windows asked for is not what is tested here
    testsupport::endScriptedTest(seams);
    return visitor.names();
}

}  // namespace a11ytest
