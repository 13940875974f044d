// The main window on a headless host without a link, as it stands once it
// has started: the picture table, the factory settings, clicks open.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "app/corvane_dlg.h"
#include "support/headless_host.h"

class PageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dlg = std::make_unique<CCorvaneDlg>(host);
    dlg->LoadDefaultSettings();
    for (int row = 0; row < kTileCount; ++row)
      dlg->m_tiles[row] = kPictureTable[row];
    dlg->m_pageSeting.m_pSettings = &dlg->m_settings;
    dlg->m_nClickBlock = 0;
    dlg->m_nPressCountdown = 0;
  }
  void OnPage(int page) {
    dlg->m_nPage = static_cast<std::uint8_t>(page);
    host.Window().Clear();
  }
  void Click(int x, int y) {
    dlg->OnLButtonDown(x, y);
    dlg->OnLButtonUp(x, y);
  }
  SettingProfile Profile() const {
    SettingProfile p{};
    dlg->SelectedProfile(p);
    return p;
  }
  void Edit(const std::function<void(SettingProfile&)>& edit) {
    dlg->EditSelectedProfile([&](SettingsImage&, SettingProfile& p) { edit(p); });
  }
  std::vector<std::uint8_t> ImageBytes() const {
    const SettingsImage image = dlg->SettingsSnapshot();
    return {image.bytes(), image.bytes() + sizeof image};
  }
  bool Drawn() { return !host.Window().Ops().empty(); }

  HeadlessHost host;
  std::unique_ptr<CCorvaneDlg> dlg;
};
