// What leaves the registry window: the printed card, the exported monthly figures, and the large
// location picture window.
#include "registry/registryfixture.h"
#include "support/scriptedseams.h"

#include "db/global.h"
#include "db/location.h"
#include "registry/frmanagrafica.h"
#include "registry/frmdettaglio.h"
#include "registry/registrycontrols.h"
#include "registry/registrypaths.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QtTest>

#include <memory>

using namespace registrytest;

namespace {

int firstStation(const QString& variant, bool pictures, bool monthly) {
    const QList<samplegen::StationInfo> infos = samplegen::stations(optionsOf(variant));
    for (int i = 1; i < infos.size(); ++i) {
        if (infos[i].hasPictures == pictures && infos[i].hasMonthly == monthly) {
            return i;
        }
    }
    return -1;
}

// What the large picture window showed when it was open.
struct Detail {
    QString title;
    QString path;
    QImage picture;
    QSize size;
    QColor background;
    bool iconBlank = false;
};

}  // namespace

class RegistryOutputTest : public QObject {
    Q_OBJECT

    std::unique_ptr<testsupport::ScriptedSeams> services;
    QList<Detail> details;
    std::function<void(frmDettaglio*)> whileOpen;  // runs in the large picture window's display
    QTemporaryDir outputs;

    frmAnagrafica* openOn(const QString& variant, int station) {
        db::setProgramFolder(sampleFolder(variant));
        frmAnagrafica* form = runtime::Forms::show<frmAnagrafica>(runtime::Modality::Modeless);
        if (station > 0) {
            choose(form->DBCombo1, station);
        }
        return form;
    }

  private slots:
    void init() {
        Global::reset();
        details.clear();
        whileOpen = nullptr;
        services = std::make_unique<testsupport::ScriptedSeams>();
        services->saveTo = QString();  // the dialogs cancel unless a test picks a file
        services->printTo = QString();
        services->onModal = [this](QWidget* window) {
            auto* detail = qobject_cast<frmDettaglio*>(window);
            if (!detail) {
                return;
            }
            const QImage shown = detail->grab().toImage();
            Detail seen;
            seen.title = detail->windowTitle();
            seen.path = detail->picturePath();
            seen.picture = detail->picture().toImage();
            seen.size = detail->size();
            seen.background = shown.pixelColor(shown.width() - 1, shown.height() - 1);
            const QImage icon = detail->windowIcon().pixmap(16, 16).toImage();
            seen.iconBlank = !icon.isNull() && icon.pixelColor(8, 8).alpha() == 0;
            details << seen;
            if (whileOpen) {
                whileOpen(detail);
            }
        };
    }
    void cleanup() {
        runtime::Forms::unloadAll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        services.reset();
        db::setProgramFolder(QString());
    }

    void printingOnePage() {
        const int station = firstStation(QStringLiteral("jet4"), true, true);
        frmAnagrafica* form = openOn(QStringLiteral("jet4"), station);
        const QString pdf = outputs.filePath(QStringLiteral("scheda.pdf"));

        // Cancel: nothing printed.
        services->printTo = QString();
        form->mnuStampa_Click();
        QCOMPARE(services->printDialogs, 1);
        QVERIFY(!QFile::exists(pdf));

        services->printTo = pdf;
        form->mnuStampa_Click();
        QCOMPARE(services->printDialogs, 2);
        QFile file(pdf);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.startsWith("%PDF"));
        QVERIFY(bytes.trimmed().endsWith("%%EOF"));  // the document was ended
        const QRegularExpression page(QStringLiteral("/Type\\s*/Page[^s]"));
        QCOMPARE(QString::fromLatin1(bytes).count(page), 1);
        QVERIFY(services->messages.isEmpty());

        // Rendered, the page holds the card: the window's grey somewhere, and not only white.
        const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
        if (pdftoppm.isEmpty()) {
            QSKIP("pdftoppm is not installed");
        }
        const QString png = outputs.filePath(QStringLiteral("scheda"));
        QCOMPARE(
            QProcess::execute(pdftoppm, {QStringLiteral("-r"), QStringLiteral("40"), QStringLiteral("-png"),
                                         QStringLiteral("-singlefile"), pdf, png}),
            0);
        const QImage rendered(png + QStringLiteral(".png"));
        QVERIFY(!rendered.isNull());
        QVERIFY(rendered.width() < rendered.height());  // a portrait page
        int grey = 0;
        for (int y = 0; y < rendered.height(); y += 2) {
            for (int x = 0; x < rendered.width(); x += 2) {
                const QColor c = rendered.pixelColor(x, y);
                grey += qAbs(c.red() - 224) < 6 && qAbs(c.green() - 224) < 6 && qAbs(c.blue() - 224) < 6;
            }
        }
        QVERIFY(grey > 100);
    }

    void exportingTheMonthlyFigures() {
        const QString variant = QStringLiteral("jet3");
        const int station = firstStation(variant, true, true);
        frmAnagrafica* form = openOn(variant, station);
        const QString code = form->txtCod->text();
        const QString target = outputs.filePath(QStringLiteral("mensili.txt"));

        services->saveTo = target;
        form->mnuEsporta_Click();
        QCOMPARE(services->saveRequests.size(), 1);
        QCOMPARE(services->saveRequests[0].title, QStringLiteral("Esporta dati"));

        QByteArray expected;
        for (const QString& field : monthlyFields()) {
            expected += field.toLatin1() + '\t';
        }
        expected += "\r\n";
        const QList<QStringList> rows = monthlyRows(sampleFolder(variant), code);
        QVERIFY(!rows.isEmpty());
        for (const QStringList& row : rows) {
            for (const QString& cell : row) {
                expected += cell.toLatin1() + '\t';
            }
            expected += "\r\n";
        }
        QFile file(target);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), expected);
        file.close();

        // A station without figures writes nothing; cancel writes nothing either.
        QFile::remove(target);
        choose(form->DBCombo1, firstStation(variant, true, false));
        form->mnuEsporta_Click();
        QVERIFY(!QFile::exists(target));
        services->saveTo = QString();
        choose(form->DBCombo1, station);
        form->mnuEsporta_Click();
        QVERIFY(!QFile::exists(target));
        QVERIFY(services->messages.isEmpty());
    }

    // Without a mouse: the thumbnail follows the card's boxes in the tab order, before the monthly
    // grid, shows that it has the focus, and Return, the keypad's Enter and Space open the large
    // picture, which Escape closes as its frame's close box does.
    void largePictureFromTheKeyboard() {
        const int withPictures = firstStation(QStringLiteral("jet4"), true, true);
        frmAnagrafica* form = openOn(QStringLiteral("jet4"), withPictures);
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form));
        form->Text1->lineEdit()->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), form->PctUbic);
        const QImage unfocused = [&] {
            form->PctUbic->clearFocus();
            return form->PctUbic->grab().toImage();
        }();
        form->PctUbic->setFocus(Qt::TabFocusReason);
        QVERIFY(form->PctUbic->grab().toImage() != unfocused);  // the focus is drawn
        QTest::keyClick(form->PctUbic, Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), form->Text1->lineEdit());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClick(form->PctUbic, Qt::Key_Tab);
        QVERIFY(QApplication::focusWidget() && form->MSFlexGrid1->isAncestorOf(QApplication::focusWidget()));
        form->PctUbic->setFocus(Qt::TabFocusReason);

        bool escapeClosed = false;
        whileOpen = [&](frmDettaglio* detail) {
            detail->activateWindow();
            if (!QTest::qWaitFor([detail] { return QApplication::activeWindow() == detail; })) {
                return;
            }
            QTest::keyClick(detail, Qt::Key_Escape);
            escapeClosed = detail->isUnloaded() && !detail->isVisible();
        };
        const QList<std::pair<int, Qt::KeyboardModifiers>> keys = {{Qt::Key_Return, Qt::NoModifier},
                                                                   {Qt::Key_Enter, Qt::KeypadModifier},
                                                                   {Qt::Key_Space, Qt::NoModifier}};
        for (const auto& [key, modifiers] : keys) {
            escapeClosed = false;
            QTest::keyClick(form->PctUbic, Qt::Key(key), modifiers);
            QCOMPARE(details.size(), services->modalWindows.size());
            QCOMPARE(services->modalWindows.last(), QStringLiteral("frmDettaglio"));
            QVERIFY(escapeClosed);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY(!runtime::Forms::find<frmDettaglio>());
            form->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(form));
            form->PctUbic->setFocus(Qt::TabFocusReason);
        }
        QCOMPARE(details.size(), 3);
        QCOMPARE(details[0].path, details[2].path);
        // Other keys open nothing.
        QTest::keyClick(form->PctUbic, Qt::Key_A);
        QTest::keyClick(form->PctUbic, Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(details.size(), 3);
    }

    void largePicture() {
        const QString variant = QStringLiteral("jet4");
        const QString folder = sampleFolder(variant);
        const int withPictures = firstStation(variant, true, true);
        frmAnagrafica* form = openOn(variant, withPictures);
        const QString code = form->txtCod->text();

        QTest::mouseClick(form->PctUbic, Qt::LeftButton, {}, QPoint(20, 20));
        QCOMPARE(services->modalWindows, QStringList{QStringLiteral("frmDettaglio")});
        QCOMPARE(details.size(), 1);
        QCOMPARE(details[0].title, QStringLiteral("Dettaglio"));
        QVERIFY(details[0].iconBlank);
        QCOMPARE(details[0].path, registry::largePicturePath(folder + QStringLiteral("/cartograf"), code));
        const QImage expected = pictureFile(folder, QStringLiteral("s_%1.jpg").arg(code));
        QVERIFY(!expected.isNull());
        QCOMPARE(details[0].picture.convertToFormat(QImage::Format_RGB32),
                 expected.convertToFormat(QImage::Format_RGB32));
        const QSize window = runtime::twipsRect(0, 0, 11220, 8730).size();
        QCOMPARE(details[0].size, window);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!runtime::Forms::find<frmDettaglio>());

        // A picture smaller than the window: pale yellow to its right and below.
        const QList<Station> stations = registryRows(folder);
        int small = -1;
        for (int i = 1; i < stations.size() && small < 0; ++i) {
            const QImage picture = pictureFile(folder, QStringLiteral("s_%1.jpg").arg(stations[i].code));
            if (!picture.isNull() && picture.width() < window.width() && picture.height() < window.height()) {
                small = i;
            }
        }
        QVERIFY(small > 0);
        choose(form->DBCombo1, small);
        QTest::mouseClick(form->PctUbic, Qt::LeftButton, {}, QPoint(20, 20));
        QCOMPARE(details.size(), 2);
        QVERIFY(!details[1].picture.isNull());
        QCOMPARE(details[1].background, QColor(255, 255, 192));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        // Another station, then its own picture; a station without pictures: the pale window alone.
        const int without = firstStation(variant, false, true);
        QVERIFY(without > 0);
        choose(form->DBCombo1, without);
        QTest::mouseClick(form->PctUbic, Qt::LeftButton, {}, QPoint(20, 20));
        QCOMPARE(details.size(), 3);
        QVERIFY(details[2].picture.isNull());
        QCOMPARE(details[2].background, QColor(255, 255, 192));
        QVERIFY(details[2].path.endsWith(QStringLiteral("/s_%1.jpg").arg(form->txtCod->text())));
        QVERIFY(services->messages.isEmpty());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        // Upper-case S_code.JPG is found as well.
        const QList<samplegen::StationInfo> infos = samplegen::stations(optionsOf(variant));
        int upper = -1;
        for (int i = 1; i < infos.size() && upper < 0; ++i) {
            if (infos[i].upperCasePictures) {
                upper = i;
            }
        }
        QVERIFY(upper > 0);
        choose(form->DBCombo1, upper);
        QTest::mouseClick(form->PctUbic, Qt::LeftButton, {}, QPoint(20, 20));
        QCOMPARE(details.size(), 4);
        QVERIFY(!details[3].picture.isNull());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        // The registry is still in use.
        choose(form->DBCombo1, withPictures);
        QCOMPARE(form->txtCod->text(), code);
        QVERIFY(!form->PctUbic->picture().isNull());
        QCOMPARE(form->PctUbic->cursor().shape(), Qt::BitmapCursor);
    }
};

QTEST_MAIN(RegistryOutputTest)
#include "test_registryoutput.moc"
