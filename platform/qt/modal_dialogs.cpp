#include "platform/qt/modal_dialogs.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <vector>

#include "platform/qt/dialog_items.h"
#include "platform/qt/fonts.h"
#include "platform/qt/qt_canvas.h"

namespace platform::qt {

namespace {

QString CaptionOrAppTitle(const std::string& caption) {
  return caption.empty() ? QGuiApplication::applicationDisplayName() : FromUtf8(caption);
}

// Escape and the close box end the dialog as Cancel, without asking the
// button handler.
class TemplateDialog : public QDialog {
 public:
  explicit TemplateDialog(QWidget* parent) : QDialog(parent) {}
  void reject() override { done(kIdCancel); }
};

struct EditField {
  int id;
  QLineEdit* edit;
};

std::map<int, std::string> EditTexts(const std::vector<EditField>& edits) {
  std::map<int, std::string> texts;
  for (const EditField& field : edits)
    texts[field.id] = field.edit->text().toStdString();
  return texts;
}

}  // namespace

void ShowMessageBox(QWidget* parent, const std::string& text, MessageBoxKind kind,
                    const std::string& caption) {
  QMessageBox box(parent);
  box.setText(FromUtf8(text));
  box.setTextFormat(Qt::PlainText);
  if (kind == MessageBoxKind::Information) {
    box.setIcon(QMessageBox::Information);
    box.setWindowTitle(CaptionOrAppTitle(caption));
  } else {
    box.setIcon(QMessageBox::NoIcon);
    box.setWindowTitle(QGuiApplication::applicationDisplayName());
  }
  box.setStandardButtons(QMessageBox::Ok);
  box.setDefaultButton(QMessageBox::Ok);
  box.exec();
}

std::optional<std::string> ChooseFile(QWidget* parent, const FileDialogOptions& options, bool save) {
  QFileDialog dialog(parent);
  // Qt's own dialog behaves the same on every desktop and off screen.
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  if (!options.filterPattern.empty()) {
    const QString label = FromUtf8(options.filterLabel.empty() ? options.filterPattern : options.filterLabel);
    dialog.setNameFilter(label + QStringLiteral(" (") + FromUtf8(options.filterPattern) +
                         QStringLiteral(")"));
  }
  dialog.setDefaultSuffix(FromUtf8(options.defaultExtension));
  if (save) {
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !options.confirmOverwrite);
  } else {
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
  }
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList files = dialog.selectedFiles();
  if (files.isEmpty()) return std::nullopt;
  return files.front().toStdString();
}

ModalResult RunTemplateDialog(QWidget* parent, const DialogTemplate& dialog,
                              const ModalButtonHandler& onButton) {
  TemplateDialog window(parent);
  window.setWindowTitle(FromUtf8(dialog.caption));
  window.setFont(DialogFont(8));
  window.setFixedSize(TemplateSize(dialog));

  std::vector<EditField> edits;
  for (const DialogItem& item : dialog.items) {
    QWidget* widget = CreateItemWidget(item, &window);
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) edits.push_back({item.id, edit});
    if (auto* button = qobject_cast<QPushButton*>(widget)) {
      const int id = item.id;
      QObject::connect(button, &QPushButton::clicked, &window, [&window, &edits, &onButton, id] {
        if (!onButton || onButton(id, EditTexts(edits))) window.done(id);
      });
    }
  }
  // The first edit starts with the focus and its text selected, ready to be
  // typed over.
  for (const EditField& field : edits) {
    if (!field.edit->isVisibleTo(&window)) continue;
    field.edit->setFocus(Qt::OtherFocusReason);
    field.edit->selectAll();
    break;
  }

  ModalResult result;
  result.code = window.exec();
  result.edits = EditTexts(edits);
  return result;
}

}  // namespace platform::qt
