// The result window both searches share: a data source that runs the statement the selection form
// left in Global, a grid of its rows, "Esporta Dati", a close button, and a timer that closes the
// window when the statement failed or found nothing.
#pragma once

#include "esporta.h"
#include "form.h"

#include <QString>

class QPushButton;
class QTimer;

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
    void Form_Load() override;
    void Form_Activate() override;
    void Form_Unload() override;

    // The shared bodies of the windows' handlers.
    void exportRows();
    void closeCheck();
    void sourceError(int dataErr, int& response);

  private:
    ResultLayout layout_;
    db::DataSource* source_ = nullptr;
    db::DBGrid* grid_ = nullptr;
    QPushButton* export_ = nullptr;
    QPushButton* close_ = nullptr;
    QTimer* timer_ = nullptr;
    exporter::SaveDialogMemory dialog_;  // the window's own save dialog remembers its last name
};

}  // namespace formkit
