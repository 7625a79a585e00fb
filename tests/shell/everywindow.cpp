#include "shell/everywindow.h"

#include "controls/dbcombo.h"
#include "daily/frmaltorra.h"
#include "daily/frmtabella.h"
#include "db/global.h"
#include "db/location.h"
#include "intense/frmintense.h"
#include "intense/frmpioggia.h"
#include "registry/frmanagrafica.h"
#include "registry/frmdettaglio.h"
#include "runtime/form.h"
#include "samplegen/samplegen.h"
#include "shell/frmapertura.h"
#include "shell/frmhelp.h"
#include "shell/frmsplash.h"

#include <QApplication>
#include <QMenuBar>
#include <QTest>

namespace windowtest {

Archive::Archive() : seams_(std::make_unique<testsupport::ScriptedSeams>()) {
    samplegen::Options options;
    if (!samplegen::writeSample(dir_.path(), options, &error_) && error_.isEmpty()) {
        error_ = QStringLiteral("sample not written");
    }
    db::setProgramFolder(dir_.path());
    seams_->onModal = [](QWidget*) {};
    seams_->closeAfterModal = false;
}

Archive::~Archive() {
    close();
    seams_.reset();
    db::setProgramFolder(QString());
}

void Archive::close() {
    runtime::Forms::unloadAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Global::reset();
}

namespace {

frmApertura* mainWindow() {
    return runtime::Forms::show<frmApertura>(runtime::Modality::Modeless);
}

// A station and the first year in a selection form, then "&Seleziona".
void search(controls::DBCombo* station, controls::DBCombo* year, QPushButton* select) {
    station->setCurrentIndex(0);
    emit station->activated(0);
    year->setCurrentIndex(0);
    emit year->activated(0);
    select->click();
}

template <class T>
T* shown(T* window) {
    if (window && QTest::qWaitForWindowExposed(window)) {
        return window;
    }
    return nullptr;
}

}  // namespace

QList<Opening> everyWindow() {
    return {
        {QStringLiteral("frmApertura"), [] { return static_cast<QWidget*>(shown(mainWindow())); }},
        {QStringLiteral("frmSplash"),
         []() -> QWidget* {
             mainWindow()->mnuEsci_Click();
             auto* splash = runtime::Forms::find<frmSplash>();
             if (splash) {
                 splash->Timer1->stop();  // it would end the program
             }
             return shown(splash);
         }},
        {QStringLiteral("frmHelp"),
         []() -> QWidget* {
             mainWindow()->mnuInformazioni_Click();
             return shown(runtime::Forms::find<frmHelp>());
         }},
        {QStringLiteral("frmAltorra"),
         []() -> QWidget* {
             mainWindow()->mnuDati_giornalieri_Click();
             return shown(runtime::Forms::find<frmAltorra>());
         }},
        {QStringLiteral("frmTabella"),
         []() -> QWidget* {
             mainWindow()->mnuDati_giornalieri_Click();
             frmAltorra* form = runtime::Forms::find<frmAltorra>();
             if (!form) {
                 return nullptr;
             }
             search(form->DBCmbStazione, form->DBcmbAnno, form->cmdSeleziona);
             auto* table = runtime::Forms::find<frmTabella>();
             if (table) {
                 table->Timer1->stop();
             }
             return shown(table);
         }},
        {QStringLiteral("frmPioggia"),
         []() -> QWidget* {
             mainWindow()->mnuPiogge_intense_Click();
             return shown(runtime::Forms::find<frmPioggia>());
         }},
        {QStringLiteral("frmIntense"),
         []() -> QWidget* {
             mainWindow()->mnuPiogge_intense_Click();
             frmPioggia* form = runtime::Forms::find<frmPioggia>();
             if (!form) {
                 return nullptr;
             }
             search(form->DBCmbStazione, form->DBcmbAnno, form->cmdSeleziona);
             auto* table = runtime::Forms::find<frmIntense>();
             if (table) {
                 table->Timer1->stop();
             }
             return shown(table);
         }},
        {QStringLiteral("frmAnagrafica"),
         []() -> QWidget* {
             mainWindow()->mnuAnagrafica_Click();
             return shown(runtime::Forms::find<frmAnagrafica>());
         }},
        {QStringLiteral("frmDettaglio"),
         []() -> QWidget* {
             mainWindow()->mnuAnagrafica_Click();
             frmAnagrafica* registry = runtime::Forms::find<frmAnagrafica>();
             if (!registry) {
                 return nullptr;
             }
             registry->PctUbic_Click();
             return shown(runtime::Forms::find<frmDettaglio>());
         }},
    };
}

QSize twipsSize(const QWidget* window) {
    struct Twips {
        const char* name;
        int width, height;
    };
    static const Twips sizes[] = {
        {"frmApertura", 11220, 8310},  {"frmAltorra", 8055, 3795}, {"frmPioggia", 8055, 3495},
        {"frmTabella", 8985, 6255},    {"frmIntense", 8985, 6255}, {"frmAnagrafica", 11220, 8655},
        {"frmDettaglio", 11220, 8730}, {"frmHelp", 9120, 6330},    {"frmSplash", 9075, 6570}};
    for (const Twips& twips : sizes) {
        if (window->objectName() == QLatin1String(twips.name)) {
            const auto* menu = window->findChild<QMenuBar*>(QString(), Qt::FindDirectChildrenOnly);
            return QSize(runtime::twipsToPixels(twips.width),
                         runtime::twipsToPixels(twips.height) + (menu ? menu->sizeHint().height() : 0));
        }
    }
    return QSize();
}

QList<QWidget*> visibleWidgets(QWidget* window) {
    QList<QWidget*> widgets{window};
    for (QWidget* child : window->findChildren<QWidget*>()) {
        if (child->isVisibleTo(window) && child->window() == window) {
            widgets.append(child);
        }
    }
    return widgets;
}

}  // namespace windowtest
