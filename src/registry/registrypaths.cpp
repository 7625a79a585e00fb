#include "registry/registrypaths.h"

namespace registry {

QString monthlyStatement(const QString& codstaz) {
    // The blank after "parametro," and its absence after "gennaio," are the original text.
    return QStringLiteral(
               "select parametro, gennaio,febbraio, marzo, aprile, maggio, giugno, luglio, agosto, "
               "settembre, ottobre, novembre, dicembre, anno from mensili where codstaz = ") +
           codstaz;
}

QString thumbnailPath(const QString& pictureFolder, const QString& code) {
    return pictureFolder + QStringLiteral("/r_") + code + QStringLiteral(".jpg");
}

QString largePicturePath(const QString& pictureFolder, const QString& code) {
    return pictureFolder + QStringLiteral("/s_") + code + QStringLiteral(".jpg");
}

}  // namespace registry
