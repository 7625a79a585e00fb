// Drives real modal dialogs from outside: polls the active modal widget every 10 ms (the timer
// keeps firing inside exec()) and runs scripted steps on it. A step that cannot complete before
// the deadline makes the watcher close every modal and record the failure, so a wrong
// expectation fails the test instead of hanging it.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <functional>

class ModalWatcher : public QObject {
  public:
    // A step gets the active modal widget and returns true when it is done with it; false means
    // "not yet" (the widget is not the expected one, or it is not ready) and it is tried again.
    using Step = std::function<bool(QWidget* modal)>;

    explicit ModalWatcher(int deadlineMs = 20000) : deadlineMs_(deadlineMs) {
        timer_.setInterval(10);
        connect(&timer_, &QTimer::timeout, this, &ModalWatcher::poll);
    }

    void then(const QString& name, Step step) { steps_.append({name, std::move(step)}); }

    // Arms the watcher; call it just before the blocking call.
    void start() {
        clock_.start();
        timer_.start();
    }

    bool finished() const { return next_ == steps_.size() && failure_.isEmpty(); }
    QString failure() const {
        if (!failure_.isEmpty()) {
            return failure_;
        }
        return next_ < steps_.size() ? QStringLiteral("step not reached: ") + steps_[next_].first : QString();
    }
    // Observations a step records; the test checks them after the blocking call returned.
    QStringList notes;

  private:
    void poll() {
        if (next_ >= steps_.size()) {
            timer_.stop();
            return;
        }
        if (clock_.elapsed() > deadlineMs_) {
            failure_ = QStringLiteral("timed out at step: ") + steps_[next_].first;
            timer_.stop();
            closeEveryModal();
            return;
        }
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && steps_[next_].second(modal)) {
            ++next_;
        }
    }

    static void closeEveryModal() {
        for (int guard = 0; guard < 10; ++guard) {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dialog) {
                return;
            }
            dialog->done(QDialog::Rejected);
        }
    }

    QTimer timer_;
    QElapsedTimer clock_;
    int deadlineMs_;
    QList<QPair<QString, Step>> steps_;
    int next_ = 0;
    QString failure_;
};
