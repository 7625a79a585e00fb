// The result window both searches share: a data source that runs the statement the selection form
// left in Global, a grid of its rows, "Esporta Dati", a close button, and a timer that closes the
// window when the statement failed or found nothing.
#pragma once

#include "export/esporta.h"
#include "forms/choice.h"
#include "runtime/form.h"

#include <QPushButton>
#include <QString>
#include <QTimer>

namespace db {
class DataSource;
}
namespace controls {
class DBGrid;
}

namespace forms {

struct ResultLayout {
    Search search;
    const char* caption;
    bool centred;
    const char* sourceName;
    const char* gridName;
    const char* gridCaption;
    int gridLeft, gridTop;
    const char* closeName;
    int tickMs;
    const char* errorPrefix;  // the first error message; the error number follows directly
};

class ResultWindow : public runtime::Form {
    Q_OBJECT
  public:
    explicit ResultWindow(const ResultLayout& layout);

    // "Esporta Dati" and the timer, named alike in both windows.
    QPushButton* Command1 = nullptr;
    QTimer* Timer1 = nullptr;

    // "Esporta Dati": the rows shown, headed by the grid's captions, to a file the user names.
    void Command1_Click();
    // Closes the window once the statement has failed or found no rows.
    void Timer1_Timer();

  protected:
    db::DataSource* source() const { return source_; }
    controls::DBGrid* grid() const { return grid_; }
    QPushButton* closeButton() const { return close_; }

    // Connects the close button and the data source's error event to the window's own handlers.
    template <class W>
    void wire(void (W::*closeClick)(), void (W::*error)(int, int&)) {
        W* window = static_cast<W*>(this);
        connect(close_, &QAbstractButton::clicked, window, closeClick);
        setErrorHandler([window, error](int dataErr, int& response) { (window->*error)(dataErr, response); });
    }

    void Form_Load() override;
    void Form_Activate() override;
    void Form_Unload() override;

    // The shared body of the windows' error handlers.
    void sourceError(int dataErr, int& response);

  private:
    void setErrorHandler(std::function<void(int, int&)> handler);

    ResultLayout layout_;
    db::DataSource* source_ = nullptr;
    controls::DBGrid* grid_ = nullptr;
    QPushButton* close_ = nullptr;
    exporter::SaveDialogMemory dialog_;  // the window's own save dialog remembers its last name
};

}  // namespace forms
