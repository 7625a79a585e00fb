// The push button of a dialog that shows `text`, or nullptr: the real dialogs' buttons have no names.
#pragma once

#include <QPushButton>
#include <QString>
#include <QWidget>

namespace testsupport {

inline QPushButton* buttonNamed(QWidget* dialog, const QString& text) {
    const auto buttons = dialog->findChildren<QPushButton*>();
    for (QPushButton* button : buttons) {
        if (button->text() == text) {
            return button;
        }
    }
    return nullptr;
}

}  // namespace testsupport
