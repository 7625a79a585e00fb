#include "runtime/form.h"

#include "runtime/seams.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>

namespace runtime {

int twipsToPixels(int twips) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchX() : 96.0;
    return qRound(twips * dpi / 1440.0);
}

QRect twipsRect(int left, int top, int width, int height) {
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height));
}

Form::Form(QWidget* parent) : QWidget(parent, Qt::Window) {}

Form::~Form() = default;

db::DataSource* Form::addDataSource(const QString& name) {
    auto* source = new db::DataSource(name, this);
    source->setErrorReporter(this);
    sources_.append(source);
    return source;
}

bool Form::report(const db::DataSource& source, bool fileError) {
    // While a window loads, its sources open one after another; a file that cannot be read is
    // reported once for the window, not once for each of its sources.
    if (fileError && !isVisible()) {
        for (const QPointer<db::DataSource>& sibling : sources_) {
            if (sibling == &source) {
                break;
            }
            if (sibling && sibling->fileErrorReported() && sibling->databaseName() == source.databaseName() &&
                sibling->lastError() == source.lastError() &&
                sibling->lastErrorMessage() == source.lastErrorMessage()) {
                return false;
            }
        }
    }
    seams::msgBox(source.lastErrorMessage(), isVisible() ? this : nullptr);
    return true;
}

void Form::load() {
    unloaded_ = false;
    Form_Load();
    if (unloaded_) {
        return;
    }
    for (const QPointer<db::DataSource>& source : sources_) {
        if (source) {
            source->open();
        }
    }
}

void Form::Unload() {
    if (unloaded_) {
        return;
    }
    unloaded_ = true;
    Form_Unload();
    for (const QPointer<db::DataSource>& source : sources_) {
        if (source) {
            source->close();
        }
    }
    const bool wasActive = isActiveWindow();
    hide();
    if (wasActive && opener_ && opener_->isVisible() && !opener_->isMinimized()) {
        opener_->raise();
        opener_->activateWindow();
    }
    emit unloaded();
    deleteLater();
}

void Form::setClientTwips(int width, int height, bool centred) {
    const QSize size(twipsToPixels(width), twipsToPixels(height));
    resize(size);
    if (centred) {
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            const QRect area = screen->availableGeometry();
            move(area.center() - QPoint(size.width() / 2, size.height() / 2));
        }
    }
}

void Form::placeCascaded() {
    QWidget* opener = opener_;
    if (!opener || !opener->isVisible()) {
        return;
    }
    const QRect openerFrame = opener->frameGeometry();
    const QRect openerClient = opener->geometry();
    // This window's frame will be as thick as the opener's.
    const QMargins margins(openerClient.left() - openerFrame.left(), openerClient.top() - openerFrame.top(),
                           openerFrame.right() - openerClient.right(),
                           openerFrame.bottom() - openerClient.bottom());
    const int step = qMax(margins.top(), twipsToPixels(300));
    QRect frame(openerFrame.topLeft() + QPoint(step, step), size().grownBy(margins));
    if (const QScreen* screen = opener->screen()) {
        const QRect area = screen->availableGeometry();
        frame.moveRight(qMin(frame.right(), area.right()));
        frame.moveBottom(qMin(frame.bottom(), area.bottom()));
        frame.moveLeft(qMax(frame.left(), area.left()));
        frame.moveTop(qMax(frame.top(), area.top()));
    }
    move(frame.topLeft());  // a window's position is its frame's
}

bool Form::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate && !unloaded_) {
        Form_Activate();
    }
    return QWidget::event(event);
}

void Form::closeEvent(QCloseEvent* event) {
    event->accept();
    Unload();
}

std::map<std::type_index, QPointer<Form>>& Forms::registry() {
    static std::map<std::type_index, QPointer<Form>> forms;
    return forms;
}

Form* Forms::present(Form* form, Modality modality) {
    if (form->isUnloaded()) {
        return nullptr;  // the load handler unloaded it
    }
    if (QWidget* active = QApplication::activeWindow(); active && active != form) {
        form->opener_ = active;
    }
    if (form->cascade_ && !form->isVisible()) {
        form->placeCascaded();
    }
    if (modality == Modality::Modal) {
        QPointer<Form> guard(form);
        seams::runModal(form);
        return guard && !guard->isUnloaded() ? guard.data() : nullptr;
    }
    form->show();
    form->raise();
    form->activateWindow();
    return form;
}

void Forms::unloadAll() {
    // Taken out of the registry first: a form's unload handler may itself unload all windows
    // (the main window does), and a form already inside Unload() must not be deleted under it.
    std::map<std::type_index, QPointer<Form>> forms;
    forms.swap(registry());
    for (auto& entry : forms) {
        Form* form = entry.second.data();
        if (!form || form->isUnloaded()) {
            continue;
        }
        form->Unload();
        delete entry.second.data();
    }
}

}  // namespace runtime
