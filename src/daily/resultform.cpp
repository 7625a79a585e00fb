#include "daily/resultform.h"

#include "daily/formkit.h"
#include "db/boundcontrols.h"
#include "db/datasource.h"
#include "db/global.h"
#include "db/location.h"
#include "db/seams.h"

#include <QPushButton>
#include <QTimer>

namespace formkit {

ResultForm::ResultForm(const ResultLayout& layout) : layout_(layout) {
    setWindowTitle(layout_.caption);
    setFixedFrame(this);
    paint(this, kLightGrey, Qt::black);
    setClientTwips(8985, 6255, layout_.centred);

    source_ = new db::DataSource(layout_.sourceName, this);
    source_->setObjectName(layout_.sourceName);

    grid_ = new db::DBGrid(layout_.gridName, this);
    grid_->setObjectName(layout_.gridName);
    grid_->setCaption(layout_.gridCaption);
    grid_->setGeometry(db::twipsRect(layout_.gridLeft, layout_.gridTop, 8775, 5055));
    grid_->bind(source_);

    export_ = new QPushButton(QStringLiteral("Esporta Dati"), this);
    export_->setObjectName(QStringLiteral("Command1"));
    export_->setGeometry(db::twipsRect(120, 5640, 1455, 495));
    close_ = new QPushButton(QStringLiteral("Chiudi"), this);
    close_->setObjectName(layout_.closeName);
    close_->setGeometry(db::twipsRect(7440, 5640, 1455, 495));
    setTabOrder(grid_, close_);
    setTabOrder(close_, export_);

    timer_ = new QTimer(this);
    timer_->setObjectName(QStringLiteral("Timer1"));
    timer_->setInterval(layout_.tickMs);
}

void ResultForm::setErrorHandler(std::function<void(int, int&)> handler) {
    source_->setErrorHandler(std::move(handler));
}

void ResultForm::Form_Load() {
    const QString path = db::databaseLocation();
    source_->setDatabaseName(path);
    source_->setRecordSource(*layout_.statement);
    timer_->start();
}

void ResultForm::Form_Activate() {
    seams::setMousePointer(seams::kDefaultPointer);
}

void ResultForm::Form_Unload() {
    timer_->stop();
}

void ResultForm::exportRows() {
    if (db::Recordset* rows = source_->recordset()) {
        exporter::Esporta(rows, grid_, dialog_, this);
    }
}

void ResultForm::closeCheck() {
    if (isUnloaded()) {
        timer_->stop();  // a closed window stays closed and says nothing more
        return;
    }
    if (*layout_.queryOk == Global::kFalse) {
        timer_->stop();
        Unload();
        return;  // the record set failed to open: nothing of it is read
    }
    const db::Recordset* rows = source_->recordset();
    if (!rows) {
        return;  // not open (its error is being reported): never read a missing record set
    }
    if (rows->RecordCount() == 0) {
        timer_->stop();
        Unload();
        seams::msgBox(QStringLiteral("Nessun record presente"));
    }
}

void ResultForm::sourceError(int dataErr, int& response) {
    // No tick may run while the messages are open: the record set may not exist.
    const bool ticking = timer_->isActive();
    timer_->stop();
    seams::msgBox(layout_.errorPrefix + QString::number(dataErr), this);
    seams::msgBox(QStringLiteral("Nessun record corrisponde ai criteri di ricerca"), this);
    response = 0;
    *layout_.queryOk = Global::kFalse;
    if (ticking && !isUnloaded()) {
        timer_->start();  // the next tick closes the window
    }
}

}  // namespace formkit
