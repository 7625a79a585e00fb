// What the tours (scripted walks through the windows, with screenshots) share.
#pragma once

#include <QString>
#include <QStringList>

namespace testsupport {

// Reads "PROGRAM_FOLDER OUTPUT_FOLDER ..." from the arguments: points the program folder at the
// first, creates the second and returns it in `output`. Without both, prints `usage` and returns
// false.
bool startTour(const QStringList& args, const char* usage, QString* output);

// The whole screen once the last repaint settled, saved as folder/name.png. Returns the path
// written; prints it with the picture's size.
QString screenshot(const QString& folder, const QString& name);

}  // namespace testsupport
