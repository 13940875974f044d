// The modal dialog with a canvas item, on Qt.
#pragma once

#include <QWidget>

#include "platform/canvas_dialog.h"
#include "platform/modal_dialog.h"

namespace platform::qt {

// Runs the dialog until it ends itself; OnDestroy runs before it returns.
int RunCanvasDialog(QWidget* parent, const DialogTemplate& dialog, int canvasItemId,
                    CanvasDialogEvents& events);

}  // namespace platform::qt
