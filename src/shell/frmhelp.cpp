#include "shell/frmhelp.h"

#include "controls/boundtextbox.h"
#include "controls/tabcontrol.h"
#include "db/datasource.h"
#include "db/location.h"
#include "forms/formkit.h"
#include "shell/artwork.h"
#include "shell/credits.h"

#include <QLabel>
#include <QLayout>
#include <QPlainTextEdit>
#include <QShowEvent>

namespace {
const int kAutori = 4;
const int kIndirizzi = 5;
}  // namespace

frmHelp::frmHelp(QWidget* parent) : runtime::Form(parent) {
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(QStringLiteral("Informazioni"));
    setWindowIcon(shell::programIcon());
    // A fixed dialog border with neither maximize nor minimize button.
    forms::setFixedFrame(this);
    forms::closeOnEscape(this);
    setClientTwips(9120, 6330, false);
    setFixedSize(size());

    Data1 = addDataSource(QStringLiteral("Data1"));

    SSTab1 = new controls::TabControl(QStringLiteral("SSTab1"), this, 4);
    SSTab1->setGeometry(runtime::twipsRect(0, 0, 9135, 6375));
    const QStringList captions = {QStringLiteral("Configurazione"),
                                  QStringLiteral("Generalit\u00e0"),
                                  QStringLiteral(" Dati giornalieri"),
                                  QStringLiteral("Piogge intense"),
                                  QStringLiteral("Autori"),
                                  QStringLiteral("Indirizzi"),
                                  QStringLiteral("Anagrafica"),
                                  QStringLiteral("Tab 7")};
    for (const QString& caption : captions) {
        SSTab1->addTab(caption);
    }

    Text2[0] = addTextBox(0, QStringLiteral("Text2"), 0, QStringLiteral("help0"));
    Text1 = addTextBox(1, QStringLiteral("Text1"), -1, QStringLiteral("help1"));
    Text3 = addTextBox(2, QStringLiteral("Text3"), -1, QStringLiteral("help2"));
    Text4[0] = addTextBox(3, QStringLiteral("Text4"), 0, QStringLiteral("help3"));
    Text4[1] = addTextBox(6, QStringLiteral("Text4"), 1, QStringLiteral("help4"));

    QWidget* autori = SSTab1->page(kAutori);
    imgLogo = new QLabel(autori);
    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    imgLogo->setPixmap(shell::titlePicture());
    imgLogo->setScaledContents(true);
    imgLogo->setAccessibleName(QStringLiteral("Altorra della Regione Sorvane"));
    placements_.append({imgLogo, QRect(120, 720, 3135, 2355)});

    using namespace shell::credits;
    const QString credits[] = {kDepartment, kDirectorate, kDepartmentHead, kDirector,
                               kProcessing, kEditors,     kSoftware,       kContributors};
    // The first five lines stand beside the picture, the others below it, across the tab.
    const QRect creditPlaces[] = {QRect(3480, 720, 5400, 285),  QRect(3480, 1050, 5400, 285),
                                  QRect(3480, 1380, 5400, 480), QRect(3480, 1920, 5400, 285),
                                  QRect(3480, 2250, 5400, 480), QRect(120, 3240, 8775, 285),
                                  QRect(120, 3600, 8775, 285),  QRect(120, 3960, 8775, 480)};
    for (int i = 0; i < 8; ++i) {
        auto* label = new QLabel(credits[i], autori);
        label->setObjectName(QStringLiteral("lblAutori%1").arg(i + 1));
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        placements_.append({label, creditPlaces[i]});
        creditLabels.append(label);
    }

    QWidget* indirizzi = SSTab1->page(kIndirizzi);
    const QString addresses[] = {kPublisher, kDepartment, kDirectorate, kStreet,
                                 kCity,      kPhoneLine,  kMail,        kWeb};
    for (int i = 0; i < 8; ++i) {
        auto* label = new QLabel(addresses[i], indirizzi);
        label->setObjectName(QStringLiteral("lblIndirizzi%1").arg(i + 1));
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        if (i == 0) {
            QFont bold = label->font();
            bold.setBold(true);
            label->setFont(bold);
        }
        placements_.append({label, QRect(600, 960 + i * 480 + (i >= 3 ? 240 : 0), 8000, 330)});
        addressLabels.append(label);
    }
    placeControls();
}

controls::BoundTextBox* frmHelp::addTextBox(int tab, const QString& name, int arrayIndex,
                                            const QString& field) {
    auto* box = new controls::BoundTextBox(name, SSTab1->page(tab), true);
    if (arrayIndex >= 0) {
        box->setProperty("Index", arrayIndex);
    }
    if (QPlainTextEdit* edit = box->textEdit()) {
        QPalette grey = edit->palette();
        grey.setColor(QPalette::Base, QColor(192, 192, 192));
        grey.setColor(QPalette::Text, Qt::black);
        edit->setPalette(grey);
        edit->setBackgroundVisible(false);
    }
    box->bind(Data1, field);
    forms::nameControl(box, SSTab1->tabCaption(tab).trimmed());  // the tab it fills names it
    placements_.append({box, QRect(120, 720, 8775, 5535)});
    return box;
}

void frmHelp::placeControls() {
    if (QLayout* layout = SSTab1->layout()) {
        layout->activate();
    }
    for (const auto& [widget, twips] : placements_) {
        QWidget* page = widget->parentWidget();
        const QPoint pageOrigin = page->mapTo(SSTab1, QPoint(0, 0));
        QRect r = runtime::twipsRect(twips.left(), twips.top(), twips.width(), twips.height());
        r.translate(-pageOrigin);
        widget->setGeometry(r);
    }
}

void frmHelp::Form_Load() {
    Data1->setDatabaseName(db::databaseLocation());
    Data1->setRecordSource(QStringLiteral("help"));
    SSTab1->setTab(kAutori);
}

void frmHelp::showEvent(QShowEvent* event) {
    if (!placed_) {
        placed_ = true;
        placeControls();
        forms::centreFrame(this);
    }
    runtime::Form::showEvent(event);
}
