#include <QDateTime>
#include <QFile>
#include <QLocale>

#include "export/sheetcells.h"
#include "export/sheetwriters.h"
#include "export/zipfile.h"
#include "jet/jet.h"

namespace exporter {

namespace {

const char kNamespaces[] =
    " xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\""
    " xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\""
    " xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\""
    " xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\""
    " xmlns:fo=\"urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0\""
    " xmlns:number=\"urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0\""
    " xmlns:meta=\"urn:oasis:names:tc:opendocument:xmlns:meta:1.0\""
    " xmlns:dc=\"http://purl.org/dc/elements/1.1/\""
    " xmlns:config=\"urn:oasis:names:tc:opendocument:xmlns:config:1.0\""
    " office:version=\"1.2\"";

// Text for an attribute or an element: the five characters XML reserves, and the control
// characters XML 1.0 cannot hold (dropped).
void appendEscaped(QByteArray& out, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    for (char ch : utf8) {
        switch (ch) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&apos;";
                break;
            default:
                if (uchar(ch) >= 0x20 || ch == '\t' || ch == '\n' || ch == '\r') {
                    out += ch;
                }
        }
    }
}

QByteArray blanks(int count) {
    return "<text:s text:c=\"" + QByteArray::number(count) + "\"/>";
}

// A cell's paragraph. Runs of blanks, blanks at either end, tabs and line ends are written as the
// format keeps them (plain white space collapses to one blank, or to none at the ends).
void appendParagraph(QByteArray& out, const QString& text) {
    out += "<text:p>";
    QString run;
    int spaces = 0;
    bool atStart = true;
    const auto flushRun = [&] {
        appendEscaped(out, run);
        run.clear();
    };
    for (QChar ch : text) {
        if (ch == u' ') {
            if (spaces == 0) {
                flushRun();
            }
            ++spaces;
            continue;
        }
        if (spaces > 0) {
            if (atStart) {
                out += blanks(spaces);
            } else {
                out += ' ';
                if (spaces > 1) {
                    out += blanks(spaces - 1);
                }
            }
            spaces = 0;
        }
        if (ch == u'\t' || ch == u'\n') {
            flushRun();
            out += ch == u'\t' ? "<text:tab/>" : "<text:line-break/>";
            atStart = true;
            continue;
        }
        if (ch != u'\r') {
            run += ch;
            atStart = false;
        }
    }
    flushRun();
    if (spaces > 0) {
        out += blanks(spaces);
    }
    out += "</text:p>";
}

QByteArray twoDigits(int v) {
    return QByteArray::number(v).rightJustified(2, '0');
}

QByteArray isoDate(const SheetCell& c) {
    QByteArray out =
        QByteArray::number(c.year).rightJustified(4, '0') + '-' + twoDigits(c.month) + '-' + twoDigits(c.day);
    out += 'T' + twoDigits(c.seconds / 3600) + ':' + twoDigits(c.seconds / 60 % 60) + ':' +
           twoDigits(c.seconds % 60);
    return out;
}

QByteArray isoDuration(int seconds) {
    return "PT" + twoDigits(seconds / 3600) + 'H' + twoDigits(seconds / 60 % 60) + 'M' +
           twoDigits(seconds % 60) + 'S';
}

void appendCell(QByteArray& out, const SheetCell& cell, const QString& shown) {
    switch (cell.type) {
        case SheetCell::Type::Empty:
            out += "<table:table-cell/>";
            return;
        case SheetCell::Type::Number:
            out +=
                "<table:table-cell office:value-type=\"float\" office:value=\"" + cell.digits + "\"><text:p>";
            out += cell.digits;  // the file's own shown text; a spreadsheet shows it its own way
            out += "</text:p></table:table-cell>";
            return;
        case SheetCell::Type::Boolean:
            out += cell.number != 0
                       ? "<table:table-cell office:value-type=\"boolean\" office:boolean-value=\"true\"/>"
                       : "<table:table-cell office:value-type=\"boolean\" office:boolean-value=\"false\"/>";
            return;
        case SheetCell::Type::Date:
        case SheetCell::Type::DateTime: {
            const char* style = cell.type == SheetCell::Type::Date ? "ceD"
                                : cell.withSeconds                 ? "ceDTS"
                                                                   : "ceDT";
            out += QByteArray("<table:table-cell table:style-name=\"") + style +
                   "\" office:value-type=\"date\" office:date-value=\"" + isoDate(cell) + "\"/>";
            return;
        }
        case SheetCell::Type::Time:
            out += QByteArray("<table:table-cell table:style-name=\"") + (cell.withSeconds ? "ceTS" : "ceT") +
                   "\" office:value-type=\"time\" office:time-value=\"" + isoDuration(cell.seconds) + "\"/>";
            return;
        case SheetCell::Type::Text:
            out += "<table:table-cell office:value-type=\"string\">";
            appendParagraph(out, cell.shown ? shown : cell.text);
            out += "</table:table-cell>";
            return;
    }
}

QByteArray automaticStyles(const QList<double>& widths) {
    QByteArray s = "<office:automatic-styles>";
    const auto dateStyle = [&s](const char* name, bool date, bool time, bool seconds) {
        s += QByteArray(date ? "<number:date-style" : "<number:time-style") + " style:name=\"" + name + "\">";
        if (date) {
            s += "<number:day number:style=\"long\"/><number:text>/</number:text>"
                 "<number:month number:style=\"long\"/><number:text>/</number:text>"
                 "<number:year number:style=\"long\"/>";
        }
        if (date && time) {
            s += "<number:text> </number:text>";
        }
        if (time) {
            s += "<number:hours number:style=\"long\"/><number:text>:</number:text>"
                 "<number:minutes number:style=\"long\"/>";
            if (seconds) {
                s += "<number:text>:</number:text><number:seconds number:style=\"long\"/>";
            }
        }
        s += date ? "</number:date-style>" : "</number:time-style>";
    };
    dateStyle("ND", true, false, false);
    dateStyle("NDT", true, true, false);
    dateStyle("NDTS", true, true, true);
    dateStyle("NT", false, true, false);
    dateStyle("NTS", false, true, true);
    const char* const cells[][2] = {
        {"ceD", "ND"}, {"ceDT", "NDT"}, {"ceDTS", "NDTS"}, {"ceT", "NT"}, {"ceTS", "NTS"}};
    for (const auto& cell : cells) {
        s += QByteArray("<style:style style:name=\"") + cell[0] +
             "\" style:family=\"table-cell\" style:data-style-name=\"" + cell[1] + "\"/>";
    }
    s += "<style:style style:name=\"ceH\" style:family=\"table-cell\">"
         "<style:text-properties fo:font-weight=\"bold\" style:font-weight-asian=\"bold\" "
         "style:font-weight-complex=\"bold\"/></style:style>";
    for (int c = 0; c < widths.size(); ++c) {
        // A character of the default font is about 0.19 cm wide.
        s += "<style:style style:name=\"co" + QByteArray::number(c) +
             "\" style:family=\"table-column\"><style:table-column-properties style:column-width=\"" +
             QByteArray::number(widths[c] * 0.19, 'f', 2) + "cm\"/></style:style>";
    }
    s += "</office:automatic-styles>";
    return s;
}

QByteArray metaXml(const SheetProperties& props) {
    QByteArray s = QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<office:document-meta") +
                   kNamespaces + "><office:meta><meta:generator>Altorra</meta:generator><dc:title>";
    appendEscaped(s, props.title);
    s += "</dc:title><dc:subject>";
    appendEscaped(s, props.subject);
    s += "</dc:subject><dc:description>";
    appendEscaped(s, props.comments);
    s += "</dc:description><meta:creation-date>" +
         QDateTime::currentDateTime().toString(Qt::ISODate).left(19).toLatin1() +
         "</meta:creation-date></office:meta></office:document-meta>";
    return s;
}

QByteArray settingsXml(const QString& sheet) {
    // The header row frozen: the view split below row 1, the lower part active.
    QByteArray s =
        QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<office:document-settings") + kNamespaces +
        "><office:settings><config:config-item-set config:name=\"ooo:view-settings\">"
        "<config:config-item-map-indexed config:name=\"Views\"><config:config-item-map-entry>"
        "<config:config-item config:name=\"ViewId\" config:type=\"string\">view1</config:config-item>"
        "<config:config-item-map-named config:name=\"Tables\"><config:config-item-map-entry config:name=\"";
    appendEscaped(s, sheet);
    s += "\">";
    const char* const items[][3] = {
        {"HorizontalSplitMode", "short", "0"}, {"VerticalSplitMode", "short", "2"},
        {"VerticalSplitPosition", "int", "1"}, {"ActiveSplitRange", "short", "2"},
        {"PositionTop", "int", "0"},           {"PositionBottom", "int", "1"}};
    for (const auto& item : items) {
        s += QByteArray("<config:config-item config:name=\"") + item[0] + "\" config:type=\"" + item[1] +
             "\">" + item[2] + "</config:config-item>";
    }
    s += "</config:config-item-map-entry></config:config-item-map-named></config:config-item-map-entry>"
         "</config:config-item-map-indexed></config:config-item-set></office:settings></"
         "office:document-settings>";
    return s;
}

const char kManifest[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<manifest:manifest xmlns:manifest=\"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0\" "
    "manifest:version=\"1.2\">"
    "<manifest:file-entry manifest:full-path=\"/\" manifest:version=\"1.2\" "
    "manifest:media-type=\"application/vnd.oasis.opendocument.spreadsheet\"/>"
    "<manifest:file-entry manifest:full-path=\"content.xml\" manifest:media-type=\"text/xml\"/>"
    "<manifest:file-entry manifest:full-path=\"styles.xml\" manifest:media-type=\"text/xml\"/>"
    "<manifest:file-entry manifest:full-path=\"meta.xml\" manifest:media-type=\"text/xml\"/>"
    "<manifest:file-entry manifest:full-path=\"settings.xml\" manifest:media-type=\"text/xml\"/>"
    "</manifest:manifest>";

bool writeContent(ZipFile& zip, const jet::RecordSet& rows, const QStringList& captions,
                  const QString& sheet) {
    QByteArray out = QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<office:document-content") +
                     kNamespaces + ">" + automaticStyles(columnWidths(rows, captions)) +
                     "<office:body><office:spreadsheet><table:table table:name=\"";
    appendEscaped(out, sheet);
    out += "\">";
    for (int c = 0; c < captions.size(); ++c) {
        out += "<table:table-column table:style-name=\"co" + QByteArray::number(c) + "\"/>";
    }
    out += "<table:table-header-rows><table:table-row>";
    for (const QString& caption : captions) {
        out += "<table:table-cell table:style-name=\"ceH\" office:value-type=\"string\">";
        appendParagraph(out, caption);
        out += "</table:table-cell>";
    }
    out += "</table:table-row></table:table-header-rows>";
    const jet::DisplayFormat format{QLocale()};
    const int count = rows.recordCount();
    const int columns = int(captions.size());
    for (int row = 0; row < count; ++row) {
        out += "<table:table-row>";
        for (int c = 0; c < columns; ++c) {
            const SheetCell cell = sheetCell(rows.value(row, c));
            appendCell(out, cell, cell.shown ? rows.text(row, c, format) : QString());
        }
        out += "</table:table-row>";
        if (out.size() > (1 << 18)) {
            if (!zip.write(out)) {
                return false;
            }
            out.clear();
        }
    }
    out += "</table:table></office:spreadsheet></office:body></office:document-content>";
    return zip.write(out);
}

}  // namespace

bool writeOds(const jet::RecordSet& rows, const QStringList& captions, const SheetProperties& props,
              const QString& path, QString* reason) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        *reason = file.errorString();
        return false;
    }
    const QString sheet = sheetNameFor(props.sheetName);
    ZipFile zip(&file);
    // The media type comes first and stored, so that the file tells its kind at a fixed place.
    bool ok = zip.add("mimetype", "application/vnd.oasis.opendocument.spreadsheet", false) &&
              zip.begin("content.xml", true) && writeContent(zip, rows, captions, sheet) && zip.end() &&
              zip.add("styles.xml",
                      QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<office:document-styles") +
                          kNamespaces + "/>",
                      true) &&
              zip.add("meta.xml", metaXml(props), true) &&
              zip.add("settings.xml", settingsXml(sheet), true) &&
              zip.add("META-INF/manifest.xml", kManifest, true) && zip.finish();
    if (!file.flush() || file.error() != QFileDevice::NoError) {
        ok = false;
    }
    file.close();
    if (!ok) {
        *reason = zip.error().isEmpty() ? QStringLiteral("errore di scrittura sul disco") : zip.error();
    }
    return ok;
}

}  // namespace exporter
