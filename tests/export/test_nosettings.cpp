// The program keeps no settings: an export, a cancelled export and a print, through the real
// dialogs, leave a fresh home and configuration folder empty. The folders are set before the
// application starts, since the settings paths are fixed at the first use.
#include <QApplication>
#include <QDialogButtonBox>
#include <QDirIterator>
#include <QFileDialog>
#include <QLineEdit>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "controls/dbgrid.h"
#include "db/datasource.h"
#include "export/esporta.h"
#include "jetwriter/jetwriter.h"
#include "runtime/form.h"
#include "runtime/seams.h"
#include "support/findbutton.h"
#include "support/modalwatcher.h"

namespace {

QTemporaryDir* g_root = nullptr;  // made before the application: home, config, cache, work

QString under(const QString& name) {
    return g_root->filePath(name);
}

// Every entry below `folder`, hidden ones included.
QStringList contentsOf(const QString& folder) {
    QStringList found;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        found << it.next();
    }
    return found;
}

class RecordedMessages : public seams::MessageBox {
  public:
    void show(QWidget*, const QString& text) override { texts << text; }
    QStringList texts;
};

using testsupport::buttonNamed;

}  // namespace

class TestNoSettings : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        QVERIFY(QDir().mkpath(under(QStringLiteral("lavoro"))));
        using jetwriter::Column;
        jetwriter::Database archive(jetwriter::Version::Jet4);
        archive.addTable(QStringLiteral("misure"),
                         {Column{QStringLiteral("Id"), jetwriter::ColumnType::Long, 0},
                          Column{QStringLiteral("Stazione"), jetwriter::ColumnType::Text, 50}},
                         QList<jetwriter::Row>{{1, QStringLiteral("Vessa")}, {2, QStringLiteral("Roda")}});
        QString error;
        QVERIFY2(archive.write(under(QStringLiteral("lavoro/orbeni.mdb")), &error), qPrintable(error));
        seams::setMessageBox(&messages_);
    }
    void cleanupTestCase() { seams::setMessageBox(nullptr); }

    void exportCancelAndPrintLeaveNoSettings() {
        runtime::Form form;
        db::DataSource& source = *form.addDataSource(QStringLiteral("DTabella"));
        controls::DBGrid grid(QStringLiteral("DB"), &form);
        source.setDatabaseName(under(QStringLiteral("lavoro/orbeni.mdb")));
        source.setRecordSource(QStringLiteral("misure"));
        grid.bind(&source);
        source.open();
        QVERIFY(source.recordset());
        exporter::SaveDialogMemory memory;
        const QString target = under(QStringLiteral("lavoro/esportati.txt"));

        // An export: the name typed in the dialog, then "Salva".
        ModalWatcher save;
        save.then(QStringLiteral("type and save"), [&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            auto* field = dialog ? dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")) : nullptr;
            QPushButton* button = dialog ? buttonNamed(dialog, QStringLiteral("Salva")) : nullptr;
            if (!field || !button) {
                return false;
            }
            field->setText(target);
            if (!button->isEnabled()) {
                return false;
            }
            QMetaObject::invokeMethod(button, &QAbstractButton::click, Qt::QueuedConnection);
            return true;
        });
        save.start();
        exporter::Esporta(source.recordset(), &grid, memory, &form);
        QVERIFY2(save.finished(), qPrintable(save.failure()));
        QVERIFY(QFile::exists(target));

        // A cancelled export.
        ModalWatcher cancel;
        cancel.then(QStringLiteral("cancel"), [&](QWidget* modal) {
            QPushButton* button = buttonNamed(modal, QStringLiteral("Annulla"));
            if (!qobject_cast<QFileDialog*>(modal) || !button) {
                return false;
            }
            QMetaObject::invokeMethod(button, &QAbstractButton::click, Qt::QueuedConnection);
            return true;
        });
        cancel.start();
        exporter::Esporta(source.recordset(), &grid, memory, &form);
        QVERIFY2(cancel.finished(), qPrintable(cancel.failure()));
        QVERIFY(messages_.texts.isEmpty());

        // A print, to a PDF file, through the real print dialog.
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(under(QStringLiteral("lavoro/scheda.pdf")));
        ModalWatcher print;
        print.then(QStringLiteral("print"), [&](QWidget* modal) {
            auto* dialog = qobject_cast<QPrintDialog*>(modal);
            if (!dialog) {
                return false;
            }
            QMetaObject::invokeMethod(dialog, &QDialog::accept, Qt::QueuedConnection);
            return true;
        });
        print.start();
        const bool accepted = seams::runPrintDialog(&form, printer);
        QVERIFY2(print.finished(), qPrintable(print.failure()));
        QVERIFY(accepted);
        QPainter painter;
        QVERIFY(painter.begin(&printer));
        painter.drawText(100, 100, QStringLiteral("Scheda"));
        QVERIFY(painter.end());
        QVERIFY(QFileInfo(under(QStringLiteral("lavoro/scheda.pdf"))).size() > 0);

        QCOMPARE(contentsOf(under(QStringLiteral("casa"))), QStringList());
        QCOMPARE(contentsOf(under(QStringLiteral("configurazione"))), QStringList());
    }

  private:
    RecordedMessages messages_;
};

int main(int argc, char* argv[]) {
    QTemporaryDir root;
    if (!root.isValid()) {
        return 1;
    }
    g_root = &root;
    // Caches (fonts, shaders) are not settings: they go to a folder of their own.
    for (const char* folder : {"casa", "configurazione", "cache", "runtime"}) {
        QDir().mkpath(under(QString::fromLatin1(folder)));
    }
    QFile::setPermissions(under(QStringLiteral("runtime")),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("HOME", QFile::encodeName(under(QStringLiteral("casa"))));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(under(QStringLiteral("configurazione"))));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(under(QStringLiteral("cache"))));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(under(QStringLiteral("runtime"))));
    QApplication app(argc, argv);
    TestNoSettings test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_nosettings.moc"
