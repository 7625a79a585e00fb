// Pages as the writer fills them: allocation, data pages packed from the end, usage maps and the
// single place pages reach the file (encrypted there when asked).
#pragma once

#include "jetwriter/schema.h"

#include <QByteArray>
#include <QFileDevice>
#include <QHash>
#include <QList>
#include <QString>

#include <utility>

namespace jetwriter::detail {

// Everything one write() needs: the open file, page allocation and the pool of usage-map rows.
class PageWriter {
  public:
    PageWriter(const Format& f, QFileDevice& file) : f_(f), file_(file) {}

    const Format& f() const { return f_; }
    quint32 allocPage() { return nextPage_++; }
    quint32 pageCount() const { return nextPage_; }
    // Jet 3 / Jet 4 page encryption: each page after the header RC4-encrypted with the key XOR
    // its page number.
    void encryptWith(quint32 key) { cryptKey_ = key; }
    QString error;

    bool writePage(quint32 page, const QByteArray& plain);

    // A page of rows packed from the end backwards.
    struct RowPage {
        quint32 page = 0;
        quint32 owner = 0;
        QList<QByteArray> rows;
        QList<quint16> flags;  // offset flags per row (deleted, moved)
        int used = 0;          // bytes of rows plus their offset slots
        bool open = false;
    };

    int freeSpace(const RowPage& p) const { return f_.pageSize - f_.dataHeader - p.used; }
    bool fits(const RowPage& p, int len) const {
        return p.open && p.rows.size() < kMaxRowsPerPage && freeSpace(p) >= len + 2;
    }

    QByteArray renderRowPage(const RowPage& p) const;

    bool flush(RowPage& p);

    // Adds a row to `p`, starting a new page (reported in *newPage) when it does not fit.
    bool place(RowPage& p, const QByteArray& row, quint32* pageOut, int* rowOut, bool* newPage = nullptr,
               quint16 flags = 0);

    // Usage-map rows live on owner-0 pages written at the end.
    quint32 addMapRow(const QByteArray& row);

    // A usage map listing exactly `pages` (ascending): type 0 when they span few enough pages,
    // type 1 with bitmap pages otherwise.
    quint32 addUsageMap(const QList<quint32>& pages);

    bool finishMaps();

  private:
    bool fitsLoose(const RowPage& p, int len) const {
        return p.rows.size() < kMaxRowsPerPage && freeSpace(p) >= len + 2;
    }

    const Format& f_;
    QFileDevice& file_;
    quint32 nextPage_ = 0;
    quint32 cryptKey_ = 0;
    QList<RowPage> mapPages_;
    QList<std::pair<quint32, QByteArray>> pendingPages_;
};

// One table being streamed: its data pages, long-value pages per column, and counters.
struct TableRun {
    PageWriter::RowPage data;
    PageWriter::RowPage early;  // moved rows on a page before the data pages
    PageWriter::RowPage late;   // moved rows (and chain links) on pages after them
    // What goes to the late pages once every data page is placed, and the slot (page, row) whose
    // pointer then names it; data pages holding such a slot are kept until it is filled in.
    struct Deferred {
        quint32 page;
        int row;
        QByteArray bytes;
        quint16 flags;
    };
    QList<Deferred> deferred;
    QHash<quint32, PageWriter::RowPage> held;
    QList<quint32> dataPages;
    QHash<int, PageWriter::RowPage> lval;  // by column number
    QHash<int, QList<quint32>> lvalPages;
    quint32 rowCount = 0;
};

}  // namespace jetwriter::detail
