#include "registry/frmanagrafica.h"

#include "db/global.h"
#include "db/location.h"
#include "db/seams.h"
#include "registry/frmdettaglio.h"
#include "registry/registrypaths.h"

#include <QAction>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPrinter>
#include <QScreen>
#include <QVBoxLayout>

namespace {

const int kClientWidth = 11220;
const int kClientHeight = 8655;
const unsigned int kBackColour = 0x00E0E0E0;
const unsigned int kNameLabelColour = 0x00C0C0C0;
const unsigned int kFrameColour = 0x008080FF;

// Monthly grid: parametro, the twelve months, anno.
const int kMonthlyWidths[14] = {1800, 690, 690, 680, 680, 690, 680, 680, 680, 800, 690, 800, 800, 600};

QFont cardFont(const QString& family) {
    QFont font(family);
    // Where the face is not installed, a narrow one of the same build keeps the captions whole.
    font.setFamilies({family, QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                      QStringLiteral("DejaVu Sans Condensed")});
    font.setPointSize(8);
    return font;
}

void paintBackground(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

}  // namespace

frmAnagrafica::frmAnagrafica(QWidget* parent) : db::Form(parent) {
    setObjectName(QStringLiteral("frmAnagrafica"));
    setWindowTitle(QStringLiteral("Anagrafica"));
    // A close box but neither minimise nor maximise.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);

    DMensili = new db::DataSource(QStringLiteral("DMensili"), this, db::DataSource::Kind::Dynaset);
    DAnagrafica = new db::DataSource(QStringLiteral("DAnagrafica"), this, db::DataSource::Kind::Snapshot);
    DMensili->setErrorHandler([this](int dataErr, int& response) { monthlyError(dataErr, response); });

    menuBar = new QMenuBar(this);
    menuBar->setObjectName(QStringLiteral("menuBar"));
    mnuFile = menuBar->addMenu(QStringLiteral("&File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuEsporta = mnuFile->addAction(QStringLiteral("&Esporta dati mensili"));
    mnuEsporta->setObjectName(QStringLiteral("mnuEsporta"));
    mnuStampa = mnuFile->addAction(QStringLiteral("&Stampa"));
    mnuStampa->setObjectName(QStringLiteral("mnuStampa"));
    mnuChiudi = mnuFile->addAction(QStringLiteral("&Chiudi"));
    mnuChiudi->setObjectName(QStringLiteral("mnuChiudi"));
    connect(mnuEsporta, &QAction::triggered, this, [this] { mnuEsporta_Click(); });
    connect(mnuStampa, &QAction::triggered, this, [this] { mnuStampa_Click(); });
    connect(mnuChiudi, &QAction::triggered, this, [this] { mnuChiudi_Click(); });

    client_ = new QWidget(this);
    client_->setObjectName(QStringLiteral("clientArea"));
    client_->setFixedSize(db::twipsToPixels(kClientWidth), db::twipsToPixels(kClientHeight));
    paintBackground(client_, registry::colourFromBgr(kBackColour));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(menuBar);
    layout->addWidget(client_);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    const QColor frame = registry::colourFromBgr(kFrameColour);
    Line1 = new registry::LineShape(QStringLiteral("Line1"), client_, 120, 120, 7920, 120, frame);
    Line2 = new registry::LineShape(QStringLiteral("Line2"), client_, 7920, 120, 7920, 720, frame);
    Line3 = new registry::LineShape(QStringLiteral("Line3"), client_, 120, 720, 7920, 720, frame);
    Line4 = new registry::LineShape(QStringLiteral("Line4"), client_, 120, 120, 120, 720, frame);

    Label1 = addLabel(QStringLiteral("Label1"), QStringLiteral("Nome stazione"), 240, 240, 1695, 375);
    paintBackground(Label1, registry::colourFromBgr(kNameLabelColour));
    DBCombo1 = new db::DBCombo(QStringLiteral("DBCombo1"), client_);
    DBCombo1->setGeometry(db::twipsRect(2040, 240, 5775, 330));
    DBCombo1->setFont(cardFont(QStringLiteral("Arial")));
    DBCombo1->bind(DAnagrafica, QStringLiteral("Denominazione"));
    DBCombo1->bindText(DAnagrafica, QStringLiteral("Denominazione"));
    connect(DBCombo1, &db::DBCombo::Click, this, &frmAnagrafica::DBCombo1_Click);

    Label2 = addLabel(QStringLiteral("Label2"), QStringLiteral("Comune"), 240, 840, 1695, 375);
    txtCom = addBox(QStringLiteral("txtCom"), QStringLiteral("Comune"), 2040, 840, 2175, 375);
    Label3 = addLabel(QStringLiteral("Label3"), QStringLiteral("Provincia"), 4560, 840, 1455, 375);
    txtPro = addBox(QStringLiteral("txtPro"), QStringLiteral("Provincia"), 6240, 840, 1575, 375);
    Label10 = addLabel(QStringLiteral("Label10"), QStringLiteral("Bacino"), 240, 1320, 1695, 375);
    txtBaII = addBox(QStringLiteral("txtBaII"), QStringLiteral("BACINO"), 2040, 1320, 2175, 375);
    Label5 = addLabel(QStringLiteral("Label5"), QStringLiteral("Quota m s.l.m.m."), 4560, 1320, 1455, 375);
    txtQuo = addBox(QStringLiteral("txtQuo"), QStringLiteral("Quota"), 6240, 1320, 1575, 375);
    Label9 = addLabel(QStringLiteral("Label9"), QStringLiteral("Località"), 240, 1800, 1695, 375);
    txtBaI = addBox(QStringLiteral("txtBaI"), QStringLiteral("Indirizzo_localita"), 2040, 1800, 2175, 375);
    Label4 = addLabel(QStringLiteral("Label4"), QStringLiteral("Codice stazione"), 4560, 1800, 1455, 375);
    txtCod = addBox(QStringLiteral("txtCod"), QStringLiteral("Codstaz"), 6240, 1800, 1575, 375);
    Label12 = addLabel(QStringLiteral("Label12"), QStringLiteral("Latitudine N"), 240, 2280, 1695, 375);
    Text2 = addBox(QStringLiteral("Text2"), QStringLiteral("Latitudine N"), 2040, 2280, 1575, 375);
    // The longitude keeps its two names: the caption says east, the field says west.
    Label13 = addLabel(QStringLiteral("Label13"), QStringLiteral("Longitudine E"), 3960, 2280, 2055, 375);
    Text3 = addBox(QStringLiteral("Text3"), QStringLiteral("Longitudine W"), 6240, 2280, 1575, 375);
    Label7 = addLabel(QStringLiteral("Label7"), QStringLiteral("UTM X"), 240, 2760, 1695, 375);
    txtUtx = addBox(QStringLiteral("txtUtx"), QStringLiteral("UTM X"), 2040, 2760, 1575, 375);
    Label8 = addLabel(QStringLiteral("Label8"), QStringLiteral("UTM Y"), 3960, 2760, 2055, 375);
    TXTUty = addBox(QStringLiteral("TXTUty"), QStringLiteral("UTM Y"), 6240, 2760, 1575, 375);
    Label6 = addLabel(QStringLiteral("Label6"), QStringLiteral("Inizio funzionamento"), 240, 3240, 1695, 375);
    txtDat = addBox(QStringLiteral("txtDat"), QStringLiteral("Data validità"), 2040, 3240, 1575, 375);
    Label11 = addLabel(QStringLiteral("Label11"), QStringLiteral("Tipo di stazione"), 3960, 3240, 1215, 375);
    Text1 = addBox(QStringLiteral("Text1"), QStringLiteral("tipo staz"), 5280, 3240, 2535, 375);
    Text1->setFont(cardFont(QStringLiteral("Tahoma")));
    // The coordinates keep the window's own font.
    for (QWidget* widget : {static_cast<QWidget*>(Label12), static_cast<QWidget*>(Label13),
                            static_cast<QWidget*>(Text2), static_cast<QWidget*>(Text3)}) {
        widget->setFont(font());
    }

    PctUbic = new registry::PictureBox(QStringLiteral("PctUbic"), client_);
    PctUbic->setGeometry(db::twipsRect(8040, 0, 3135, 4095));
    PctUbic->setCursor(QCursor(registry::magnifierPointerImage(), 12, 12));
    connect(PctUbic, &registry::PictureBox::Click, this, &frmAnagrafica::PctUbic_Click);

    Label14 = addLabel(QStringLiteral("Label14"), QStringLiteral("DATI MENSILI"), 120, 3840, 2415, 375);
    QFont bold = Label14->font();
    bold.setBold(true);
    Label14->setFont(bold);
    paintBackground(Label14, registry::colourFromBgr(kBackColour));

    MSFlexGrid1 = new db::FlexGrid(QStringLiteral("MSFlexGrid1"), client_);
    MSFlexGrid1->setGeometry(db::twipsRect(120, 4200, 11175, 4695));
    MSFlexGrid1->bind(DMensili);

    // Never shown: its column captions head the export file.
    DBGrid1 = new db::DBGrid(QStringLiteral("DBGrid1"), client_);
    DBGrid1->setGeometry(db::twipsRect(1560, 5280, 3135, 495));
    DBGrid1->bind(DMensili);
    DBGrid1->setVisible(false);

    // Connected after the controls bound themselves, so that list and card are filled first.
    connect(DAnagrafica, &db::DataSource::opened, this, &frmAnagrafica::registryOpened);

    layout->activate();
    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
}

QLabel* frmAnagrafica::addLabel(const QString& name, const QString& caption, int left, int top, int width,
                                int height) {
    auto* label = new QLabel(caption, client_);
    label->setObjectName(name);
    label->setGeometry(db::twipsRect(left, top, width, height));
    label->setFont(cardFont(QStringLiteral("Arial")));
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

db::BoundTextBox* frmAnagrafica::addBox(const QString& name, const QString& field, int left, int top,
                                        int width, int height) {
    auto* box = new db::BoundTextBox(name, client_);
    box->setGeometry(db::twipsRect(left, top, width, height));
    box->setFont(cardFont(QStringLiteral("Arial")));
    box->bind(DAnagrafica, field);
    return box;
}

void frmAnagrafica::Form_Load() {
    SelectionSeen = false;
    const QString database = db::databaseLocation();
    // Empty on the first opening in a run; afterwards the statement of the station shown last.
    DMensili->setDatabaseName(database);
    DMensili->setRecordSource(Global::MonthlyQuery);
    DAnagrafica->setDatabaseName(database);
    DAnagrafica->setRecordSource(QStringLiteral("anagrafica compl"));
    for (int column = 0; column < 14; ++column) {
        MSFlexGrid1->setColWidth(column, kMonthlyWidths[column]);
    }
}

void frmAnagrafica::Form_Activate() {
    seams::setMousePointer(seams::kDefaultPointer);
}

void frmAnagrafica::registryOpened() {
    // The station list used to report a click of its own when it first showed the current row;
    // this is that click, so the first station's thumbnail and figures are there at once and
    // every later choice of the user moves the card.
    const db::Recordset* records = DAnagrafica->recordset();
    if (!SelectionSeen && records && records->RecordCount() > 0) {
        DBCombo1_Click(0);
    }
}

void frmAnagrafica::monthlyError(int, int& response) {
    // The station change reports a failing statement itself, once; at opening a stale statement
    // is replaced straight away by the first station's.
    response = 0;
}

void frmAnagrafica::DBCombo1_Click(int) {
    db::Recordset* records = DAnagrafica->recordset();
    if (SelectionSeen && records) {
        // By the bookmark of the chosen entry, so that stations sharing a name stay apart.
        const db::Bookmark chosen = DBCombo1->SelectedItem();
        if (chosen >= 0) {
            records->setBookmark(chosen);  // the source reports the move to the card
        }
    }

    const QString pictures = db::pictureFolder();
    db::databaseLocation();
    const QString code = txtCod->text();

    QPixmap thumbnail;
    if (!thumbnail.load(db::resolveCaseInsensitive(registry::thumbnailPath(pictures, code)))) {
        thumbnail = QPixmap();  // missing or unreadable: the box stays empty
    }
    PctUbic->setPicture(thumbnail);

    SelectionSeen = true;

    const QString codstaz = records ? records->text(QStringLiteral("codstaz")) : QString();
    Global::MonthlyQuery = registry::monthlyStatement(codstaz);
    DMensili->setDatabaseName(db::databaseLocation());
    DMensili->setRecordSource(Global::MonthlyQuery);
    DMensili->Refresh();

    if (codstaz.trimmed().isEmpty()) {
        seams::msgBox(QStringLiteral("La stazione \"%1\" non ha un codice: i dati mensili non possono essere "
                                     "mostrati.")
                          .arg(DBCombo1->text()),
                      this);
    } else if (DMensili->lastError() != 0) {
        seams::msgBox(QStringLiteral("Impossibile leggere i dati mensili della stazione %1.\n%2")
                          .arg(codstaz, DMensili->lastErrorMessage()),
                      this);
    }
}

void frmAnagrafica::mnuEsporta_Click() {
    db::Recordset* records = DMensili->recordset();
    if (!records) {
        return;  // no figures shown: as with an empty set, nothing is written
    }
    exporter::Esporta(records, DBGrid1, CommonDialog1, this);
}

void frmAnagrafica::mnuStampa_Click() {
    QPrinter printer(QPrinter::HighResolution);
    if (!seams::runPrintDialog(this, printer)) {
        return;
    }
    const QPixmap image = client_->grab();
    QPainter painter;
    if (!painter.begin(&printer)) {
        seams::msgBox(
            QStringLiteral("Impossibile stampare la scheda: la stampante scelta non è disponibile."), this);
        return;
    }
    // One page: the client area, as large as the page allows, in its own proportions.
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    QSize size = image.size();
    size.scale(page.size(), Qt::KeepAspectRatio);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(QRect(QPoint(0, 0), size), image);
    painter.end();  // ends the document: the page goes to the printer
}

void frmAnagrafica::mnuChiudi_Click() {
    Unload();
}

void frmAnagrafica::PctUbic_Click() {
    db::Forms::show<frmDettaglio>(db::Modality::Modal);
}
