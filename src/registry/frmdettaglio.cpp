#include "registry/frmdettaglio.h"

#include "db/location.h"
#include "registry/frmanagrafica.h"
#include "registry/registrycontrols.h"
#include "registry/registrypaths.h"

#include <QIcon>
#include <QPainter>

namespace {
const int kClientWidth = 11220;
const int kClientHeight = 8730;
const unsigned int kBackColour = 0x00C0FFFF;  // pale yellow
}  // namespace

frmDettaglio::frmDettaglio(QWidget* parent) : db::Form(parent) {
    setObjectName(QStringLiteral("frmDettaglio"));
    setWindowTitle(QStringLiteral("Dettaglio"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    // No icon: a transparent one, since an empty icon would show the application's.
    QPixmap blank(16, 16);
    blank.fill(Qt::transparent);
    setWindowIcon(QIcon(blank));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, registry::colourFromBgr(kBackColour));
    setPalette(palette);
    setAutoFillBackground(true);
    setFixedSize(db::twipsToPixels(kClientWidth), db::twipsToPixels(kClientHeight));
    setClientTwips(kClientWidth, kClientHeight, true);
}

void frmDettaglio::Form_Load() {
    const QString pictures = db::pictureFolder();
    db::databaseLocation();
    // The code on the card at this moment, as shown (not trimmed).
    const frmAnagrafica* card = db::Forms::find<frmAnagrafica>();
    const QString code = card ? card->txtCod->text() : QString();
    picturePath_ = registry::largePicturePath(pictures, code);
    // A missing or unreadable picture leaves the pale background alone.
    if (!picture_.load(db::resolveCaseInsensitive(picturePath_))) {
        picture_ = QPixmap();
    }
    update();
}

void frmDettaglio::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    if (!picture_.isNull()) {
        // Natural size from the top-left corner, cut by the window's edges.
        painter.drawPixmap(QPoint(0, 0), picture_);
    }
}
