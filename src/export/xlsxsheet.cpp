#include <QFile>
#include <QLocale>

#include <xlsxwriter.h>

#include "export/sheetcells.h"
#include "export/sheetwriters.h"
#include "jet/jet.h"

namespace exporter {

namespace {

constexpr int kMaxRows = 1048576;  // the format's rows, the header among them
constexpr int kMaxColumns = 16384;
constexpr int kMaxText = 32767;  // characters a cell holds

QString reasonOf(lxw_error error) {
    switch (error) {
        case LXW_ERROR_CREATING_XLSX_FILE:
        case LXW_ERROR_CREATING_TMPFILE:
            return QStringLiteral("il file non può essere creato");
        case LXW_ERROR_MEMORY_MALLOC_FAILED:
            return QStringLiteral("memoria insufficiente");
        default:
            return QStringLiteral("errore nella scrittura del foglio di calcolo (%1)")
                .arg(QString::fromUtf8(lxw_strerror(error)));
    }
}

// The workbook, closed (and so written) once, whatever happens.
struct Workbook {
    lxw_workbook* book = nullptr;
    lxw_error close() {
        lxw_error error = LXW_NO_ERROR;
        if (book) {
            error = workbook_close(book);
            book = nullptr;
        }
        return error;
    }
    ~Workbook() { close(); }
};

struct Formats {
    lxw_format* header;
    lxw_format* date;
    lxw_format* dateTime;
    lxw_format* dateTimeSeconds;
    lxw_format* time;
    lxw_format* timeSeconds;
};

Formats makeFormats(lxw_workbook* book) {
    Formats f{};
    f.header = workbook_add_format(book);
    format_set_bold(f.header);
    const auto numberFormat = [book](const char* pattern) {
        lxw_format* format = workbook_add_format(book);
        format_set_num_format(format, pattern);
        return format;
    };
    f.date = numberFormat("dd/mm/yyyy");
    f.dateTime = numberFormat("dd/mm/yyyy hh:mm");
    f.dateTimeSeconds = numberFormat("dd/mm/yyyy hh:mm:ss");
    f.time = numberFormat("hh:mm");
    f.timeSeconds = numberFormat("hh:mm:ss");
    return f;
}

lxw_error writeCell(lxw_worksheet* sheet, lxw_row_t r, lxw_col_t c, const SheetCell& cell,
                    const QString& shown, const Formats& f) {
    switch (cell.type) {
        case SheetCell::Type::Empty:
            return LXW_NO_ERROR;
        case SheetCell::Type::Number:
            return worksheet_write_number(sheet, r, c, cell.number, nullptr);
        case SheetCell::Type::Boolean:
            return worksheet_write_boolean(sheet, r, c, cell.number != 0, nullptr);
        case SheetCell::Type::Date:
            return worksheet_write_number(sheet, r, c, cell.number, f.date);
        case SheetCell::Type::DateTime:
            return worksheet_write_number(sheet, r, c, cell.number,
                                          cell.withSeconds ? f.dateTimeSeconds : f.dateTime);
        case SheetCell::Type::Time:
            return worksheet_write_number(sheet, r, c, cell.number,
                                          cell.withSeconds ? f.timeSeconds : f.time);
        case SheetCell::Type::Text: {
            const QString& text = cell.shown ? shown : cell.text;
            const QByteArray utf8 = text.left(kMaxText).toUtf8();
            return worksheet_write_string(sheet, r, c, utf8.constData(), nullptr);
        }
    }
    return LXW_NO_ERROR;
}

}  // namespace

bool writeXlsx(const jet::RecordSet& rows, const QStringList& captions, const SheetProperties& props,
               const QString& path, QString* reason) {
    const int count = rows.recordCount();
    const int columns = int(captions.size());
    if (count >= kMaxRows || columns > kMaxColumns) {
        *reason = QStringLiteral("un foglio di calcolo contiene al più %1 righe di dati e %2 colonne")
                      .arg(QLocale().toString(kMaxRows - 1), QLocale().toString(kMaxColumns));
        return false;
    }
    const QByteArray file = QFile::encodeName(path);
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;  // each row goes to disk as it is written
    Workbook book;
    book.book = workbook_new_opt(file.constData(), &options);
    if (!book.book) {
        *reason = QStringLiteral("memoria insufficiente");
        return false;
    }
    const QByteArray name = sheetNameFor(props.sheetName).toUtf8();
    lxw_worksheet* sheet = workbook_add_worksheet(book.book, name.constData());
    if (!sheet) {
        *reason = QStringLiteral("nome del foglio non valido");
        return false;
    }
    const QByteArray title = props.title.toUtf8(), subject = props.subject.toUtf8();
    const QByteArray comments = props.comments.toUtf8();
    lxw_doc_properties properties{};
    properties.title = const_cast<char*>(title.constData());
    properties.subject = const_cast<char*>(subject.constData());
    properties.comments = const_cast<char*>(comments.constData());
    properties.author = const_cast<char*>("Altorra");
    workbook_set_properties(book.book, &properties);

    const Formats formats = makeFormats(book.book);
    const QList<double> widths = columnWidths(rows, captions);
    for (int c = 0; c < columns; ++c) {
        worksheet_set_column(sheet, lxw_col_t(c), lxw_col_t(c), widths[c], nullptr);
    }
    worksheet_freeze_panes(sheet, 1, 0);

    lxw_error error = LXW_NO_ERROR;
    for (int c = 0; c < columns && !error; ++c) {
        const QByteArray caption = captions[c].toUtf8();
        error = worksheet_write_string(sheet, 0, lxw_col_t(c), caption.constData(), formats.header);
    }
    const jet::DisplayFormat format{QLocale()};
    for (int row = 0; row < count && !error; ++row) {
        for (int c = 0; c < columns && !error; ++c) {
            const SheetCell cell = sheetCell(rows.value(row, c));
            error = writeCell(sheet, lxw_row_t(row + 1), lxw_col_t(c), cell,
                              cell.shown ? rows.text(row, c, format) : QString(), formats);
        }
    }
    const lxw_error closed = book.close();
    if (error || closed) {
        *reason = reasonOf(error ? error : closed);
        return false;
    }
    return true;
}

}  // namespace exporter
