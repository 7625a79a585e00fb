// Where the archive is: the program folder, one separator, then "orbeni.mdb".
#pragma once

#include <QString>

namespace db {

// The file name of the archive in the program folder.
inline const char* const kDatabaseFileName = "orbeni.mdb";

// Appends the platform's separator ("\\" on Windows, "/" elsewhere) unless the folder already
// ends in one. Pure, so tests can try both separators.
QString withTrailingSeparator(const QString& folder, QChar separator);

// The program folder, where the archive and its pictures are: the folder of the running executable
// unless a test sets another (empty puts the real one back).
void setProgramFolder(const QString& folder);
QString programFolder();

// Sets Global::DatabaseFolder to the program folder with its trailing separator and returns the
// database path. Every window calls it in its load handler before pointing a data source.
QString databaseLocation();

// The folder of the station pictures, built from the bare program folder: program folder +
// "/cartograf" (a root folder thus yields a doubled separator, as the archive's tools did).
QString pictureFolder();

// Archives copied from Windows media often carry upper-case names (ORBENI.MDB, CARTOGRAF/R_1.JPG).
// Returns `path` when it exists; otherwise, component by component, the entry whose name matches
// without regard to case (an exact match is always preferred); `path` unchanged when none does.
QString resolveCaseInsensitive(const QString& path);

}  // namespace db
