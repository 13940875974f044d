// What a page drew, one line per operation, for comparing with expectations:
//   "UI-Po.png -10,-10,20,80"           picture (file name) and rectangle
//   "'50' 910,213 0.18"                 text, origin, font size
//   "line 42,505 62,505 ffffffff 20"    line, colour, width
//   "rotate 201", "translate 810,194", "reset"
#pragma once

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "support/recording_canvas.h"

inline std::vector<std::string> DrawnLines(const RecordingCanvas& canvas) {
  std::vector<std::string> lines;
  for (const DrawOp& op : canvas.Ops()) {
    std::ostringstream line;
    switch (op.kind) {
      case DrawOp::Kind::Image:
        line << std::filesystem::path(op.file).filename().string() << " " << op.rect.x << "," << op.rect.y
             << "," << op.rect.width << "," << op.rect.height;
        break;
      case DrawOp::Kind::Text:
        line << "'" << op.text << "' " << op.from.x << "," << op.from.y << " " << op.font.sizeInches;
        break;
      case DrawOp::Kind::Line:
        line << "line " << op.from.x << "," << op.from.y << " " << op.to.x << "," << op.to.y << " "
             << std::hex << op.color << std::dec << " " << op.width;
        break;
      case DrawOp::Kind::Rotate:
        line << "rotate " << op.start;
        break;
      case DrawOp::Kind::Translate:
        line << "translate " << op.from.x << "," << op.from.y;
        break;
      case DrawOp::Kind::Reset:
        line << "reset";
        break;
      case DrawOp::Kind::Layer:
        continue;
      default:
        line << "other";
    }
    lines.push_back(line.str());
  }
  return lines;
}
