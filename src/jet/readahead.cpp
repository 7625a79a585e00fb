#include "jet/internal/readahead.h"

#include <system_error>

namespace jet {

namespace {

// Reading ahead pays from about a megabyte of pages on; fewer are read by the scan itself.
constexpr int kAheadPages = 256;
// Buffers in the ring: enough for the other thread to stay a few runs ahead.
constexpr int kSlots = 4;

std::vector<PageRuns::Run> runsOf(const QVector<quint32>& pages, int maxRun) {
    std::vector<PageRuns::Run> runs;
    int i = 0;
    while (i < pages.size()) {
        int count = 1;
        while (i + count < pages.size() && count < maxRun && pages[i + count] == pages[i] + quint32(count)) {
            ++count;
        }
        runs.push_back(PageRuns::Run{pages[i], count});
        i += count;
    }
    return runs;
}

}  // namespace

PageRuns::PageRuns(const PageFile& file, const QVector<quint32>& pages, int maxRun)
    : file_(file),
      runs_(runsOf(pages, maxRun)),
      slotBytes_(qsizetype(maxRun) * file.pageSize()),
      slots_(runs_.size() > 1 && pages.size() >= kAheadPages ? kSlots : 1),
      buffer_(slotBytes_ * qsizetype(slots_.size())) {
    if (slots_.size() > 1) {
        try {
            thread_ = std::thread([this] { readAhead(); });
        } catch (const std::system_error&) {
            // No thread to be had: the scan reads every run itself.
        }
    }
}

PageRuns::~PageRuns() {
    if (thread_.joinable()) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stop_ = true;
        }
        changed_.notify_all();
        thread_.join();
    }
}

uchar* PageRuns::slotData(qsizetype run) const {
    return buffer_.data() + (run % qsizetype(slots_.size())) * slotBytes_;
}

// A run may be read into its slot once the run that held the slot before is done with.
bool PageRuns::mayClaim() const {
    const qsizetype done = qMax<qsizetype>(taken_ - 1, 0);
    return claimed_ < qsizetype(runs_.size()) && claimed_ < done + qsizetype(slots_.size());
}

// Claims the lowest run not yet claimed and reads it, with the lock released while reading.
void PageRuns::readNext(std::unique_lock<std::mutex>& lock) {
    const qsizetype k = claimed_++;
    Slot& slot = slots_[size_t(k % qsizetype(slots_.size()))];
    slot.run = k;
    slot.ready = false;
    slot.error = nullptr;
    lock.unlock();
    std::exception_ptr error;
    try {
        file_.read(runs_[size_t(k)].first, runs_[size_t(k)].count, slotData(k));
    } catch (...) {
        error = std::current_exception();
    }
    lock.lock();
    slot.error = error;
    slot.ready = true;
    changed_.notify_all();
}

void PageRuns::readAhead() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return stop_ || claimed_ == qsizetype(runs_.size()) || mayClaim(); });
        if (stop_ || claimed_ == qsizetype(runs_.size())) {
            return;
        }
        readNext(lock);
    }
}

bool PageRuns::next(Run* run, const uchar** data) {
    std::unique_lock<std::mutex> lock(mutex_);
    const qsizetype k = taken_;
    if (k == qsizetype(runs_.size())) {
        return false;
    }
    taken_ = k + 1;  // the run before is done with: its slot may take another
    changed_.notify_all();
    const Slot& slot = slots_[size_t(k % qsizetype(slots_.size()))];
    // Rather than wait, read the next run nobody reads yet.
    while (!(slot.run == k && slot.ready)) {
        if (mayClaim()) {
            readNext(lock);
        } else {
            changed_.wait(lock);
        }
    }
    if (slot.error) {
        std::rethrow_exception(slot.error);
    }
    *run = runs_[size_t(k)];
    *data = slotData(k);
    return true;
}

}  // namespace jet
