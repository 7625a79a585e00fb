// The real save dialog behind seams::runRealSaveDialog, driven from outside while it runs.
#include <QAbstractItemView>
#include <QAbstractProxyModel>
#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <thread>

#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include "export/esporta.h"
#include "runtime/seams.h"
#include "support/findbutton.h"
#include "support/modalwatcher.h"

namespace {

QFileDialog* fileDialog(QWidget* modal) {
    return qobject_cast<QFileDialog*>(modal);
}

QStringList listed(QFileDialog* dialog) {
    auto* view = dialog->findChild<QListView*>(QStringLiteral("listView"));
    QStringList names;
    if (!view || !view->model()) {
        return names;
    }
    const QModelIndex root = view->rootIndex();
    for (int row = 0; row < view->model()->rowCount(root); ++row) {
        names << view->model()->index(row, 0, root).data().toString();
    }
    names.sort(Qt::CaseInsensitive);
    return names;
}

QComboBox* types(QFileDialog* dialog) {
    return dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
}
QLineEdit* nameField(QFileDialog* dialog) {
    return dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
}

using testsupport::buttonNamed;

// Clicks from the event loop, not from the watcher's timer: a click that opens a nested modal
// would otherwise hold the timer, which Qt never delivers into itself.
void clickLater(QAbstractButton* button) {
    QMetaObject::invokeMethod(button, &QAbstractButton::click, Qt::QueuedConnection);
}

// Picks a pair as the user does: the entry becomes current and is reported as activated.
void chooseType(QFileDialog* dialog, int index) {
    QComboBox* combo = types(dialog);
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

// A step that waits until the listing of the dialog's folder is `expected`.
ModalWatcher::Step listingIs(ModalWatcher& watcher, const QStringList& expected) {
    return [&watcher, expected](QWidget* modal) {
        QFileDialog* dialog = fileDialog(modal);
        if (!dialog) {
            return false;
        }
        const QStringList names = listed(dialog);
        if (names != expected) {
            return false;
        }
        watcher.notes << names.join(u',');
        return true;
    };
}

void touch(const QString& path, const QByteArray& content = "x") {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

seams::SaveRequest exportRequest(const QString& offered, int flags = 6) {
    seams::SaveRequest request;
    request.title = QStringLiteral("Esporta dati");
    request.flags = flags;
    request.filter = exporter::exportFilter();
    request.filterIndex = 1;
    request.fileName = offered;
    return request;
}

}  // namespace

class TestSaveDialog : public QObject {
    Q_OBJECT

  private slots:
    void showsPairsFiltersAndReturnsTypedName();
    void asksBeforeReplacing();
    void refusedNameKeepsTheDialogOpen();
    void typingReplacesTheOfferedName();
    void cancelReturnsFalse();
    void specialFilesAreNeverRead();
    void ownTextsAreItalian();
};

void TestSaveDialog::showsPairsFiltersAndReturnsTypedName() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    for (const char* name : {"a.txt", "b.dbf", "c.xls", "d", "e.XLS"}) {
        touch(dir.filePath(QString::fromLatin1(name)));
    }

    const QStringList descriptions = {
        QStringLiteral("Tutti i file (*.*)"),      QStringLiteral("File di testo (*.txt)"),
        QStringLiteral("File DBase III (*.dbf)"),  QStringLiteral(" File DBase IV (*.dbf)"),
        QStringLiteral(" File Excel 4.0 (*.xls)"), QStringLiteral(" File Excel 5.0/95 (*.xls)"),
        QStringLiteral("File Excel 97 (*.xls)"),
    };

    ModalWatcher watcher;
    watcher.then(QStringLiteral("dialog as opened"), [&](QWidget* modal) {
        QFileDialog* dialog = fileDialog(modal);
        if (!dialog || !types(dialog) || !nameField(dialog)) {
            return false;
        }
        QStringList shown;
        for (int i = 0; i < types(dialog)->count(); ++i) {
            shown << types(dialog)->itemText(i);
        }
        watcher.notes << dialog->windowTitle() << shown.join(u'|')
                      << QString::number(types(dialog)->currentIndex()) << nameField(dialog)->text()
                      << dialog->directory().absolutePath()
                      << QString::number(dialog->testOption(QFileDialog::DontUseNativeDialog));
        QStringList titles;
        for (int section = 0; section < 4; ++section) {
            titles << dialog->proxyModel()->headerData(section, Qt::Horizontal).toString();
        }
        watcher.notes << titles.join(u',');
        return true;
    });
    watcher.then(QStringLiteral("all files"), listingIs(watcher, {"a.txt", "b.dbf", "c.xls", "d", "e.XLS"}));
    watcher.then(QStringLiteral("choose text files"), [&](QWidget* modal) {
        chooseType(fileDialog(modal), 1);
        return true;
    });
    watcher.then(QStringLiteral("text files"), listingIs(watcher, {"a.txt"}));
    watcher.then(QStringLiteral("choose Excel 97"), [&](QWidget* modal) {
        // The typed name keeps its extension whatever pair is chosen.
        watcher.notes << nameField(fileDialog(modal))->text();
        chooseType(fileDialog(modal), 6);
        return true;
    });
    watcher.then(QStringLiteral("Excel 97 files"), listingIs(watcher, {"c.xls", "e.XLS"}));
    watcher.then(QStringLiteral("choose DBase IV"), [&](QWidget* modal) {
        watcher.notes << nameField(fileDialog(modal))->text();
        chooseType(fileDialog(modal), 3);
        return true;
    });
    watcher.then(QStringLiteral("DBase IV files (pattern with a trailing blank)"),
                 listingIs(watcher, {"b.dbf"}));
    watcher.then(QStringLiteral("choose Excel 4.0"), [&](QWidget* modal) {
        chooseType(fileDialog(modal), 4);
        return true;
    });
    watcher.then(QStringLiteral("Excel 4.0 files (pattern .xls_)"), listingIs(watcher, {}));
    watcher.then(QStringLiteral("type a name and save"), [&](QWidget* modal) {
        QFileDialog* dialog = fileDialog(modal);
        QLineEdit* field = nameField(dialog);
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, QStringLiteral("nuovo.dat"));
        QPushButton* save = buttonNamed(dialog, QStringLiteral("Salva"));
        if (!save) {
            watcher.notes << QStringLiteral("no Salva button");
            dialog->reject();
            return true;
        }
        clickLater(save);
        return true;
    });

    seams::SaveRequest request = exportRequest(dir.filePath(QStringLiteral("vecchio.txt")));
    watcher.start();
    const bool accepted = seams::runRealSaveDialog(nullptr, request);

    QVERIFY2(watcher.finished(), qPrintable(watcher.failure()));
    QCOMPARE(watcher.notes.value(0), QStringLiteral("Esporta dati"));
    QCOMPARE(watcher.notes.value(1), descriptions.join(u'|'));
    QCOMPARE(watcher.notes.value(2), QStringLiteral("0"));
    QCOMPARE(watcher.notes.value(3), QStringLiteral("vecchio.txt"));
    QCOMPARE(watcher.notes.value(4), QDir(dir.path()).absolutePath());
    QCOMPARE(watcher.notes.value(5), QStringLiteral("1"));
    QCOMPARE(watcher.notes.value(6), QStringLiteral("Nome,Dimensione,Tipo,Ultima modifica"));
    QCOMPARE(watcher.notes.value(9), QStringLiteral("vecchio.txt"));
    QCOMPARE(watcher.notes.value(11), QStringLiteral("vecchio.txt"));
    QVERIFY(accepted);
    QCOMPARE(request.fileName, dir.filePath(QStringLiteral("nuovo.dat")));
    QVERIFY(!QFile::exists(request.fileName));
}

void TestSaveDialog::asksBeforeReplacing() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString existing = dir.filePath(QStringLiteral("a.txt"));
    touch(existing, "prima");

    ModalWatcher watcher;
    auto save = [&](QWidget* modal) {
        QFileDialog* dialog = fileDialog(modal);
        if (!dialog) {
            return false;
        }
        QPushButton* button = buttonNamed(dialog, QStringLiteral("Salva"));
        if (!button || !button->isEnabled()) {
            return false;
        }
        clickLater(button);
        return true;
    };
    auto answer = [&](QMessageBox::StandardButton which) {
        return [&watcher, which](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            if (!box) {
                return false;
            }
            watcher.notes << box->text() << box->button(which)->text();
            clickLater(box->button(which));
            return true;
        };
    };
    watcher.then(QStringLiteral("save over the file"), save);
    watcher.then(QStringLiteral("answer No"), answer(QMessageBox::No));
    watcher.then(QStringLiteral("save again"), save);
    watcher.then(QStringLiteral("answer Yes"), answer(QMessageBox::Yes));

    seams::SaveRequest request = exportRequest(existing);
    watcher.start();
    QVERIFY(seams::runRealSaveDialog(nullptr, request));
    QVERIFY2(watcher.finished(), qPrintable(watcher.failure()));
    QCOMPARE(watcher.notes.value(0), QStringLiteral("Il file «a.txt» esiste già.\nSostituirlo?"));
    QCOMPARE(watcher.notes.value(1), QStringLiteral("No"));
    QCOMPARE(watcher.notes.value(3), QStringLiteral("Sì"));
    QCOMPARE(request.fileName, existing);

    // Without flag 2 the dialog returns at once.
    ModalWatcher plain;
    plain.then(QStringLiteral("save over the file"), save);
    seams::SaveRequest noQuestion = exportRequest(existing, 4);
    plain.start();
    QVERIFY(seams::runRealSaveDialog(nullptr, noQuestion));
    QVERIFY2(plain.finished(), qPrintable(plain.failure()));
    QCOMPARE(noQuestion.fileName, existing);

    // The dialog never writes: the file is as it was.
    QFile file(existing);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("prima"));
}

// A name the caller refuses is refused in the dialog, before any question about replacing it;
// the dialog stays open for another name.
void TestSaveDialog::refusedNameKeepsTheDialogOpen() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString refused = dir.filePath(QStringLiteral("archivio.txt"));
    touch(refused, "dati");
    const QString other = dir.filePath(QStringLiteral("altro.txt"));

    ModalWatcher watcher;
    auto saveAs = [&watcher](const QString& name) {
        return [&watcher, name](QWidget* modal) {
            QFileDialog* dialog = fileDialog(modal);
            QPushButton* button = dialog ? buttonNamed(dialog, QStringLiteral("Salva")) : nullptr;
            if (!button || !button->isEnabled() || !nameField(dialog)) {
                return false;
            }
            if (!name.isEmpty()) {
                // Typed into the focused field, as the user does: the dialog then drops the
                // listing's selection of the name typed over.
                QApplication::setActiveWindow(dialog);
                nameField(dialog)->setFocus();
                if (!nameField(dialog)->hasFocus()) {
                    return false;
                }
                nameField(dialog)->selectAll();
                QTest::keyClicks(nameField(dialog), name);
            }
            watcher.notes << QStringLiteral("save %1").arg(QFileInfo(nameField(dialog)->text()).fileName());
            clickLater(button);
            return true;
        };
    };
    watcher.then(QStringLiteral("save over the refused file"), saveAs(QString()));
    watcher.then(QStringLiteral("the refusal"), [&watcher](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (!box || box->buttons().size() != 1) {
            return false;
        }
        watcher.notes << box->text();
        clickLater(box->buttons().constFirst());
        return true;
    });
    watcher.then(QStringLiteral("save under another name"), saveAs(QStringLiteral("altro.txt")));

    seams::SaveRequest request = exportRequest(refused);
    QStringList asked;
    request.refusal = [&asked, refused](const QString& file) {
        asked << QFileInfo(file).fileName();
        return QFileInfo(file) == QFileInfo(refused) ? QStringLiteral("è protetto") : QString();
    };
    watcher.start();
    QVERIFY(seams::runRealSaveDialog(nullptr, request));
    QVERIFY2(watcher.finished(), qPrintable(watcher.failure()));
    QCOMPARE(watcher.notes,
             (QStringList{QStringLiteral("save archivio.txt"),
                          QStringLiteral("Impossibile scrivere il file «archivio.txt»: è protetto."),
                          QStringLiteral("save altro.txt")}));
    QCOMPARE(asked, (QStringList{QStringLiteral("archivio.txt"), QStringLiteral("altro.txt")}));
    QCOMPARE(request.fileName, other);
    QFile file(refused);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("dati"));
}

// The name offered is that of a file the folder holds, as after an export. Whenever the name field
// takes the focus before the user has typed (the window manager activating the dialog, a click
// back from the listing), the name is selected, so that typing replaces it instead of going on its
// end: "a.txtnuovo.txt" was written.
void TestSaveDialog::typingReplacesTheOfferedName() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    touch(dir.filePath(QStringLiteral("a.txt")));

    ModalWatcher watcher;
    watcher.then(QStringLiteral("listing"), listingIs(watcher, {"a.txt"}));
    watcher.then(QStringLiteral("focus away and back"), [](QWidget* modal) {
        QFileDialog* dialog = fileDialog(modal);
        QAbstractItemView* view = nullptr;
        for (auto* shown :
             dialog ? dialog->findChildren<QAbstractItemView*>() : QList<QAbstractItemView*>()) {
            const QString name = shown->objectName();
            view =
                shown->isVisible() && (name == QLatin1String("listView") || name == QLatin1String("treeView"))
                    ? shown
                    : view;
        }
        if (!view || !nameField(dialog)) {
            return false;
        }
        QApplication::setActiveWindow(dialog);
        view->setFocus();  // the field drops its selection as it loses the focus
        nameField(dialog)->setFocus();
        return nameField(dialog)->hasFocus();
    });
    watcher.then(QStringLiteral("type a name and save"), [&watcher](QWidget* modal) {
        QFileDialog* dialog = fileDialog(modal);
        QPushButton* save = buttonNamed(dialog, QStringLiteral("Salva"));
        if (!save) {
            return false;
        }
        QTest::keyClicks(nameField(dialog), QStringLiteral("nuovo.txt"));
        watcher.notes << nameField(dialog)->text();
        clickLater(save);
        return true;
    });

    seams::SaveRequest request = exportRequest(dir.filePath(QStringLiteral("a.txt")));
    watcher.start();
    QVERIFY(seams::runRealSaveDialog(nullptr, request));
    QVERIFY2(watcher.finished(), qPrintable(watcher.failure()));
    QCOMPARE(watcher.notes, (QStringList{QStringLiteral("a.txt"), QStringLiteral("nuovo.txt")}));
    QCOMPARE(request.fileName, dir.filePath(QStringLiteral("nuovo.txt")));
}

void TestSaveDialog::cancelReturnsFalse() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    ModalWatcher watcher;
    watcher.then(QStringLiteral("cancel"), [&](QWidget* modal) {
        QFileDialog* dialog = fileDialog(modal);
        QPushButton* cancel = dialog ? buttonNamed(dialog, QStringLiteral("Annulla")) : nullptr;
        if (!cancel) {
            return false;
        }
        clickLater(cancel);
        return true;
    });
    const QString offered = dir.filePath(QStringLiteral("dati.txt"));
    seams::SaveRequest request = exportRequest(offered);
    watcher.start();
    QVERIFY(!seams::runRealSaveDialog(nullptr, request));
    QVERIFY2(watcher.finished(), qPrintable(watcher.failure()));
    QCOMPARE(request.fileName, offered);
}

// Watches a FIFO from another thread: whoever opens it for reading waits for a writer, so a
// writer that opens without waiting succeeds only then. Each such open is counted and released
// (the reader then sees an empty pipe), so a dialog that reads it is caught instead of hanging.
class FifoWatch {
  public:
    explicit FifoWatch(const QByteArray& path) : path_(path), thread_([this] { run(); }) {}
    ~FifoWatch() {
        stop_ = true;
        thread_.join();
    }
    int opensForReading() const { return opens_; }

  private:
    void run() {
        while (!stop_) {
            const int fd = ::open(path_.constData(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0) {
                ++opens_;
                ::close(fd);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    QByteArray path_;
    std::atomic<bool> stop_{false};
    std::atomic<int> opens_{0};
    std::thread thread_;
};

void TestSaveDialog::specialFilesAreNeverRead() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString fifo = dir.filePath(QStringLiteral("tubo"));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    touch(dir.filePath(QStringLiteral("dati.txt")));
    touch(dir.filePath(QStringLiteral("leggimi")));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sotto")));
    FifoWatch watch(QFile::encodeName(fifo));
    // Every file of the folder that anyone opens (the folder's own listing is not a file's).
    const int notify = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    QVERIFY(notify >= 0);
    QVERIFY(::inotify_add_watch(notify, QFile::encodeName(dir.path()).constData(), IN_OPEN | IN_ACCESS) >= 0);

    // The type column, as the detail view shows it, once every entry has its type.
    const QStringList expected = {QStringLiteral("dati.txt: File TXT"), QStringLiteral("leggimi: File"),
                                  QStringLiteral("sotto: Cartella"), QStringLiteral("tubo: File speciale")};
    QStringList seen;
    ModalWatcher watcher;
    watcher.then(QStringLiteral("types listed"), [&](QWidget* modal) {
        QFileDialog* dialog = fileDialog(modal);
        auto* view = dialog ? dialog->findChild<QListView*>(QStringLiteral("listView")) : nullptr;
        if (!view || !view->model()) {
            return false;
        }
        const QModelIndex root = view->rootIndex();
        seen.clear();
        for (int row = 0; row < view->model()->rowCount(root); ++row) {
            seen << view->model()->index(row, 0, root).data().toString() + QStringLiteral(": ") +
                        view->model()->index(row, 2, root).data().toString();
        }
        seen.sort();
        return seen == expected;
    });
    watcher.then(QStringLiteral("cancel"), [&](QWidget* modal) {
        clickLater(buttonNamed(modal, QStringLiteral("Annulla")));
        return true;
    });
    // Offered the FIFO's own name: the dialog looks it up at once, before showing.
    seams::SaveRequest request = exportRequest(fifo);
    watcher.start();
    QVERIFY(!seams::runRealSaveDialog(nullptr, request));
    QStringList opened;
    alignas(inotify_event) char events[4096];
    for (ssize_t got; (got = ::read(notify, events, sizeof events)) > 0;) {
        for (ssize_t at = 0; at < got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(events + at);
            if (event->len > 0 && !(event->mask & IN_ISDIR)) {
                opened << QFile::decodeName(event->name);
            }
            at += ssize_t(sizeof(inotify_event)) + event->len;
        }
    }
    ::close(notify);
    opened.removeDuplicates();
    QCOMPARE(opened, QStringList());
    QCOMPARE(watch.opensForReading(), 0);
    QVERIFY2(watcher.finished(), qPrintable(watcher.failure() + QStringLiteral(" seen: ") + seen.join(u'|')));
}

// Qt's own texts in the dialog (tips, menu entries), Italian with no system translation loaded.
void TestSaveDialog::ownTextsAreItalian() {
    QStringList texts;
    ModalWatcher watcher;
    watcher.then(QStringLiteral("read and cancel"), [&](QWidget* modal) {
        QFileDialog* dialog = fileDialog(modal);
        if (!dialog) {
            return false;
        }
        for (const char* name : {"backButton", "forwardButton", "toParentButton", "newFolderButton",
                                 "listModeButton", "detailModeButton"}) {
            auto* button = dialog->findChild<QWidget*>(QString::fromLatin1(name));
            texts << (button ? button->toolTip() : QStringLiteral("?"));
        }
        for (const char* name :
             {"qt_rename_action", "qt_delete_action", "qt_show_hidden_action", "qt_new_folder_action"}) {
            auto* action = dialog->findChild<QAction*>(QString::fromLatin1(name));
            texts << (action ? action->text() : QStringLiteral("?"));
        }
        clickLater(buttonNamed(modal, QStringLiteral("Annulla")));
        return true;
    });
    seams::SaveRequest request = exportRequest(QString());
    watcher.start();
    QVERIFY(!seams::runRealSaveDialog(nullptr, request));
    QVERIFY2(watcher.finished(), qPrintable(watcher.failure()));
    QCOMPARE(texts,
             (QStringList{"Indietro", "Avanti", "Cartella superiore", "Crea nuova cartella", "Elenco",
                          "Dettagli", "&Rinomina", "&Elimina", "Mostra file &nascosti", "&Nuova cartella"}));
}

QTEST_MAIN(TestSaveDialog)
#include "test_savedialog.moc"
