// The result window both searches share: a data source that runs the statement the selection form
// left in Global, a grid of its rows, "Esporta Dati", a close button, and a timer that closes the
// window when the statement failed or found nothing.
#pragma once

#include "db/form.h"
#include "export/esporta.h"

#include <QPushButton>
#include <QString>
#include <QTimer>

#include <functional>

namespace db {
class DataSource;
class DBGrid;
}  // namespace db

namespace formkit {

struct ResultLayout {
    QString caption;
    bool centred = false;
    QString sourceName;
    QString gridName;
    QString gridCaption;
    int gridLeft = 0;
    int gridTop = 0;
    QString closeName;
    int tickMs = 500;
    QString errorPrefix;  // the first error message; the error number follows directly
    const QString* statement = nullptr;
    qint16* queryOk = nullptr;
};

class ResultForm : public db::Form {
    Q_OBJECT
  public:
    explicit ResultForm(const ResultLayout& layout);

    db::DataSource* source() const { return source_; }
    db::DBGrid* grid() const { return grid_; }
    QPushButton* exportButton() const { return export_; }
    QPushButton* closeButton() const { return close_; }
    QTimer* timer() const { return timer_; }
    const exporter::SaveDialogMemory& dialogMemory() const { return dialog_; }

  protected:
    // Connects the buttons, the timer and the data source's error event to the window's handlers.
    template <class W>
    void wire(void (W::*exportClick)(), void (W::*closeClick)(), void (W::*tick)(),
              void (W::*error)(int, int&)) {
        W* window = static_cast<W*>(this);
        connect(export_, &QAbstractButton::clicked, window, exportClick);
        connect(close_, &QAbstractButton::clicked, window, closeClick);
        connect(timer_, &QTimer::timeout, window, tick);
        setErrorHandler([window, error](int dataErr, int& response) { (window->*error)(dataErr, response); });
    }

    void Form_Load() override;
    void Form_Activate() override;
    void Form_Unload() override;

    // The shared bodies of the windows' handlers.
    void exportRows();
    void closeCheck();
    void sourceError(int dataErr, int& response);

  private:
    void setErrorHandler(std::function<void(int, int&)> handler);

    ResultLayout layout_;
    db::DataSource* source_ = nullptr;
    db::DBGrid* grid_ = nullptr;
    QPushButton* export_ = nullptr;
    QPushButton* close_ = nullptr;
    QTimer* timer_ = nullptr;
    exporter::SaveDialogMemory dialog_;  // the window's own save dialog remembers its last name
};

}  // namespace formkit
