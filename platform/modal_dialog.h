// A small modal dialog described by its template: caption, size in dialog
// units and its statics, edits and buttons. The host builds and runs it.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace platform {

// Results of a modal dialog.
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;

struct DialogItem {
  enum class Kind { Static, Edit, Button, Progress, Icon };
  Kind kind = Kind::Static;
  int id = 0;
  int x = 0, y = 0, width = 0, height = 0;  // dialog units
  std::string text;
  bool defaultButton = false;  // Enter presses it
  bool centred = false;        // text centred in its rectangle
  bool visible = true;         // a hidden control keeps its text and state only
};

struct DialogTemplate {
  std::string caption;
  int width = 0, height = 0;  // dialog units
  std::vector<DialogItem> items;
};

// Dialog units of the main window's template and of the small dialogs become
// pixels at these scales (the main template's 551 x 337 units fill its
// 965 x 578 client area).
inline constexpr double kDialogUnitX = 965.0 / 551.0;
inline constexpr double kDialogUnitY = 578.0 / 337.0;

struct ModalResult {
  int code = kIdCancel;  // the id of the button that ended it; kIdCancel for Escape or the close box
  std::map<int, std::string> edits;  // final text of each edit, by id
};

// Called when a button is pressed, with the edits' current texts. Returns
// true to end the dialog with that button's id, false to keep it open.
using ModalButtonHandler = std::function<bool(int buttonId, const std::map<int, std::string>& edits)>;

}  // namespace platform
