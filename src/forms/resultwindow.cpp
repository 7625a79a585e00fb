#include "forms/resultwindow.h"

#include "controls/dbgrid.h"
#include "db/datasource.h"
#include "db/global.h"
#include "db/location.h"
#include "forms/formkit.h"
#include "runtime/seams.h"

namespace forms {

ResultWindow::ResultWindow(const ResultLayout& layout) : layout_(layout) {
    setWindowTitle(QString::fromUtf8(layout_.caption));
    setFixedFrame(this);
    paint(this, kLightGrey, Qt::black);
    setClientTwips(8985, 6255, layout_.centred);
    if (!layout_.centred) {
        cascadeFromOpener();
    }
    setFixedSize(size());  // a fixed border: the window cannot be resized

    const QString sourceName = QString::fromUtf8(layout_.sourceName);
    source_ = addDataSource(sourceName);
    source_->setObjectName(sourceName);

    const QString gridName = QString::fromUtf8(layout_.gridName);
    grid_ = new controls::DBGrid(gridName, this);
    grid_->setObjectName(gridName);
    grid_->setCaption(QString::fromUtf8(layout_.gridCaption));
    grid_->setGeometry(runtime::twipsRect(layout_.gridLeft, layout_.gridTop, 8775, 5055));
    grid_->bind(source_);

    Command1 = new QPushButton(QStringLiteral("Esporta Dati"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(runtime::twipsRect(120, 5640, 1455, 495));
    close_ = new QPushButton(QStringLiteral("Chiudi"), this);
    close_->setObjectName(QString::fromUtf8(layout_.closeName));
    close_->setGeometry(runtime::twipsRect(7440, 5640, 1455, 495));
    setTabOrder(grid_, close_);
    setTabOrder(close_, Command1);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(layout_.tickMs);

    connect(Command1, &QAbstractButton::clicked, this, &ResultWindow::Command1_Click);
    connect(Timer1, &QTimer::timeout, this, &ResultWindow::Timer1_Timer);
}

void ResultWindow::setErrorHandler(std::function<void(int, int&)> handler) {
    source_->setErrorHandler(std::move(handler));
}

void ResultWindow::Form_Load() {
    const QString path = db::databaseLocation();
    source_->setDatabaseName(path);
    source_->setRecordSource(publishedStatement(layout_.search));
    Timer1->start();
}

void ResultWindow::Form_Activate() {
    seams::setMousePointer(seams::kDefaultPointer);
}

void ResultWindow::Form_Unload() {
    Timer1->stop();
}

void ResultWindow::Command1_Click() {
    if (db::Recordset* rows = source_->recordset()) {
        exporter::Esporta(rows, grid_, dialog_, this);
    }
}

void ResultWindow::Timer1_Timer() {
    if (isUnloaded()) {
        Timer1->stop();  // a closed window stays closed and says nothing more
        return;
    }
    if (queryOk(layout_.search) == Global::kFalse) {
        Timer1->stop();
        Unload();
        return;  // the record set failed to open: nothing of it is read
    }
    const db::Recordset* rows = source_->recordset();
    if (!rows) {
        return;  // not open (its error is being reported): never read a missing record set
    }
    if (rows->RecordCount() == 0) {
        Timer1->stop();
        Unload();
        seams::msgBox(QStringLiteral("Nessun record presente"));
    }
}

void ResultWindow::sourceError(int dataErr, int& response) {
    // No tick may run while the messages are open: the record set may not exist.
    const bool ticking = Timer1->isActive();
    Timer1->stop();
    seams::msgBox(QString::fromUtf8(layout_.errorPrefix) + QString::number(dataErr), this);
    seams::msgBox(QStringLiteral("Nessun record corrisponde ai criteri di ricerca"), this);
    response = 0;
    setQueryFailed(layout_.search);
    if (ticking && !isUnloaded()) {
        Timer1->start();  // the next tick closes the window
    }
}

}  // namespace forms
