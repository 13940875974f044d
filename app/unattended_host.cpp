#include "app/unattended_host.h"

#include <cstdio>

namespace {

void Report(const char* what, const std::string& text) {
  std::printf("unattended: %s: %s\n", what, text.c_str());
  std::fflush(stdout);
}

}  // namespace

void UnattendedHost::messageBox(const std::string& text, platform::MessageBoxKind, const std::string&) {
  Report("message passed over", text);
}

std::optional<std::string> UnattendedHost::chooseFileToOpen(const platform::FileDialogOptions& options) {
  Report("file choice cancelled", options.filterLabel);
  return std::nullopt;
}

std::optional<std::string> UnattendedHost::chooseFileToSave(const platform::FileDialogOptions& options) {
  Report("file choice cancelled", options.filterLabel);
  return std::nullopt;
}

platform::ModalResult UnattendedHost::runModal(const platform::DialogTemplate& dialog,
                                               const platform::ModalButtonHandler&) {
  // The dialog's statics carry its question.
  std::string question;
  for (const platform::DialogItem& item : dialog.items) {
    if (item.kind != platform::DialogItem::Kind::Static || item.text.empty()) continue;
    if (!question.empty()) question += " ";
    question += item.text;
  }
  Report("dialog closed unanswered", question.empty() ? dialog.caption : question);
  return platform::ModalResult{};  // IDCANCEL, the edits untouched
}

int UnattendedHost::runCanvasDialog(const platform::DialogTemplate& dialog, int,
                                    platform::CanvasDialogEvents&) {
  Report("dialog closed unanswered", dialog.caption);
  return platform::kIdCancel;
}
