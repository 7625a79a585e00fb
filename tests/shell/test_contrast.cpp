// Every text of every window reads under a dark desktop palette: each label, button, check box,
// box, list and grid text against the background it is drawn on, at a contrast of at least 4.5:1
// (the WCAG ratio of relative luminances) where the colours follow the palette. Where a window
// fixes a background of its own, the text on it must not take the palette's text colour.
#include "shell/everywindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableView>
#include <QtTest>

#include <cmath>

namespace {

// qt6ct's "darker" colour scheme (/usr/share/qt6ct/colors/darker.conf, qt6ct 0.7), its active
// colours in the order of QPalette::ColorRole.
const char* const kDarker =
    "#ffffffff, #ff424245, #ff979797, #ff5e5c5b, #ff302f2e, #ff4a4947, #ffffffff, #ffffffff, #ffffffff, "
    "#ff3d3d3d, #ff222020, #ffe7e4e0, #ff12608a, #fff9f9f9, #ff0986d3, #ffa70b06, #ff5c5b5a, #ffffffff, "
    "#ff3f3f36, #ffffffff, #80ffffff";

QPalette darker() {
    QPalette palette;
    const QStringList colours = QString::fromLatin1(kDarker).split(QStringLiteral(", "));
    for (int role = 0; role < colours.size(); ++role) {
        if (role != QPalette::NoRole) {
            palette.setColor(QPalette::ColorRole(role), QColor::fromString(colours[role]));
        }
    }
    return palette;
}

// The dark palette commonly given to the Fusion style.
QPalette darkFusion() {
    QPalette p;
    const QColor window(53, 53, 53);
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, Qt::white);
    p.setColor(QPalette::Base, QColor(42, 42, 42));
    p.setColor(QPalette::AlternateBase, QColor(66, 66, 66));
    p.setColor(QPalette::ToolTipBase, Qt::white);
    p.setColor(QPalette::ToolTipText, Qt::white);
    p.setColor(QPalette::Text, Qt::white);
    p.setColor(QPalette::Button, window);
    p.setColor(QPalette::ButtonText, Qt::white);
    p.setColor(QPalette::BrightText, Qt::red);
    p.setColor(QPalette::Link, QColor(42, 130, 218));
    p.setColor(QPalette::Highlight, QColor(42, 130, 218));
    p.setColor(QPalette::HighlightedText, Qt::black);
    p.setColor(QPalette::Light, QColor(80, 80, 80));
    p.setColor(QPalette::Midlight, QColor(66, 66, 66));
    p.setColor(QPalette::Mid, QColor(40, 40, 40));
    p.setColor(QPalette::Dark, QColor(35, 35, 35));
    p.setColor(QPalette::Shadow, Qt::black);
    return p;
}

double luminance(const QColor& colour) {
    const auto channel = [](double c) {
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(colour.redF()) + 0.7152 * channel(colour.greenF()) +
           0.0722 * channel(colour.blueF());
}

double contrast(const QColor& a, const QColor& b) {
    const double la = luminance(a);
    const double lb = luminance(b);
    return (qMax(la, lb) + 0.05) / (qMin(la, lb) + 0.05);
}

// What shows behind a widget that does not fill its own background: the first of it and its
// parents that does (or the window).
const QWidget* filledBehind(const QWidget* widget) {
    const QWidget* w = widget;
    while (w && !w->autoFillBackground() && !w->isWindow()) {
        w = w->parentWidget();
    }
    return w;
}

// True when the window gave `role` a colour of its own (on the widget or a parent), so that no
// desktop palette changes it.
bool fixed(const QWidget* widget, QPalette::ColorRole role) {
    return widget->palette().resolveMask() & (QPalette::ResolveMask(1) << role);
}

struct Pair {
    QString what;
    QColor text;
    QColor background;
    bool fixed;  // both colours the window's own
};

Pair pair(const QString& what, const QWidget* textWidget, QPalette::ColorRole text, const QWidget* backWidget,
          QPalette::ColorRole back) {
    return {what, textWidget->palette().color(text), backWidget->palette().color(back),
            fixed(textWidget, text) && fixed(backWidget, back)};
}

QString nameOf(const QWidget* widget) {
    return widget->objectName().isEmpty() ? QString::fromLatin1(widget->metaObject()->className())
                                          : widget->objectName();
}

// The text colours each control draws with, against what they are drawn on.
QList<Pair> pairsOf(const QWidget* widget) {
    const QString name = nameOf(widget);
    const QString selected = name + QStringLiteral(" (selected)");
    if (qobject_cast<const QLabel*>(widget) || qobject_cast<const QCheckBox*>(widget)) {
        const QWidget* behind = filledBehind(widget);
        return {pair(name, widget, widget->foregroundRole(), behind, behind->backgroundRole())};
    }
    if (qobject_cast<const QAbstractButton*>(widget) || qobject_cast<const QComboBox*>(widget)) {
        return {pair(name, widget, QPalette::ButtonText, widget, QPalette::Button)};
    }
    if (qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QPlainTextEdit*>(widget)) {
        return {pair(name, widget, QPalette::Text, widget, QPalette::Base),
                pair(selected, widget, QPalette::HighlightedText, widget, QPalette::Highlight)};
    }
    if (const auto* view = qobject_cast<const QTableView*>(widget)) {
        QList<Pair> pairs = {pair(name, widget, QPalette::Text, widget, QPalette::Base),
                             pair(selected, widget, QPalette::HighlightedText, widget, QPalette::Highlight)};
        if (view->alternatingRowColors()) {
            pairs.append(pair(name + QStringLiteral(" (alternate)"), widget, QPalette::Text, widget,
                              QPalette::AlternateBase));
        }
        const QHeaderView* header = view->horizontalHeader();
        pairs.append(pair(name + QStringLiteral(" (captions)"), header, QPalette::ButtonText, header,
                          QPalette::Button));
        return pairs;
    }
    return {};
}

}  // namespace

class TestContrast : public QObject {
    Q_OBJECT

    QPalette desktop_;

  private slots:
    void initTestCase() { desktop_ = QApplication::palette(); }
    void cleanup() { QApplication::setPalette(desktop_); }

    void textsRead_data() {
        QTest::addColumn<QPalette>("palette");
        QTest::addColumn<int>("window");
        const QList<windowtest::Opening> windows = windowtest::everyWindow();
        const QList<std::pair<const char*, QPalette>> palettes = {{"qt6ct darker", darker()},
                                                                  {"dark Fusion", darkFusion()}};
        for (const auto& [name, palette] : palettes) {
            for (int i = 0; i < windows.size(); ++i) {
                QTest::addRow("%s, %s", qPrintable(windows[i].name), name) << palette << i;
            }
        }
    }
    void textsRead() {
        QFETCH(QPalette, palette);
        QFETCH(int, window);
        QApplication::setPalette(palette);
        windowtest::Archive archive;
        QVERIFY2(archive.isValid(), qPrintable(archive.error()));
        const windowtest::Opening opening = windowtest::everyWindow().at(window);
        QWidget* shown = opening.open();
        QVERIFY2(shown, qPrintable(opening.name));
        QStringList unreadable;
        for (QWidget* widget : windowtest::visibleWidgets(shown)) {
            for (const Pair& pair : pairsOf(widget)) {
                // What follows the palette: 4.5:1. A pair of the window's own colours (white on
                // the quantity boxes' blue violet, 3.3:1) is left as the window gives it, but must
                // still read as large text does: 3:1.
                const double ratio = contrast(pair.text, pair.background);
                if (ratio < (pair.fixed ? 3.0 : 4.5)) {
                    unreadable.append(QStringLiteral("%1: %2 on %3, %4:1")
                                          .arg(pair.what, pair.text.name(), pair.background.name())
                                          .arg(ratio, 0, 'f', 2));
                }
            }
        }
        QVERIFY2(unreadable.isEmpty(), qPrintable(unreadable.join(QLatin1Char('\n'))));
    }
};

QTEST_MAIN(TestContrast)
#include "test_contrast.moc"
