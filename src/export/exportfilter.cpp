#include "export/esporta.h"

namespace exporter {

const QString& exportFilter() {
    // Seven pairs of description and pattern, kept exactly as the archive's tools had them.
    static const QString filter = QStringLiteral(
        "Tutti i file (*.*)|*.*|File di testo (*.txt)|*.txt|File DBase III (*.dbf)|*.dbf| File DBase IV "
        "(*.dbf)|*.dbf | File Excel 4.0 (*.xls)|.xls_ | File Excel 5.0/95 (*.xls)|.xls |File Excel 97 "
        "(*.xls)|*.xls");
    return filter;
}

}  // namespace exporter
