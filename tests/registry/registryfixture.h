// What the registry tests share: sample archives made by our own writer, the expected content read
// straight from the archive through the reader, and the user's way of choosing a station.
#pragma once

#include "controls/dbcombo.h"
#include "jet/jet.h"
#include "samplegen/samplegen.h"

#include <QImage>
#include <QList>
#include <QMap>
#include <QStringList>
#include <QTemporaryDir>

namespace registrytest {

// One sample archive per variant, written once per test run.
struct Variant {
    QString name;
    samplegen::Options options;
};
QList<Variant> variants();
// The program folder holding the variant's archive and pictures.
QString sampleFolder(const QString& variant);
samplegen::Options optionsOf(const QString& variant);

// A station of "anagrafica compl" as the reader gives it.
struct Station {
    QString code;  // "Codstaz" as text
    QString name;  // "Denominazione"
};
QList<Station> registryRows(const QString& folder);
// The rows of mensili for a station code, every value as text, in stored order.
QList<QStringList> monthlyRows(const QString& folder, const QString& code);
// The monthly fields in the order of the statement.
QStringList monthlyFields();

// The picture a file holds, found without regard to case; null when there is none.
QImage pictureFile(const QString& folder, const QString& fileName);

// Chooses entry `index` of the list the way a user does: open the drop-down, pick, confirm.
void choose(controls::DBCombo* combo, int index);

}  // namespace registrytest
