#include "shell/frmapertura.h"

#include "daily/frmaltorra.h"
#include "forms/formkit.h"
#include "intense/frmpioggia.h"
#include "registry/frmanagrafica.h"
#include "runtime/seams.h"
#include "shell/artwork.h"
#include "shell/frmhelp.h"
#include "shell/frmsplash.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {
const int kClientWidthTwips = 11220;
const int kClientHeightTwips = 8310;
}  // namespace

frmApertura::frmApertura(QWidget* parent) : runtime::Form(parent) {
    setObjectName(QStringLiteral("frmApertura"));
    setWindowTitle(QStringLiteral("Altorra della Regione Sorvane"));
    setWindowIcon(shell::programIcon());
    // A sizable border with minimize and close buttons, no maximize button.
    forms::setFixedFrame(this, Qt::Window);
    setWindowFlag(Qt::WindowMinimizeButtonHint);

    menuBar = new QMenuBar(this);
    menuBar->setObjectName(QStringLiteral("menuBar"));
    // The menu stays in the window, as the archive's tools had it, also on desktops with a global menu.
    menuBar->setNativeMenuBar(false);

    mnuFile = menuBar->addMenu(QStringLiteral("&File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuEsci = forms::addEntry(mnuFile, "mnuEsci", "&Esci");
    mnuVisualizza = menuBar->addMenu(QStringLiteral("&Visualizza"));
    mnuVisualizza->setObjectName(QStringLiteral("mnuVisualizza"));
    mnuAnagrafica = forms::addEntry(mnuVisualizza, "mnuAnagrafica", "&Anagrafica");
    mnuDati_giornalieri = forms::addEntry(mnuVisualizza, "mnuDati_giornalieri", "&Dati giornalieri");
    mnuPiogge_intense = forms::addEntry(mnuVisualizza, "mnuPiogge_intense", "&Piogge intense");
    // A top-level command with no sub-menu.
    mnuInformazioni = forms::addEntry(menuBar, "mnuInformazioni", "&Informazioni");

    // Queued, so that a handler that shows a modal window runs after the menu has closed and never
    // inside the menu's own event handling.
    const std::pair<QAction*, void (frmApertura::*)()> handlers[] = {
        {mnuEsci, &frmApertura::mnuEsci_Click},
        {mnuAnagrafica, &frmApertura::mnuAnagrafica_Click},
        {mnuDati_giornalieri, &frmApertura::mnuDati_giornalieri_Click},
        {mnuPiogge_intense, &frmApertura::mnuPiogge_intense_Click},
        {mnuInformazioni, &frmApertura::mnuInformazioni_Click},
    };
    for (const auto& [action, handler] : handlers) {
        connect(action, &QAction::triggered, this, handler, Qt::QueuedConnection);
    }

    Picture1 = new forms::PictureBox(QStringLiteral("Picture1"), this);
    Picture1->setPicture(shell::titlePicture());
    Picture1->setAccessibleName(windowTitle());  // the title picture shows the program's name

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(menuBar);
    layout->addWidget(Picture1);

    // The client area (below the menu bar) is 11220 x 8310 twips.
    resize(runtime::twipsToPixels(kClientWidthTwips),
           runtime::twipsToPixels(kClientHeightTwips) + menuBar->sizeHint().height());
}

void frmApertura::showEvent(QShowEvent* event) {
    if (!placed_) {
        placed_ = true;
        forms::centreFrame(this);
    }
    runtime::Form::showEvent(event);
}

// Closing the main window from its frame ends the program without the closing screen; a registry
// window left open would otherwise keep a program without its main window alive.
void frmApertura::Form_Unload() {
    runtime::Forms::unloadAll();
    QCoreApplication::quit();
}

// The hourglass is set before the data window loads; the window's activation handler puts the
// default pointer back. If the window never gets that far (it unloaded itself while loading, or a
// modal one is already closed again), the pointer is put back here so it cannot stay stuck.
void frmApertura::mnuAnagrafica_Click() {
    seams::setMousePointer(seams::kHourglass);
    if (!runtime::Forms::show<frmAnagrafica>(runtime::Modality::Modeless)) {
        seams::setMousePointer(seams::kDefaultPointer);
    }
}

void frmApertura::mnuDati_giornalieri_Click() {
    seams::setMousePointer(seams::kHourglass);
    runtime::Forms::show<frmAltorra>(runtime::Modality::Modal);
    seams::setMousePointer(seams::kDefaultPointer);
}

void frmApertura::mnuPiogge_intense_Click() {
    seams::setMousePointer(seams::kHourglass);
    runtime::Forms::show<frmPioggia>(runtime::Modality::Modal);
    seams::setMousePointer(seams::kDefaultPointer);
}

void frmApertura::mnuInformazioni_Click() {
    runtime::Forms::show<frmHelp>(runtime::Modality::Modal);
}

void frmApertura::mnuEsci_Click() {
    runtime::Forms::show<frmSplash>(runtime::Modality::Modal);
}
