// The main dialog on a headless host with factory settings, for the page
// drawers: what a drawer drew is read back from the window's record. The
// tests run on one thread, so they set the image directly.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "app/corvane_dlg.h"
#include "support/headless_host.h"

using Box = std::array<float, 4>;  // x, y, width, height

class PageDrawerTest : public ::testing::Test {
 protected:
  PageDrawerTest() {
    for (int row = 0; row < kTileCount; ++row)
      dlg.m_tiles[row] = kPictureTable[row];
    dlg.LoadDefaultSettings();
  }
  void Draw(void (CCorvaneDlg::*drawer)()) {
    host.Window().Clear();
    (dlg.*drawer)();
    ops = host.Window().Ops();
  }
  // The pictures of that file name in drawing order; only those at y when given.
  std::vector<Box> Pictures(const std::string& name, float y = -1) const {
    std::vector<Box> boxes;
    for (const DrawOp& op : ops) {
      if (op.kind == DrawOp::Kind::Image && std::filesystem::path(op.file).filename() == name &&
          (y < 0 || op.rect.y == y))
        boxes.push_back({op.rect.x, op.rect.y, op.rect.width, op.rect.height});
    }
    return boxes;
  }
  // The text drawn at the origin (x, y); empty when none.
  std::string TextAt(float x, float y) const {
    for (const DrawOp& op : ops) {
      if (op.kind == DrawOp::Kind::Text && op.from.x == x && op.from.y == y) return op.text;
    }
    return {};
  }

  HeadlessHost host;
  CCorvaneDlg dlg{host};
  SettingsImage& image = dlg.m_settings;
  SettingProfile& profile = dlg.m_settings.profiles[0];
  std::vector<DrawOp> ops;
};
