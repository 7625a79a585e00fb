#include "seams.h"

#include <QFileDialog>

namespace seams {

bool runRealSaveDialog(QWidget* parent, SaveRequest& request) {
    QFileDialog dialog(parent, request.title);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, (request.flags & 2) == 0);
    const QStringList parts = request.filter.split(u'|');
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        filters << parts[i] + QStringLiteral(" (") + parts[i + 1].trimmed() + QStringLiteral(")");
    }
    dialog.setNameFilters(filters);
    if (request.filterIndex >= 1 && request.filterIndex <= filters.size()) {
        dialog.selectNameFilter(filters[request.filterIndex - 1]);
    }
    if (!request.fileName.isEmpty()) {
        dialog.selectFile(request.fileName);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return false;
    }
    request.fileName = dialog.selectedFiles().constFirst();
    return true;
}

}  // namespace seams
