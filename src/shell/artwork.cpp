#include "shell/artwork.h"

#include <QGuiApplication>

#include <iterator>

namespace shell {

QPixmap titlePicture() {
    // Drawn for the screens' pixel ratio, or for the next finer one (reduced smoothly where it is
    // shown): never a picture of fewer pixels enlarged, which would blur.
    struct Variant {
        qreal scale;
        const char* file;
    };
    static const Variant variants[] = {{1, ":/altorra/title.png"},
                                       {1.5, ":/altorra/title@1.5x.png"},
                                       {2, ":/altorra/title@2x.png"},
                                       {3, ":/altorra/title@3x.png"}};
    const auto* application = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    const qreal ratio = application ? application->devicePixelRatio() : 1.0;
    const Variant* chosen = &variants[std::size(variants) - 1];
    for (const Variant& variant : variants) {
        if (variant.scale >= ratio - 0.01) {
            chosen = &variant;
            break;
        }
    }
    QPixmap picture(QString::fromLatin1(chosen->file));
    picture.setDevicePixelRatio(chosen->scale);
    return picture;
}

QIcon programIcon() {
    QIcon icon;
    icon.addFile(QStringLiteral(":/altorra/icon32.png"), QSize(32, 32));
    icon.addFile(QStringLiteral(":/altorra/icon16.png"), QSize(16, 16));
    return icon;
}

}  // namespace shell
