#include "registry/registryfixture.h"

#include <QAbstractItemView>
#include <QDir>
#include <QHash>
#include <QLocale>
#include <QTest>

#include <stdexcept>

namespace registrytest {

QList<Variant> variants() {
    samplegen::Options jet4;
    samplegen::Options jet3;
    jet3.version = jetwriter::Version::Jet3;
    samplegen::Options queries;
    queries.lookupsAsQueries = true;
    return {{QStringLiteral("jet4"), jet4},
            {QStringLiteral("jet3"), jet3},
            {QStringLiteral("jet4-queries"), queries}};
}

samplegen::Options optionsOf(const QString& variant) {
    for (const Variant& v : variants()) {
        if (v.name == variant) {
            return v.options;
        }
    }
    throw std::invalid_argument("unknown variant");
}

QString sampleFolder(const QString& variant) {
    static QTemporaryDir root;
    static QHash<QString, QString> written;
    if (!written.contains(variant)) {
        const QString folder = root.filePath(variant);
        QDir().mkpath(folder);
        QString error;
        if (!samplegen::writeSample(folder, optionsOf(variant), &error)) {
            qFatal("sample archive not written: %s", qPrintable(error));
        }
        written.insert(variant, folder);
    }
    return written.value(variant);
}

namespace {
std::shared_ptr<jet::Database> openArchive(const QString& folder) {
    jet::Error error;
    auto database = jet::Database::open(QDir(folder).filePath(QStringLiteral("orbeni.mdb")), &error);
    if (!database) {
        qFatal("archive not readable: %s", qPrintable(error.message));
    }
    return database;
}
}  // namespace

QList<Station> registryRows(const QString& folder) {
    auto database = openArchive(folder);
    jet::Error error;
    auto rows = database->openRecordSet(QStringLiteral("anagrafica compl"), &error);
    QList<Station> stations;
    if (!rows) {
        return stations;
    }
    const int code = rows->fieldIndex(QStringLiteral("codstaz"));
    const int name = rows->fieldIndex(QStringLiteral("denominazione"));
    for (int row = 0; row < rows->recordCount(); ++row) {
        stations << Station{rows->value(row, code).display(), rows->value(row, name).display()};
    }
    return stations;
}

QStringList monthlyFields() {
    return {QStringLiteral("parametro"), QStringLiteral("gennaio"), QStringLiteral("febbraio"),
            QStringLiteral("marzo"),     QStringLiteral("aprile"),  QStringLiteral("maggio"),
            QStringLiteral("giugno"),    QStringLiteral("luglio"),  QStringLiteral("agosto"),
            QStringLiteral("settembre"), QStringLiteral("ottobre"), QStringLiteral("novembre"),
            QStringLiteral("dicembre"),  QStringLiteral("anno")};
}

QList<QStringList> monthlyRows(const QString& folder, const QString& code) {
    auto database = openArchive(folder);
    jet::Error error;
    auto rows = database->openRecordSet(QStringLiteral("mensili"), &error);
    QList<QStringList> result;
    if (!rows) {
        return result;
    }
    QList<int> fields;
    for (const QString& field : monthlyFields()) {
        fields << rows->fieldIndex(field);
    }
    const int codeField = rows->fieldIndex(QStringLiteral("codstaz"));
    for (int row = 0; row < rows->recordCount(); ++row) {
        if (rows->value(row, codeField).display() != code) {
            continue;
        }
        QStringList cells;
        for (int field : fields) {
            cells << rows->value(row, field).display();
        }
        result << cells;
    }
    return result;
}

QImage pictureFile(const QString& folder, const QString& fileName) {
    QDir dir(QDir(folder).filePath(QStringLiteral("cartograf")));
    for (const QString& entry : dir.entryList(QDir::Files)) {
        if (entry.compare(fileName, Qt::CaseInsensitive) == 0) {
            return QImage(dir.filePath(entry));
        }
    }
    return QImage();
}

void choose(controls::DBCombo* combo, int index) {
    combo->showPopup();
    QAbstractItemView* view = combo->view();
    const QModelIndex entry = combo->model()->index(index, combo->modelColumn());
    view->scrollTo(entry);
    view->setCurrentIndex(entry);
    QTest::keyClick(view, Qt::Key_Return);
}

}  // namespace registrytest
