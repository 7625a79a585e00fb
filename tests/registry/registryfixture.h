// What the registry tests share: scripted platform services, sample archives made by our own
// writer, and the expected content read straight from the archive through the reader.
#pragma once

#include "jet.h"
#include "samplegen.h"
#include "seams.h"

#include <QImage>
#include <QList>
#include <QMap>
#include <QPointer>
#include <QPrinter>
#include <QStringList>
#include <QTemporaryDir>
#include <QWidget>

#include <functional>
#include <memory>

namespace registrytest {

// Every modal service answers from a script and records what it was asked.
class ScriptedServices : public seams::MessageBox,
                         public seams::PrintDialog,
                         public seams::SaveDialog,
                         public seams::ModalRunner {
  public:
    ScriptedServices() {
        seams::setMessageBox(this);
        seams::setPrintDialog(this);
        seams::setSaveDialog(this);
        seams::setModalRunner(this);
    }
    ~ScriptedServices() override {
        seams::setMessageBox(nullptr);
        seams::setPrintDialog(nullptr);
        seams::setSaveDialog(nullptr);
        seams::setModalRunner(nullptr);
    }

    void show(QWidget*, const QString& text) override { messages << text; }

    // Print dialog: with an output file it accepts and prints there; without, it cancels.
    QString printTo;
    int printDialogs = 0;
    bool exec(QWidget*, QPrinter& printer) override {
        ++printDialogs;
        if (printTo.isEmpty()) {
            return false;
        }
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printTo);
        return true;
    }

    // Save dialog: answers saveTo, or cancels when it is empty.
    QString saveTo;
    QList<seams::SaveRequest> saveRequests;
    bool exec(QWidget*, seams::SaveRequest& request) override {
        saveRequests << request;
        if (saveTo.isEmpty()) {
            return false;
        }
        request.fileName = saveTo;
        return true;
    }

    // Modal windows: `onModal` looks at the window, then the window is closed as the user would.
    std::function<void(QWidget*)> onModal;
    QStringList modalWindows;
    void run(QWidget* window) override {
        modalWindows << window->objectName();
        QPointer<QWidget> guard(window);
        window->show();
        if (onModal) {
            onModal(window);
        }
        if (guard) {
            guard->close();
        }
    }

    QStringList messages;
};

// One sample archive per variant, written once per test run.
struct Variant {
    QString name;
    samplegen::Options options;
};
QList<Variant> variants();
// The program folder holding the variant's archive and pictures.
QString sampleFolder(const QString& variant);
samplegen::Options optionsOf(const QString& variant);

// A station of "anagrafica compl" as the reader gives it.
struct Station {
    QString code;  // "Codstaz" as text
    QString name;  // "Denominazione"
};
QList<Station> registryRows(const QString& folder);
// The rows of mensili for a station code, every value as text, in stored order.
QList<QStringList> monthlyRows(const QString& folder, const QString& code);
// The monthly fields in the order of the statement.
QStringList monthlyFields();

// The picture a file holds, found without regard to case; null when there is none.
QImage pictureFile(const QString& folder, const QString& fileName);

}  // namespace registrytest
