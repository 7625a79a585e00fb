#include <QComboBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QSortFilterProxyModel>
#include <QTranslator>

#include <functional>

#include "runtime/seams.h"

namespace seams {

namespace {

struct FilterPair {
    QString description;  // shown as it stands, blanks included
    QList<QRegularExpression> patterns;
};

// "description|pattern|description|pattern...": a pattern may list several, split by ";".
QList<FilterPair> parseFilter(const QString& filter) {
    QList<FilterPair> pairs;
    const QStringList parts = filter.split(u'|');
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        FilterPair pair;
        pair.description = parts[i];
        const QStringList patterns = parts[i + 1].split(u';');
        for (const QString& raw : patterns) {
            QString pattern = raw.trimmed();
            if (pattern.isEmpty()) {
                continue;
            }
            // As on the systems the archive's tools ran on, "*.*" lists every file, with or without a dot.
            if (pattern == QLatin1String("*.*")) {
                pattern = QStringLiteral("*");
            }
            pair.patterns << QRegularExpression(QRegularExpression::wildcardToRegularExpression(pattern),
                                                QRegularExpression::CaseInsensitiveOption);
        }
        pairs << pair;
    }
    return pairs;
}

// Lists the folders and the files that match the selected pair's patterns. The dialog's own name
// filters cannot do it: they take their patterns from the description's brackets, and on a change
// of filter they rewrite the extension of the typed name.
class PatternProxy : public QSortFilterProxyModel {
  public:
    explicit PatternProxy(QObject* parent) : QSortFilterProxyModel(parent) {}

    void setPatterns(const QList<QRegularExpression>& patterns) {
        patterns_ = patterns;
        invalidateFilter();
    }

    // The file list's column titles in the program's language, whatever translation is loaded.
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        static const char* const kTitles[] = {"Nome", "Dimensione", "Tipo", "Ultima modifica"};
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < 4) {
            return QString::fromUtf8(kTitles[section]);
        }
        return QSortFilterProxyModel::headerData(section, orientation, role);
    }

  protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        const QModelIndex index = sourceModel()->index(row, 0, parent);
        if (!files || files->isDir(index) || patterns_.isEmpty()) {
            return true;
        }
        const QString name = files->fileName(index);
        for (const QRegularExpression& pattern : patterns_) {
            if (pattern.match(name).hasMatch()) {
                return true;
            }
        }
        return false;
    }

  private:
    QList<QRegularExpression> patterns_;
};

// Icons and type names from what a listing already knows (kind and name), never from a file's
// contents: guessing a type by content opens the file, and files under /proc and /sys, devices
// and FIFOs may block on reading or act on it. The type names are Italian, whatever the desktop's
// language. Called from the dialog's thread and from the listing's own thread, hence immutable.
class ListingIconProvider : public QFileIconProvider {
  public:
    ListingIconProvider()
        : folder_(QFileIconProvider::icon(Folder)),
          file_(QFileIconProvider::icon(File)),
          drive_(QFileIconProvider::icon(Drive)) {}

    using QFileIconProvider::icon;
    QIcon icon(const QFileInfo& info) const override {
        if (info.isRoot()) {
            return drive_;
        }
        return info.isDir() ? folder_ : file_;
    }

    QString type(const QFileInfo& info) const override {
        if (info.isDir()) {
            return QStringLiteral("Cartella");
        }
        if (info.isSymLink() && !info.exists()) {
            return QStringLiteral("Collegamento interrotto");
        }
        if (!info.isFile()) {
            return QStringLiteral("File speciale");
        }
        const QString suffix = info.suffix();
        return suffix.isEmpty() ? QStringLiteral("File") : QStringLiteral("File ") + suffix.toUpper();
    }

  private:
    QIcon folder_;
    QIcon file_;
    QIcon drive_;
};

// Qt's own texts the save dialog shows, with their Italian.
struct Text {
    const char* context;
    const char* source;
    const char* italian;
};
const Text kTexts[] = {
    {"QFileDialog", "Back", "Indietro"},
    {"QFileDialog", "Go back", "Torna indietro"},
    {"QFileDialog", "Forward", "Avanti"},
    {"QFileDialog", "Go forward", "Vai avanti"},
    {"QFileDialog", "Parent Directory", "Cartella superiore"},
    {"QFileDialog", "Go to the parent directory", "Vai alla cartella superiore"},
    {"QFileDialog", "Create New Folder", "Crea nuova cartella"},
    {"QFileDialog", "Create a New Folder", "Crea una nuova cartella"},
    {"QFileDialog", "List View", "Elenco"},
    {"QFileDialog", "Change to list view mode", "Visualizza come elenco"},
    {"QFileDialog", "Detail View", "Dettagli"},
    {"QFileDialog", "Change to detail view mode", "Visualizza i dettagli"},
    {"QFileDialog", "Sidebar", "Risorse"},
    {"QFileDialog", "List of places and bookmarks", "Elenco di risorse e segnalibri"},
    {"QFileDialog", "Files", "File"},
    {"QFileDialog", "Look in:", "Salva in:"},
    {"QFileDialog", "Files of type:", "Salva come:"},
    {"QFileDialog", "File &name:", "&Nome file:"},
    {"QFileDialog", "Directory:", "Cartella:"},
    {"QFileDialog", "Directories", "Cartelle"},
    {"QFileDialog", "Save As", "Salva con nome"},
    {"QFileDialog", "Open", "Apri"},
    {"QFileDialog", "&Save", "&Salva"},
    {"QFileDialog", "&Open", "&Apri"},
    {"QFileDialog", "&Choose", "&Scegli"},
    {"QFileDialog", "All Files (*)", "Tutti i file (*)"},
    {"QFileDialog", "&Rename", "&Rinomina"},
    {"QFileDialog", "&Delete", "&Elimina"},
    {"QFileDialog", "Show &hidden files", "Mostra file &nascosti"},
    {"QFileDialog", "&New Folder", "&Nuova cartella"},
    {"QFileDialog", "New Folder", "Nuova cartella"},
    {"QFileDialog", "Show ", "Mostra "},
    {"QFileDialog", "Recent Places", "Risorse recenti"},
    {"QFileDialog", "%1 already exists.\nDo you want to replace it?", "%1 esiste già.\nSostituirlo?"},
    {"QFileDialog", "%1\nFile not found.\nPlease verify the correct file name was given.",
     "%1\nFile non trovato.\nVerificare che il nome del file sia corretto."},
    {"QFileDialog", "%1\nDirectory not found.\nPlease verify the correct directory name was given.",
     "%1\nCartella non trovata.\nVerificare che il nome della cartella sia corretto."},
    {"QFileDialog", "'%1' is write protected.\nDo you want to delete it anyway?",
     "'%1' è protetto da scrittura.\nEliminarlo comunque?"},
    {"QFileDialog", "Are you sure you want to delete '%1'?", "Eliminare '%1'?"},
    {"QFileDialog", "Could not delete directory.", "Impossibile eliminare la cartella."},
    {"QFileSystemModel", "Name", "Nome"},
    {"QFileSystemModel", "Size", "Dimensione"},
    {"QFileSystemModel", "Type", "Tipo"},
    {"QFileSystemModel", "Kind", "Tipo"},
    {"QFileSystemModel", "Date Modified", "Ultima modifica"},
    {"QFileSystemModel", "My Computer", "Risorse del computer"},
    {"QFileSystemModel", "Computer", "Computer"},
    {"QFileSystemModel", "Invalid filename", "Nome di file non valido"},
    {"QFileSystemModel",
     "<b>The name \"%1\" cannot be used.</b><p>Try using another name, with fewer characters or no "
     "punctuation marks.",
     "<b>Il nome \"%1\" non può essere usato.</b><p>Provare con un altro nome, più breve o senza "
     "segni "
     "di punteggiatura."},
    {"QAbstractFileIconProvider", "Drive", "Unità"},
    {"QAbstractFileIconProvider", "Folder", "Cartella"},
    {"QAbstractFileIconProvider", "File", "File"},
    {"QAbstractFileIconProvider", "Shortcut", "Collegamento"},
    {"QAbstractFileIconProvider", "Unknown", "Sconosciuto"},
    {"QSidebar", "Remove", "Rimuovi"},
    {"QPlatformTheme", "&Yes", "&Sì"},
    {"QPlatformTheme", "&No", "&No"},
    {"QPlatformTheme", "Cancel", "Annulla"},
    {"QPlatformTheme", "Save", "Salva"},
    {"QPlatformTheme", "Open", "Apri"},
    {"QPlatformTheme", "Close", "Chiudi"},
    {"QLineEdit", "&Undo", "&Annulla"},
    {"QLineEdit", "&Redo", "&Ripeti"},
    {"QLineEdit", "Cu&t", "&Taglia"},
    {"QLineEdit", "&Copy", "&Copia"},
    {"QLineEdit", "&Paste", "I&ncolla"},
    {"QLineEdit", "Delete", "Elimina"},
    {"QLineEdit", "Select All", "Seleziona tutto"},
};

// Qt's own texts in the save dialog, in Italian whatever translations the system has: the dialog's
// buttons, tips, menus and messages, the file list's titles and the name field's menu.
class DialogTexts : public QTranslator {
  public:
    using QTranslator::QTranslator;

    bool isEmpty() const override { return false; }

    QString translate(const char* context, const char* sourceText, const char* disambiguation,
                      int n) const override {
        Q_UNUSED(disambiguation);
        Q_UNUSED(n);
        for (const Text& text : kTexts) {
            if (qstrcmp(context, text.context) == 0 && qstrcmp(sourceText, text.source) == 0) {
                return QString::fromUtf8(text.italian);
            }
        }
        return QString();
    }
};

// Installed once, when the application starts: a translator installed later would retranslate
// an open dialog and put the standard button texts back over its own.
void installDialogTexts() {
    static DialogTexts* const texts = [] {
        auto* translator = new DialogTexts(QCoreApplication::instance());
        QCoreApplication::installTranslator(translator);
        return translator;
    }();
    Q_UNUSED(texts);
}
Q_COREAPP_STARTUP_FUNCTION(installDialogTexts)

// The folder the dialog showed when it last closed, for this run only (nothing is kept beyond it).
QString& lastFolder() {
    static QString folder;
    return folder;
}

class SaveFileDialog : public QFileDialog {
  public:
    SaveFileDialog(QWidget* parent, const QString& title, const QString& folder, bool confirmReplace)
        : QFileDialog(parent, title, folder), confirmReplace_(confirmReplace) {}

    // Set when names are completed with the chosen pair's extension.
    std::function<QString(const QString&)> complete;
    std::function<QString(const QString&)> refusal;
    QString completed;

    void accept() override {
        const QStringList files = selectedFiles();
        completed = files.size() == 1 && complete ? complete(files.constFirst()) : QString();
        const QString target = completed.isEmpty() && files.size() == 1 ? files.constFirst() : completed;
        if (refusal && !target.isEmpty()) {
            const QString why = refusal(target);
            if (!why.isEmpty()) {
                QMessageBox box(QMessageBox::Warning, windowTitle(),
                                QStringLiteral("Impossibile scrivere il file «%1»: %2.")
                                    .arg(QFileInfo(target).fileName(), why),
                                QMessageBox::Ok, this);
                box.exec();
                return;
            }
        }
        if (confirmReplace_ && files.size() == 1) {
            const QFileInfo info(target);
            if (info.exists() && !info.isDir() && !askReplace(info)) {
                return;
            }
        }
        QFileDialog::accept();
    }

  private:
    bool askReplace(const QFileInfo& info) {
        QMessageBox box(QMessageBox::Warning, windowTitle(),
                        QStringLiteral("Il file «%1» esiste già.\nSostituirlo?").arg(info.fileName()),
                        QMessageBox::Yes | QMessageBox::No, this);
        box.button(QMessageBox::Yes)->setText(QStringLiteral("Sì"));
        box.button(QMessageBox::No)->setText(QStringLiteral("No"));
        box.setDefaultButton(QMessageBox::No);
        return box.exec() == QMessageBox::Yes;
    }

    bool confirmReplace_;
};

// The offered name stays selected until the user types, so that typing replaces it. Qt's dialog
// drops the selection while it takes up a name its listing shows, and what was typed then went on
// the name's end ("a.txtnuovo.txt"), writing a file of a name nobody chose.
class OfferedNameSelector : public QObject {
  public:
    explicit OfferedNameSelector(QLineEdit* field) : QObject(field), field_(field) {
        field->installEventFilter(this);
        connect(field, &QLineEdit::textEdited, this, [this] { typed_ = true; });
        // A name the dialog puts there while the user has typed nothing is selected as well.
        connect(field, &QLineEdit::textChanged, this, &OfferedNameSelector::selectLater);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == field_ && event->type() == QEvent::FocusIn) {
            selectLater();
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    // Once Qt's own handling of the event is over, and never after a keystroke: a keystroke
    // reports the change before it reports the edit.
    void selectLater() {
        QMetaObject::invokeMethod(
            this, [this] { typed_ ? void() : field_->selectAll(); }, Qt::QueuedConnection);
    }

    QLineEdit* field_;
    bool typed_ = false;
};

void keepOfferedNameSelected(QFileDialog& dialog) {
    if (auto* field = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
        new OfferedNameSelector(field);
    }
}

}  // namespace

bool runRealSaveDialog(QWidget* parent, SaveRequest& request) {
    keepNoSettings();
    installDialogTexts();
    // Replacing is confirmed here, in Italian, rather than by the dialog's own question.
    ListingIconProvider icons;  // outlives the dialog, which does not own it
    // The dialog starts listing its first folder while it is built, with Qt's own provider; the
    // root folder holds folders only. It then moves to where it should open, with ours.
    SaveFileDialog dialog(parent, request.title, QStringLiteral("/"), (request.flags & 2) != 0);
    dialog.setIconProvider(&icons);
    dialog.setDirectory(lastFolder().isEmpty() ? QDir::currentPath() : lastFolder());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setLabelText(QFileDialog::LookIn, QStringLiteral("Salva in:"));
    dialog.setLabelText(QFileDialog::FileName, QStringLiteral("Nome file:"));
    dialog.setLabelText(QFileDialog::FileType, QStringLiteral("Salva come:"));
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("Salva"));
    dialog.setLabelText(QFileDialog::Reject, QStringLiteral("Annulla"));

    const QList<FilterPair> pairs = parseFilter(request.filter);
    auto* proxy = new PatternProxy(&dialog);
    if (!pairs.isEmpty()) {
        // Every dialog filter lets all files through ("*" also has no extension to impose on the
        // typed name); the proxy filters, and the combo shows the descriptions as they stand.
        QStringList neutral;
        for (qsizetype i = 0; i < pairs.size(); ++i) {
            neutral << QStringLiteral("%1 (*)").arg(i + 1);
        }
        dialog.setNameFilters(neutral);
        dialog.setProxyModel(proxy);
        const int selected =
            request.filterIndex >= 1 && request.filterIndex <= pairs.size() ? request.filterIndex - 1 : 0;
        dialog.selectNameFilter(neutral[selected]);
        proxy->setPatterns(pairs[selected].patterns);
        if (auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"))) {
            for (int i = 0; i < types->count() && i < pairs.size(); ++i) {
                types->setItemText(i, pairs[i].description);
            }
            QObject::connect(types, &QComboBox::currentIndexChanged, proxy, [proxy, pairs](int index) {
                if (index >= 0 && index < pairs.size()) {
                    proxy->setPatterns(pairs[index].patterns);
                }
            });
        }
    }
    // Before exec: once the name field has focus the dialog ignores a preselected name.
    if (!request.fileName.isEmpty()) {
        dialog.selectFile(request.fileName);
    }
    keepOfferedNameSelected(dialog);
    auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    if (request.addExtension) {
        dialog.complete = [&request, types](const QString& name) {
            return completeExtension(name, request.filter,
                                     types ? types->currentIndex() + 1 : request.filterIndex);
        };
    }
    dialog.refusal = request.refusal;
    const bool accepted = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
    lastFolder() = dialog.directory().absolutePath();
    if (!accepted) {
        return false;
    }
    if (types && !pairs.isEmpty()) {
        request.filterIndex = types->currentIndex() + 1;
    }
    const QString chosen =
        dialog.completed.isEmpty() ? dialog.selectedFiles().constFirst() : dialog.completed;
    request.fileName = QDir::toNativeSeparators(chosen);
    return true;
}

QString completeExtension(const QString& name, const QString& filter, int filterIndex) {
    const QList<FilterPair> pairs = parseFilter(filter);
    if (filterIndex < 1 || filterIndex > pairs.size() || name.isEmpty()) {
        return name;
    }
    const QStringList parts = filter.split(u'|');
    const QString fileName = QFileInfo(name).fileName();
    for (const QRegularExpression& pattern : pairs[filterIndex - 1].patterns) {
        if (pattern.match(fileName).hasMatch()) {
            return name;
        }
    }
    for (const QString& raw : parts.value(2 * (filterIndex - 1) + 1).split(u';')) {
        const QString pattern = raw.trimmed();
        if (pattern.startsWith(QLatin1String("*.")) && pattern.size() > 2 && pattern.indexOf(u'*', 1) < 0) {
            return name + pattern.mid(1);
        }
    }
    return name;
}

}  // namespace seams
