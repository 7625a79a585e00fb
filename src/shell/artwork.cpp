#include "shell/artwork.h"

namespace shell {

QPixmap titlePicture() {
    return QPixmap(QStringLiteral(":/altorra/title.png"));
}

QIcon programIcon() {
    QIcon icon;
    icon.addFile(QStringLiteral(":/altorra/icon32.png"), QSize(32, 32));
    icon.addFile(QStringLiteral(":/altorra/icon16.png"), QSize(16, 16));
    return icon;
}

}  // namespace shell
