// Which files an export may write: never the archive, nor a name the location rule could take for
// it, nor a special or system file.
#pragma once

#include <QString>

namespace seams {
struct SaveRequest;
}

namespace exporter {

struct TargetCheck {
    bool refused = false;
    QString reason;  // in Italian, for the user; empty when the target is allowed
};

// `programFolder` is where the location rule looks for the archive, `archive` the file it found
// there (it may not exist). Refused: any link to the archive (symbolic or hard, however spelled),
// any name in the program folder equal to the archive's name without regard to case (the rule
// would then find the export instead of the archive), FIFOs, sockets and block devices (writing
// would block or reach a disk), and files of the kernel's own file systems (/proc, /sys).
TargetCheck checkExportTarget(const QString& target, const QString& programFolder, const QString& archive);

// True when both names lead to one existing file (by any spelling or link).
bool sameFile(const QString& a, const QString& b);

// Why the archive itself is never written.
QString archiveRefusal();

// The reason of a failed system call (errno), worded for the user.
QString errorReason(int error);

// Has the save dialog of `request` refuse, while it is open, the names checkExportTarget refuses
// for the archive the location rule finds then, and names in a folder that is not there; the
// writer still checks again when it writes.
void refuseInDialog(seams::SaveRequest& request);

}  // namespace exporter
