#include "export/spreadsheet.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <exception>

#include "export/exporttarget.h"
#include "export/sheetwriters.h"
#include "jet/jet.h"

namespace exporter {

const QString& spreadsheetFilter() {
    static const QString filter = QStringLiteral(
        "Cartella di lavoro Excel (*.xlsx)|*.xlsx|Foglio di calcolo OpenDocument (*.ods)|*.ods");
    return filter;
}

QString sheetNameFor(const QString& caption) {
    QString name;
    for (QChar ch : caption) {
        if (QStringLiteral("[]:*?/\\").contains(ch) || ch.category() == QChar::Other_Control) {
            name += u' ';
        } else {
            name += ch;
        }
    }
    name = name.simplified();
    while (name.startsWith(u'\'')) {
        name.remove(0, 1);
    }
    if (name.size() > 31) {
        // Cut at a blank when there is one, rather than inside a word.
        const int blank = int(name.left(32).lastIndexOf(u' '));
        name = name.left(blank > 0 ? blank : 31);
    }
    while (name.endsWith(u'\'') || name.endsWith(u' ')) {
        name.chop(1);
    }
    return name.isEmpty() ? QStringLiteral("Dati") : name;
}

SheetResult writeSpreadsheet(const jet::RecordSet& rows, const QStringList& captions,
                             const SheetProperties& props, SheetFormat format, const QString& path,
                             const QString& programFolder, const QString& archive) {
    SheetResult result;
    result.path = path;
    const TargetCheck target = checkExportTarget(path, programFolder, archive);
    if (target.refused) {
        result.reason = target.reason;
        return result;
    }
    // A link is replaced through: the file it leads to gets the new contents.
    const QFileInfo info(path);
    const QString resolved = info.canonicalFilePath();
    const QString destination = !info.isSymLink()     ? info.absoluteFilePath()
                                : !resolved.isEmpty() ? resolved
                                                      : info.symLinkTarget();
    if (info.isDir()) {
        result.reason = errorReason(EISDIR);
        return result;
    }
    QTemporaryFile temporary(QFileInfo(destination).absolutePath() + QStringLiteral("/.altorra-XXXXXX"));
    if (!QFileInfo(destination).absoluteDir().exists()) {
        result.reason = errorReason(ENOENT);
        return result;
    }
    if (!temporary.open()) {
        result.reason =
            QStringLiteral("impossibile creare un file nella cartella (%1)").arg(temporary.errorString());
        return result;
    }
    temporary.close();
    bool written = false;
    try {
        written = format == SheetFormat::Xlsx
                      ? writeXlsx(rows, captions, props, temporary.fileName(), &result.reason)
                      : writeOds(rows, captions, props, temporary.fileName(), &result.reason);
    } catch (const std::exception& error) {
        result.reason = QString::fromLocal8Bit(error.what());
    }
    if (!written) {
        return result;  // the temporary file goes with `temporary`
    }
    // Readable as a file the user saves is, not only by its owner as a temporary file is.
    QFile::setPermissions(temporary.fileName(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                    QFileDevice::ReadGroup | QFileDevice::ReadOther);
    if (std::rename(QFile::encodeName(temporary.fileName()).constData(),
                    QFile::encodeName(destination).constData()) != 0) {
        result.reason = QStringLiteral("il file non può essere sostituito");
        return result;
    }
    temporary.setAutoRemove(false);
    result.written = true;
    return result;
}

QString sheetFailureMessage(const SheetResult& result) {
    return QStringLiteral("Impossibile scrivere il file «%1»: %2.")
        .arg(QDir::toNativeSeparators(result.path), result.reason);
}

}  // namespace exporter
