#include "app/main_dialog_template.h"

platform::DialogTemplate MainDialogTemplate() {
  using Kind = platform::DialogItem::Kind;
  platform::DialogTemplate t;
  t.width = 551;
  t.height = 337;
  //        kind            id    x    y    w    h   text                 default centred visible
  t.items = {
      {Kind::Progress, 1000, 0, 325, 410, 12, "", false, false, true},
      {Kind::Button, 1003, 385, 279, 43, 14, "Apply", false, false, false},
      {Kind::Static, 1019, 0, 280, 13, 13, "", false, false, false},
      {Kind::Static, 1020, 86, 280, 13, 13, "", false, false, false},
      {Kind::Static, 1021, 16, 283, 61, 12, "USB Connected", false, false, false},
      {Kind::Static, 1022, 102, 283, 57, 11, "SEC Connected", false, false, false},
      {Kind::Button, 1026, 297, 279, 43, 14, "ESC Default", false, false, false},
      {Kind::Static, 1027, 409, 325, 141, 12, "", false, false, true},
      {Kind::Button, 1033, 341, 279, 43, 14, "ESC Read ", false, false, false},
      {Kind::Button, 1131, 167, 281, 11, 11, "help", false, false, false},
      {Kind::Button, 1132, 187, 281, 11, 11, "help", false, false, false},
      {Kind::Button, 1023, 201, 279, 51, 14, "本地加载", false, false, false},
      {Kind::Button, 1125, 253, 279, 43, 14, "保存到电脑", false, false, false},
      {Kind::Static, 1140, 201, 18, 76, 14, "静态", false, false, false},
      {Kind::Static, 1141, 301, 114, 188, 56, "", false, false, true},
      {Kind::Static, 1142, 40, 114, 188, 56, "", false, false, true},
  };
  return t;
}
