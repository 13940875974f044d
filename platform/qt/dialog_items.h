// Child widgets for the items of a dialog template, placed at their
// rectangles in dialog units scaled to pixels.
#pragma once

#include <QRect>
#include <QSize>
#include <QWidget>

#include "platform/modal_dialog.h"

namespace platform::qt {

QRect ItemRect(const DialogItem& item);
QSize TemplateSize(const DialogTemplate& dialog);
// A widget of the item's kind, with its text, named after its kind and id
// ("static1027", "edit1007", "button1", "progress1000", "icon3").
QWidget* CreateItemWidget(const DialogItem& item, QWidget* parent);

}  // namespace platform::qt
