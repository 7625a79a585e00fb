#include "db/location.h"

#include "db/global.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace db {

namespace {
#ifdef Q_OS_WIN
constexpr QChar kSeparator = u'\\';
#else
constexpr QChar kSeparator = u'/';
#endif
QString g_programFolder;
}  // namespace

void setProgramFolder(const QString& folder) {
    g_programFolder = folder;
}

QString programFolder() {
    if (!g_programFolder.isEmpty()) {
        return g_programFolder;
    }
    return QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
}

QString withTrailingSeparator(const QString& folder, QChar separator) {
    if (folder.endsWith(separator)) {
        return folder;
    }
    return folder + separator;
}

QString databaseLocation() {
    Global::DatabaseFolder = withTrailingSeparator(programFolder(), kSeparator);
    return Global::DatabaseFolder + QLatin1String(kDatabaseFileName);
}

QString pictureFolder() {
    return programFolder() + QStringLiteral("/cartograf");
}

QString resolveCaseInsensitive(const QString& path) {
    if (path.isEmpty() || QFileInfo::exists(path)) {
        return path;
    }
    // Walk from the root, keeping each component that exists as written and otherwise taking
    // the one entry of the folder whose name matches without regard to case.
    const bool absolute = path.startsWith(u'/');
    const QStringList parts = path.split(u'/', Qt::SkipEmptyParts);
    QString current = absolute ? QStringLiteral("/") : QStringLiteral(".");
    QString built = absolute ? QStringLiteral("/") : QString();
    for (int i = 0; i < parts.size(); ++i) {
        const QString& part = parts[i];
        QString chosen = part;
        const QString exact = QDir(current).filePath(part);
        if (!QFileInfo::exists(exact)) {
            const QStringList entries = QDir(current).entryList(QDir::AllEntries | QDir::Hidden |
                                                                QDir::System | QDir::NoDotAndDotDot);
            bool found = false;
            for (const QString& entry : entries) {
                if (entry.compare(part, Qt::CaseInsensitive) == 0) {
                    chosen = entry;
                    found = true;
                    break;
                }
            }
            if (!found) {
                return path;
            }
        }
        current = QDir(current).filePath(chosen);
        built += (built.isEmpty() || built.endsWith(u'/')) ? chosen : QStringLiteral("/") + chosen;
    }
    return built;
}

}  // namespace db
