// A field only a panel fills looks like what it is: not a place to type in.
#pragma once

#include <QPalette>
#include <QWidget>

inline void showAsReadOnly(QWidget* field) {
    QPalette palette = field->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    field->setPalette(palette);
}
