// The window registry: each window type exists at most once, loads again when shown after it was
// closed, comes to the front when shown while open; modal showing goes through the modal seam.
#include "runtime/form.h"
#include "runtime/seams.h"
#include "support/scriptedseams.h"

#include <QApplication>
#include <QCloseEvent>
#include <QtTest>

#include <memory>

using testsupport::ScriptedSeams;

namespace {

struct Counts {
    int loads = 0;
    int unloads = 0;
    int activations = 0;
    int pointerAtLoad = -1;
};

// A data window as the program's are: its activation puts the default pointer back.
class DataWindow : public runtime::Form {
  public:
    static Counts counts;
    DataWindow() { setObjectName("DataWindow"); }

  protected:
    void Form_Load() override {
        ++counts.loads;
        counts.pointerAtLoad = seams::mousePointer();
    }
    void Form_Activate() override {
        ++counts.activations;
        seams::setMousePointer(seams::kDefaultPointer);
    }
    void Form_Unload() override { ++counts.unloads; }
};
Counts DataWindow::counts;

class OtherWindow : public runtime::Form {
  public:
    static Counts counts;
    OtherWindow() { setObjectName("OtherWindow"); }

  protected:
    void Form_Load() override { ++counts.loads; }
};
Counts OtherWindow::counts;

// A window whose load handler gives up and unloads it.
class RefusingWindow : public runtime::Form {
  public:
    static Counts counts;
    RefusingWindow() { setObjectName("RefusingWindow"); }

  protected:
    void Form_Load() override {
        ++counts.loads;
        Unload();
    }
    void Form_Unload() override { ++counts.unloads; }
};
Counts RefusingWindow::counts;

// A main window: closing it from its frame unloads every other window.
class ClosingAllWindow : public runtime::Form {
  public:
    ClosingAllWindow() { setObjectName("ClosingAllWindow"); }

  protected:
    void Form_Unload() override { runtime::Forms::unloadAll(); }
};

}  // namespace

class TestForms : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        DataWindow::counts = {};
        OtherWindow::counts = {};
        RefusingWindow::counts = {};
        seams_ = std::make_unique<ScriptedSeams>();
    }
    void cleanup() {
        testsupport::endScriptedTest(seams_);
        seams::setMousePointer(seams::kDefaultPointer);
        QVERIFY(!QApplication::overrideCursor());
    }

    void oneInstancePerType() {
        DataWindow* first = runtime::Forms::show<DataWindow>(runtime::Modality::Modeless);
        QVERIFY(first);
        QVERIFY(first->isVisible());
        QCOMPARE(runtime::Forms::find<DataWindow>(), first);
        QCOMPARE(runtime::Forms::find<OtherWindow>(), nullptr);

        // Shown again while open: the same window comes to the front, its load handler does not run again.
        QCOMPARE(runtime::Forms::show<DataWindow>(runtime::Modality::Modeless), first);
        QCOMPARE(DataWindow::counts.loads, 1);

        // Another type is another window.
        OtherWindow* other = runtime::Forms::show<OtherWindow>(runtime::Modality::Modeless);
        QVERIFY(other);
        QVERIFY(static_cast<QWidget*>(other) != static_cast<QWidget*>(first));
        QCOMPARE(runtime::Forms::find<DataWindow>(), first);
        QVERIFY(seams_->modalWindows.isEmpty());
    }

    void loadsAgainAfterClosing() {
        QPointer<DataWindow> first = runtime::Forms::show<DataWindow>(runtime::Modality::Modeless);
        first->Unload();
        QCOMPARE(DataWindow::counts.unloads, 1);
        QVERIFY(first->isUnloaded());
        QVERIFY(!first->isVisible());
        QCOMPARE(runtime::Forms::find<DataWindow>(), nullptr);
        first->Unload();  // a second Unload is harmless
        QCOMPARE(DataWindow::counts.unloads, 1);

        DataWindow* second = runtime::Forms::show<DataWindow>(runtime::Modality::Modeless);
        QVERIFY(second);
        QVERIFY(!second->isUnloaded());
        QCOMPARE(DataWindow::counts.loads, 2);
        QCOMPARE(runtime::Forms::find<DataWindow>(), second);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(first.isNull());  // the closed one went away

        // Closing from the window frame unloads as well.
        QVERIFY(second->close());
        QCOMPARE(DataWindow::counts.unloads, 2);
        QCOMPARE(runtime::Forms::find<DataWindow>(), nullptr);
        QVERIFY(runtime::Forms::show<DataWindow>(runtime::Modality::Modeless));
        QCOMPARE(DataWindow::counts.loads, 3);
    }

    void modalGoesThroughTheModalSeam() {
        bool visibleDuringModal = false;
        bool registeredDuringModal = false;
        seams_->onModal = [&](QWidget* window) {
            visibleDuringModal = window->isVisible();
            registeredDuringModal = runtime::Forms::find<DataWindow>() == window;
        };
        // The runner closes the window: show returns once it is gone.
        QCOMPARE(runtime::Forms::show<DataWindow>(runtime::Modality::Modal), nullptr);
        QCOMPARE(seams_->modalWindows, QStringList{"DataWindow"});
        QVERIFY(visibleDuringModal);
        QVERIFY(registeredDuringModal);
        QCOMPARE(DataWindow::counts.loads, 1);
        QCOMPARE(DataWindow::counts.unloads, 1);
        QCOMPARE(runtime::Forms::find<DataWindow>(), nullptr);

        // The next modal showing loads a fresh window.
        QCOMPARE(runtime::Forms::show<DataWindow>(runtime::Modality::Modal), nullptr);
        QCOMPARE(DataWindow::counts.loads, 2);

        // A window the modal display leaves open is returned.
        seams_->closeAfterModal = false;
        DataWindow* kept = runtime::Forms::show<DataWindow>(runtime::Modality::Modal);
        QVERIFY(kept);
        QCOMPARE(runtime::Forms::find<DataWindow>(), kept);
        QCOMPARE(seams_->modalWindows.size(), 3);
    }

    void loadHandlerThatUnloads() {
        QCOMPARE(runtime::Forms::show<RefusingWindow>(runtime::Modality::Modal), nullptr);
        QCOMPARE(runtime::Forms::show<RefusingWindow>(runtime::Modality::Modeless), nullptr);
        QCOMPARE(RefusingWindow::counts.loads, 2);
        QCOMPARE(RefusingWindow::counts.unloads, 2);
        QVERIFY(seams_->modalWindows.isEmpty());  // nothing was shown
        QCOMPARE(runtime::Forms::find<RefusingWindow>(), nullptr);
    }

    // The opener sets the hourglass; the window loads under it; activation puts the default back.
    void pointerHandshake() {
        seams::setMousePointer(seams::kHourglass);
        DataWindow* window = runtime::Forms::show<DataWindow>(runtime::Modality::Modeless);
        QCOMPARE(DataWindow::counts.pointerAtLoad, seams::kHourglass);
        QTRY_VERIFY(DataWindow::counts.activations > 0);
        QCOMPARE(seams::mousePointer(), seams::kDefaultPointer);
        QVERIFY(!QApplication::overrideCursor());

        // Shown again while open: hourglass, then the activation restores it.
        OtherWindow* other = runtime::Forms::show<OtherWindow>(runtime::Modality::Modeless);
        QTRY_VERIFY(QApplication::activeWindow() == other);
        const int activations = DataWindow::counts.activations;
        seams::setMousePointer(seams::kHourglass);
        QCOMPARE(runtime::Forms::show<DataWindow>(runtime::Modality::Modeless), window);
        QTRY_VERIFY(DataWindow::counts.activations > activations);
        QCOMPARE(seams::mousePointer(), seams::kDefaultPointer);
        QCOMPARE(DataWindow::counts.loads, 1);
    }

    void unloadAllClosesEverything() {
        QPointer<DataWindow> a = runtime::Forms::show<DataWindow>(runtime::Modality::Modeless);
        QPointer<OtherWindow> b = runtime::Forms::show<OtherWindow>(runtime::Modality::Modeless);
        runtime::Forms::unloadAll();
        QVERIFY(a.isNull());
        QVERIFY(b.isNull());
        QCOMPARE(DataWindow::counts.unloads, 1);
        QCOMPARE(runtime::Forms::find<DataWindow>(), nullptr);
        QVERIFY(runtime::Forms::show<DataWindow>(runtime::Modality::Modeless));
    }

    // The window being closed is inside its own unload when it unloads the others: it must not be
    // deleted under itself, whether it is closed by its frame or by unloadAll.
    void unloadHandlerThatUnloadsAll() {
        for (const bool byFrame : {true, false}) {
            QPointer<ClosingAllWindow> main =
                runtime::Forms::show<ClosingAllWindow>(runtime::Modality::Modeless);
            QPointer<DataWindow> other = runtime::Forms::show<DataWindow>(runtime::Modality::Modeless);
            if (byFrame) {
                main->close();
            } else {
                runtime::Forms::unloadAll();
            }
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY(main.isNull());
            QVERIFY(other.isNull());
            QCOMPARE(runtime::Forms::find<ClosingAllWindow>(), nullptr);
        }
    }

  private:
    std::unique_ptr<ScriptedSeams> seams_;
};

QTEST_MAIN(TestForms)
#include "test_forms.moc"
