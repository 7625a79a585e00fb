// A window of the program: load handler, activation handler, data sources that open by themselves
// after the load handler, and unloading. Forms are kept in a registry: each window type exists at
// most once, is created on first use, loads again when shown after it was closed, and comes to the
// front when shown while open.
#pragma once

#include <QPointer>
#include <QWidget>

#include <functional>
#include <map>
#include <typeindex>

#include "db/datasource.h"

namespace runtime {

// Twips (1440 to the inch) to pixels at the screen's resolution (15 twips a pixel at 96 dpi).
int twipsToPixels(int twips);
QRect twipsRect(int left, int top, int width, int height);

class Form : public QWidget, private db::ErrorReporter {
    Q_OBJECT
  public:
    explicit Form(QWidget* parent = nullptr);
    ~Form() override;

    // Runs Form_Load, then opens every data source the form owns (in creation order).
    void load();
    // Closes the data sources, hides the window and lets it go. The registry then forgets it,
    // so the next showing creates and loads a fresh one.
    void Unload();
    bool isUnloaded() const { return unloaded_; }

    // Sets the client area in twips; with `centred` it is placed in the middle of the screen.
    void setClientTwips(int width, int height, bool centred);
    // Opens one title bar's height right of and below the window that opens it, wholly on the
    // screen, rather than wherever the window manager finds room (openbox puts a window for which
    // no free room is left in a corner of the screen, half over the window that opened it).
    void cascadeFromOpener() { cascade_ = true; }

    // A data source of this window: opened after Form_Load (in creation order), closed when the
    // window unloads; what it cannot read is shown in a message box over the window.
    db::DataSource* addDataSource(const QString& name);

  signals:
    void unloaded();

  protected:
    virtual void Form_Load() {}
    virtual void Form_Activate() {}
    // Runs when the window is about to go, for any reason (Unload or the frame's close box).
    virtual void Form_Unload() {}

    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    friend class Forms;
    bool report(const db::DataSource& source, bool fileError) override;

    QList<QPointer<db::DataSource>> sources_;
    bool unloaded_ = false;
    // The window that was active when this one was shown: it gets the keyboard back when this one
    // goes while active, whatever window the window manager would pick next.
    QPointer<QWidget> opener_;
    bool cascade_ = false;
    void placeCascaded();
};

enum class Modality { Modeless, Modal };

class Forms {
  public:
    // The open instance of T, or nullptr.
    template <class T>
    static T* find() {
        auto it = registry().find(std::type_index(typeid(T)));
        if (it == registry().end() || !it->second || it->second->isUnloaded()) {
            return nullptr;
        }
        return static_cast<T*>(it->second.data());
    }

    // Creates and loads T when it is not open, then shows it; an open one comes to the front.
    // Modal showing returns when the window has closed (the returned pointer is then null).
    template <class T>
    static T* show(Modality modality) {
        T* form = find<T>();
        if (!form) {
            form = new T();
            registry()[std::type_index(typeid(T))] = form;
            form->load();
        }
        return static_cast<T*>(present(form, modality));
    }

    // Unloads every open window (tests use it between cases).
    static void unloadAll();

  private:
    static std::map<std::type_index, QPointer<Form>>& registry();
    static Form* present(Form* form, Modality modality);
};

}  // namespace runtime
