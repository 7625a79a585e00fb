#include "controls/dbcombo.h"

#include <utility>

namespace controls {

QString matchKey(const QString& text) {
    // Full folding: after Qt's simple folding, the letters that fold to more than one letter.
    static const std::pair<QChar, const char*> kExpansions[] = {
        {QChar(0x00DF), "ss"},  {QChar(0x0130), "i\xcc\x87"}, {QChar(0x0149), "\xca\xbcn"},
        {QChar(0xFB00), "ff"},  {QChar(0xFB01), "fi"},        {QChar(0xFB02), "fl"},
        {QChar(0xFB03), "ffi"}, {QChar(0xFB04), "ffl"},       {QChar(0xFB05), "st"},
        {QChar(0xFB06), "st"},
    };
    QString key = text.trimmed().normalized(QString::NormalizationForm_C).toCaseFolded();
    for (const auto& [letter, folded] : kExpansions) {
        key.replace(letter, QString::fromUtf8(folded));
    }
    return key;
}

}  // namespace controls
