#include "registry/frmanagrafica.h"
#include "chart/chartwindow.h"
#include "chart/tablefigure.h"
#include "registry/monthlychart.h"

#include "controls/gridfit.h"
#include "db/global.h"
#include "db/location.h"
#include "forms/formkit.h"
#include "forms/gridactions.h"
#include "forms/gridtools.h"
#include "jet/jet.h"
#include "registry/frmdettaglio.h"
#include "registry/registrycontrols.h"
#include "registry/registrypaths.h"
#include "runtime/seams.h"

#include <QAction>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPrinter>
#include <QTableView>
#include <QVBoxLayout>

namespace {

const int kClientWidth = 11220;
const int kClientHeight = 8655;
const unsigned int kBackColour = 0x00E0E0E0;
const unsigned int kNameLabelColour = 0x00C0C0C0;
const unsigned int kFrameColour = 0x008080FF;

// Monthly grid: the field each column shows (as the monthly statement names it) and its width.
const struct {
    const char* field;
    int twips;
} kMonthly[14] = {{"parametro", 1800}, {"gennaio", 690},   {"febbraio", 690}, {"marzo", 680},
                  {"aprile", 680},     {"maggio", 690},    {"giugno", 680},   {"luglio", 680},
                  {"agosto", 680},     {"settembre", 800}, {"ottobre", 690},  {"novembre", 800},
                  {"dicembre", 800},   {"anno", 600}};

QFont cardFont(const QString& family) {
    QFont font(family);
    // Where the face is not installed, a narrow one of the same build keeps the captions whole.
    font.setFamilies({family, QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                      QStringLiteral("DejaVu Sans Condensed")});
    font.setPointSize(8);
    return font;
}

// The month names do not fit the monthly grid's narrow columns in the card's type: a narrow face,
// made smaller (not below 6 points) until every column's field name fits its column.
QFont monthlyFont(QHeaderView* header) {
    QFont font(QStringLiteral("Arial Narrow"));
    font.setFamilies({QStringLiteral("Arial Narrow"), QStringLiteral("Liberation Sans Narrow"),
                      QStringLiteral("Nimbus Sans Narrow"), QStringLiteral("DejaVu Sans Condensed")});
    for (qreal points = 8.0; points >= 6.0; points -= 0.5) {
        font.setPointSizeF(points);
        header->setFont(font);
        bool fits = true;
        for (const auto& column : kMonthly) {
            fits = fits && controls::captionWidth(header, QString::fromUtf8(column.field)) <=
                               runtime::twipsToPixels(column.twips);
        }
        if (fits) {
            break;
        }
    }
    header->setFont(QFont());
    return font;
}

// The card: each label with the box that shows its field, in twips on the client area.
struct CardRow {
    QLabel* frmAnagrafica::*label;
    forms::Place labelPlace;
    controls::BoundTextBox* frmAnagrafica::*box;
    forms::Place boxPlace;  // its caption is the field shown
};

const CardRow kCard[] = {
    {&frmAnagrafica::Label2,
     {"Label2", "Comune", 240, 840, 1695, 375},
     &frmAnagrafica::txtCom,
     {"txtCom", "Comune", 2040, 840, 2175, 375}},
    {&frmAnagrafica::Label3,
     {"Label3", "Provincia", 4560, 840, 1455, 375},
     &frmAnagrafica::txtPro,
     {"txtPro", "Provincia", 6240, 840, 1575, 375}},
    {&frmAnagrafica::Label10,
     {"Label10", "Bacino", 240, 1320, 1695, 375},
     &frmAnagrafica::txtBaII,
     {"txtBaII", "BACINO", 2040, 1320, 2175, 375}},
    {&frmAnagrafica::Label5,
     {"Label5", "Quota m s.l.m.m.", 4560, 1320, 1455, 375},
     &frmAnagrafica::txtQuo,
     {"txtQuo", "Quota", 6240, 1320, 1575, 375}},
    {&frmAnagrafica::Label9,
     {"Label9", "Località", 240, 1800, 1695, 375},
     &frmAnagrafica::txtBaI,
     {"txtBaI", "Indirizzo_localita", 2040, 1800, 2175, 375}},
    {&frmAnagrafica::Label4,
     {"Label4", "Codice stazione", 4560, 1800, 1455, 375},
     &frmAnagrafica::txtCod,
     {"txtCod", "Codstaz", 6240, 1800, 1575, 375}},
    {&frmAnagrafica::Label12,
     {"Label12", "Latitudine N", 240, 2280, 1695, 375},
     &frmAnagrafica::Text2,
     {"Text2", "Latitudine N", 2040, 2280, 1575, 375}},
    // The longitude keeps its two names: the caption says east, the field says west.
    {&frmAnagrafica::Label13,
     {"Label13", "Longitudine E", 3960, 2280, 2055, 375},
     &frmAnagrafica::Text3,
     {"Text3", "Longitudine W", 6240, 2280, 1575, 375}},
    {&frmAnagrafica::Label7,
     {"Label7", "UTM X", 240, 2760, 1695, 375},
     &frmAnagrafica::txtUtx,
     {"txtUtx", "UTM X", 2040, 2760, 1575, 375}},
    {&frmAnagrafica::Label8,
     {"Label8", "UTM Y", 3960, 2760, 2055, 375},
     &frmAnagrafica::TXTUty,
     {"TXTUty", "UTM Y", 6240, 2760, 1575, 375}},
    {&frmAnagrafica::Label6,
     {"Label6", "Inizio funzionamento", 240, 3240, 1695, 375},
     &frmAnagrafica::txtDat,
     {"txtDat", "Data validità", 2040, 3240, 1575, 375}},
    {&frmAnagrafica::Label11,
     {"Label11", "Tipo di stazione", 3960, 3240, 1215, 375},
     &frmAnagrafica::Text1,
     {"Text1", "tipo staz", 5280, 3240, 2535, 375}},
};

}  // namespace

frmAnagrafica::frmAnagrafica(QWidget* parent) : runtime::Form(parent) {
    setObjectName(QStringLiteral("frmAnagrafica"));
    setWindowTitle(QStringLiteral("Anagrafica"));
    forms::setFixedFrame(this);

    DMensili = addDataSource(QStringLiteral("DMensili"));
    DAnagrafica = addDataSource(QStringLiteral("DAnagrafica"));
    DMensili->setErrorHandler([this](int dataErr, int& response) { monthlyError(dataErr, response); });

    QMenuBar* menu = buildMenu();
    client_ = new QWidget(this);
    client_->setObjectName(QStringLiteral("clientArea"));
    client_->setFixedSize(runtime::twipsToPixels(kClientWidth), runtime::twipsToPixels(kClientHeight));
    forms::paint(client_, forms::colourFromBgr(kBackColour));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(menu);
    layout->addWidget(client_);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    buildCard();
    buildMonthly();

    // Connected after the controls bound themselves, so that list and card are filled first.
    connect(DAnagrafica, &db::DataSource::opened, this, &frmAnagrafica::registryOpened);

    layout->activate();
    adjustSize();
    forms::centreFrame(this);
}

QMenuBar* frmAnagrafica::buildMenu() {
    menuBar = new QMenuBar(this);
    menuBar->setObjectName(QStringLiteral("menuBar"));
    mnuFile = menuBar->addMenu(QStringLiteral("&File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuEsporta = forms::addEntry(mnuFile, "mnuEsporta", "&Esporta dati mensili");
    mnuStampa = forms::addEntry(mnuFile, "mnuStampa", "&Stampa");
    mnuChiudi = forms::addEntry(mnuFile, "mnuChiudi", "&Chiudi");
    connect(mnuEsporta, &QAction::triggered, this, [this] { mnuEsporta_Click(); });
    connect(mnuStampa, &QAction::triggered, this, [this] { mnuStampa_Click(); });
    connect(mnuChiudi, &QAction::triggered, this, [this] { mnuChiudi_Click(); });
    return menuBar;
}

void frmAnagrafica::buildCard() {
    const QColor frame = forms::colourFromBgr(kFrameColour);
    Line1 = new forms::LineShape(QStringLiteral("Line1"), client_, 120, 120, 7920, 120, frame);
    Line2 = new forms::LineShape(QStringLiteral("Line2"), client_, 7920, 120, 7920, 720, frame);
    Line3 = new forms::LineShape(QStringLiteral("Line3"), client_, 120, 720, 7920, 720, frame);
    Line4 = new forms::LineShape(QStringLiteral("Line4"), client_, 120, 120, 120, 720, frame);

    Label1 = addLabel({"Label1", "Nome stazione", 240, 240, 1695, 375});
    forms::paint(Label1, forms::colourFromBgr(kNameLabelColour));
    DBCombo1 = new controls::DBCombo(QStringLiteral("DBCombo1"), client_);
    DBCombo1->setGeometry(runtime::twipsRect(2040, 240, 5775, 330));
    DBCombo1->setFont(cardFont(QStringLiteral("Arial")));
    DBCombo1->bind(DAnagrafica, QStringLiteral("Denominazione"));
    DBCombo1->bindText(DAnagrafica, QStringLiteral("Denominazione"));
    connect(DBCombo1, &controls::DBCombo::Click, this, &frmAnagrafica::DBCombo1_Click);
    forms::nameControl(DBCombo1, Label1->text());

    for (const CardRow& row : kCard) {
        this->*row.label = addLabel(row.labelPlace);
        this->*row.box = addBox(row.boxPlace);
        forms::nameControl(this->*row.box, QString::fromUtf8(row.labelPlace.caption));
    }
    Text1->setFont(cardFont(QStringLiteral("Tahoma")));
    // The coordinates keep the window's own font.
    for (QWidget* widget : {static_cast<QWidget*>(Label12), static_cast<QWidget*>(Label13),
                            static_cast<QWidget*>(Text2), static_cast<QWidget*>(Text3)}) {
        widget->setFont(font());
    }

    PctUbic = new forms::PictureBox(QStringLiteral("PctUbic"), client_);
    PctUbic->setGeometry(runtime::twipsRect(8040, 0, 3135, 4095));
    PctUbic->setCursor(QCursor(registry::magnifierPointerImage(), 12, 12));
    // After the card's boxes in the tab order, before the monthly grid.
    PctUbic->setKeyboardClick(true);
    forms::nameControl(PctUbic, QStringLiteral("Ubicazione della stazione"));
    PctUbic->setAccessibleDescription(QStringLiteral("Invio o spazio apre il dettaglio"));
    connect(PctUbic, &forms::PictureBox::Click, this, &frmAnagrafica::PctUbic_Click);
}

void frmAnagrafica::buildMonthly() {
    Label14 = addLabel({"Label14", "DATI MENSILI", 120, 3840, 2415, 375});
    QFont bold = Label14->font();
    bold.setBold(true);
    Label14->setFont(bold);
    forms::paint(Label14, forms::colourFromBgr(kBackColour));

    MSFlexGrid1 = new controls::FlexGrid(QStringLiteral("MSFlexGrid1"), client_);
    // The grid's place runs past the client area's right and bottom edges: kept inside, so that
    // its scroll bars show whole.
    MSFlexGrid1->setGeometry(runtime::twipsRect(120, 4200, 11175, 4695) & client_->rect());
    MSFlexGrid1->setFont(monthlyFont(MSFlexGrid1->view()->horizontalHeader()));
    // Parameter names with their units ("Temperatura massima media °C") wrap rather than end cut.
    MSFlexGrid1->setWordWrap(true, 2);
    MSFlexGrid1->bind(DMensili);
    forms::nameControl(MSFlexGrid1->view(), Label14->text());

    // Never shown: its column captions head the export file.
    DBGrid1 = new controls::DBGrid(QStringLiteral("DBGrid1"), client_);
    DBGrid1->setGeometry(runtime::twipsRect(1560, 5280, 3135, 495));
    DBGrid1->bind(DMensili);
    DBGrid1->setVisible(false);

    // Ctrl+C and the grid's context menu: copying, and the chart of the figures by month, named
    // after the station on the card as the charts name stations: with its code when another station
    // of the registry has its name.
    const auto station = [this] {
        const db::Recordset* card = DAnagrafica->recordset();
        if (!card || card->isEOF() || !card->rows()) {
            return QString();
        }
        const jet::RecordSet& rows = *card->rows();
        const chart::Subjects all = chart::subjectsOf(rows, rows.fieldIndex(QStringLiteral("codstaz")),
                                                      rows.fieldIndex(QStringLiteral("Denominazione")));
        const int subject = all.ofRow.value(card->bookmark(), -1);
        return subject >= 0 ? all.list[subject].label : card->text(QStringLiteral("Denominazione"));
    };
    forms::GridActions* actions =
        chart::attach(MSFlexGrid1->view(), DMensili, this, [station](const forms::GridActions& grid) {
            const std::shared_ptr<const jet::RecordSet> rows = grid.rows();
            if (!rows) {
                return std::optional<chart::Figure>();
            }
            return std::optional<chart::Figure>(
                registry::monthlyFigure(*rows, grid.view()->currentIndex().row(), station()));
        });
    // The spreadsheet's properties name the station on the card and the years shown.
    actions->tools()->setSubject([actions, station] {
        const auto rows = actions->rows();
        return rows ? forms::stationsAndPeriod(*rows, QString(), QStringLiteral("anno"), QString(), QString(),
                                               station())
                    : QString();
    });
}

QLabel* frmAnagrafica::addLabel(const forms::Place& place) {
    QLabel* label = forms::makeLabel(place, client_);
    label->setFont(cardFont(QStringLiteral("Arial")));
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

controls::BoundTextBox* frmAnagrafica::addBox(const forms::Place& place) {
    auto* box = new controls::BoundTextBox(QString::fromUtf8(place.name), client_);
    box->setGeometry(runtime::twipsRect(place.left, place.top, place.width, place.height));
    box->setFont(cardFont(QStringLiteral("Arial")));
    box->bind(DAnagrafica, QString::fromUtf8(place.caption));
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
        MSFlexGrid1->setColWidth(column, kMonthly[column].twips);
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
    runtime::Forms::show<frmDettaglio>(runtime::Modality::Modal);
}
