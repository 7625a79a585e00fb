#include "registry/frmdettaglio.h"

#include "db/location.h"
#include "forms/formkit.h"
#include "registry/frmanagrafica.h"
#include "registry/registrypaths.h"

#include <QIcon>

namespace {
const int kClientWidth = 11220;
const int kClientHeight = 8730;
const unsigned int kBackColour = 0x00C0FFFF;  // pale yellow
}  // namespace

frmDettaglio::frmDettaglio(QWidget* parent) : runtime::Form(parent) {
    setObjectName(QStringLiteral("frmDettaglio"));
    setWindowTitle(QStringLiteral("Dettaglio"));
    forms::setFixedFrame(this);
    forms::closeOnEscape(this);
    // No icon: a transparent one, since an empty icon would show the application's.
    QPixmap blank(16, 16);
    blank.fill(Qt::transparent);
    setWindowIcon(QIcon(blank));
    forms::paint(this, forms::colourFromBgr(kBackColour));
    setFixedSize(runtime::twipsToPixels(kClientWidth), runtime::twipsToPixels(kClientHeight));
    setClientTwips(kClientWidth, kClientHeight, true);
    // Natural size from the top-left corner, cut by the window's edges, on the pale background.
    view_ = new forms::PictureBox(QStringLiteral("picture"), this);
    view_->setGeometry(rect());
    view_->setAccessibleName(QStringLiteral("Ubicazione della stazione"));
}

void frmDettaglio::Form_Load() {
    const QString pictures = db::pictureFolder();
    db::databaseLocation();
    // The code on the card at this moment, as shown (not trimmed).
    const frmAnagrafica* card = runtime::Forms::find<frmAnagrafica>();
    const QString code = card ? card->txtCod->text() : QString();
    picturePath_ = registry::largePicturePath(pictures, code);
    // A missing or unreadable picture leaves the pale background alone.
    QPixmap picture;
    if (!picture.load(db::resolveCaseInsensitive(picturePath_))) {
        picture = QPixmap();
    }
    view_->setPicture(picture);
}
