// A table's data pages in runs of consecutive pages, read ahead of the scan that takes them.
#pragma once

#include <QVector>

#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

#include "jet/internal/pagefile.h"

namespace jet {

// On a big table a second thread and the scanning one both read the next runs not yet read
// into a small ring of buffers, while the scan takes them in order: copying the pages out of
// the system's cache costs more than scanning them, and two cores share that copy. A small
// table is read by the scanning thread alone. A read that fails throws when the scan reaches
// its run, so errors come in the order a plain scan meets them.
class PageRuns {
  public:
    struct Run {
        quint32 first = 0;
        int count = 0;
    };
    // `pages`: a table's pages in scan order, read in runs of at most `maxRun` pages.
    PageRuns(const PageFile& file, const QVector<quint32>& pages, int maxRun);
    ~PageRuns();
    PageRuns(const PageRuns&) = delete;
    PageRuns& operator=(const PageRuns&) = delete;

    // The next run and its pages, valid until the next call; false after the last run.
    bool next(Run* run, const uchar** data);

  private:
    struct Slot {
        qsizetype run = -1;
        bool ready = false;
        std::exception_ptr error;
    };
    uchar* slotData(qsizetype run) const;
    void readNext(std::unique_lock<std::mutex>& lock);
    bool mayClaim() const;
    void readAhead();

    const PageFile& file_;
    std::vector<Run> runs_;
    qsizetype slotBytes_ = 0;
    std::vector<Slot> slots_;
    PageBuffer buffer_;
    std::mutex mutex_;
    std::condition_variable changed_;
    qsizetype claimed_ = 0;  // runs handed to a reader
    qsizetype taken_ = 0;    // runs handed to the scan; the ones before the last are done with
    bool stop_ = false;
    std::thread thread_;
};

}  // namespace jet
