#include "forms/resultwindow.h"

#include "db/boundcontrols.h"
#include "db/datasource.h"
#include "db/global.h"
#include "db/location.h"
#include "db/seams.h"
#include "forms/formkit.h"

namespace forms {

namespace {
const QString& statementOf(Search search) {
    return search == Search::Daily ? Global::DailySql : Global::IntenseSql;
}
qint16& queryOkOf(Search search) {
    return search == Search::Daily ? Global::DailyQueryOk : Global::IntenseQueryOk;
}
}  // namespace

ResultWindow::ResultWindow(const ResultLayout& layout) : layout_(layout) {
    setWindowTitle(QString::fromUtf8(layout_.caption));
    setFixedFrame(this);
    paint(this, kLightGrey, Qt::black);
    setClientTwips(8985, 6255, layout_.centred);

    const QString sourceName = QString::fromUtf8(layout_.sourceName);
    source_ = new db::DataSource(sourceName, this);
    source_->setObjectName(sourceName);

    const QString gridName = QString::fromUtf8(layout_.gridName);
    grid_ = new db::DBGrid(gridName, this);
    grid_->setObjectName(gridName);
    grid_->setCaption(QString::fromUtf8(layout_.gridCaption));
    grid_->setGeometry(db::twipsRect(layout_.gridLeft, layout_.gridTop, 8775, 5055));
    grid_->bind(source_);

    export_ = new QPushButton(QStringLiteral("Esporta Dati"), this);
    export_->setObjectName(QStringLiteral("Command1"));
    export_->setGeometry(db::twipsRect(120, 5640, 1455, 495));
    close_ = new QPushButton(QStringLiteral("Chiudi"), this);
    close_->setObjectName(QString::fromUtf8(layout_.closeName));
    close_->setGeometry(db::twipsRect(7440, 5640, 1455, 495));
    setTabOrder(grid_, close_);
    setTabOrder(close_, export_);

    timer_ = new QTimer(this);
    timer_->setObjectName(QStringLiteral("Timer1"));
    timer_->setInterval(layout_.tickMs);

    connect(export_, &QAbstractButton::clicked, this, &ResultWindow::Command1_Click);
    connect(timer_, &QTimer::timeout, this, &ResultWindow::Timer1_Timer);
}

void ResultWindow::setErrorHandler(std::function<void(int, int&)> handler) {
    source_->setErrorHandler(std::move(handler));
}

void ResultWindow::Form_Load() {
    const QString path = db::databaseLocation();
    source_->setDatabaseName(path);
    source_->setRecordSource(statementOf(layout_.search));
    timer_->start();
}

void ResultWindow::Form_Activate() {
    seams::setMousePointer(seams::kDefaultPointer);
}

void ResultWindow::Form_Unload() {
    timer_->stop();
}

void ResultWindow::Command1_Click() {
    if (db::Recordset* rows = source_->recordset()) {
        exporter::Esporta(rows, grid_, dialog_, this);
    }
}

void ResultWindow::Timer1_Timer() {
    if (isUnloaded()) {
        timer_->stop();  // a closed window stays closed and says nothing more
        return;
    }
    if (queryOkOf(layout_.search) == Global::kFalse) {
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

void ResultWindow::sourceError(int dataErr, int& response) {
    // No tick may run while the messages are open: the record set may not exist.
    const bool ticking = timer_->isActive();
    timer_->stop();
    seams::msgBox(QString::fromUtf8(layout_.errorPrefix) + QString::number(dataErr), this);
    seams::msgBox(QStringLiteral("Nessun record corrisponde ai criteri di ricerca"), this);
    response = 0;
    queryOkOf(layout_.search) = Global::kFalse;
    if (ticking && !isUnloaded()) {
        timer_->start();  // the next tick closes the window
    }
}

}  // namespace forms
