// The UI thread's modal helpers: message boxes, file pickers and dialogs
// built from templates. Each runs its own loop until the user answers.
#pragma once

#include <QWidget>
#include <optional>
#include <string>

#include "platform/dialog_host.h"

namespace platform::qt {

void ShowMessageBox(QWidget* parent, const std::string& text, MessageBoxKind kind,
                    const std::string& caption);
std::optional<std::string> ChooseFile(QWidget* parent, const FileDialogOptions& options, bool save);
ModalResult RunTemplateDialog(QWidget* parent, const DialogTemplate& dialog,
                              const ModalButtonHandler& onButton);

}  // namespace platform::qt
