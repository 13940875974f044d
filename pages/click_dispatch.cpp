// What a click does: the page choice, the home buttons, the pages' Read and
// Write buttons and their own regions; every click ends by redrawing the
// current page. The point (0, 520) lies on no region of any page: callers use
// it to redraw the page alone.
#include "app/corvane_dlg.h"
#include "dialogs/page_rename.h"

namespace {

constexpr UiRect kHomeIcon{10, 5, 57, 52};
constexpr UiRect kTabStrip{0, 61, 959, 99};
constexpr int kTabWidth = 160;
constexpr int kDashboardPage = 5;
constexpr int kFirmwarePage = 6;
// Ticks that a pressed button keeps its look and ignores clicks.
constexpr std::uint8_t kPressedLook = 5;
constexpr std::uint8_t kTestPressedLook = 25;

// The dashboard is not offered for the model whose ESC reports no live values.
bool DashboardRefused(const CCorvaneDlg& dlg) {
  std::lock_guard lock(dlg.m_settingsMutex);
  return dlg.m_strModelName == "PW5M ";
}

void DrawPageBand(CCorvaneDlg& dlg, const char* picture) {
  dlg.DrawUiImage(picture, 0, 60, 965, 477);
}

// The home page's buttons; they respond once the pressed look of the last
// press has ended. True when one took the click.
bool PressHomeButton(CCorvaneDlg& dlg, int x, int y) {
  if (dlg.m_nPressCountdown != 0) return false;
  for (int row = 7; row <= 11; ++row) {
    const UiRect& r = dlg.m_tiles[row].rect;
    if (!r.Contains(x, y)) continue;
    dlg.DrawUiImage(dlg.m_tiles[row].name, static_cast<float>(r.left), static_cast<float>(r.top - 2),
                    static_cast<float>(r.right - r.left), (r.bottom - r.top) * 1.3f);
    switch (row) {
      case 7:
        dlg.OnBnClickedLoadFromPc();
        break;
      case 8:
        dlg.OnBnClickedSaveToPc();
        break;
      case 9:
        dlg.OnBnClickedEscDefault();
        break;
      case 10:
        dlg.OnBnClickedEscRead();
        break;
      default:
        dlg.OnBnClickedApply();
        break;
    }
    DrawPageBand(dlg, dlg.m_tiles[0].name);
    dlg.m_nPressCountdown = kPressedLook;
    return true;
  }
  return false;
}

// The home page's tiles lead to their pages (the home icon, tile 0, to the
// home page). True when the point lies on one, refused or not.
bool ChooseHomeTile(CCorvaneDlg& dlg, int x, int y) {
  for (int row = 0; row <= 6; ++row) {
    if (!dlg.m_tiles[row].rect.Contains(x, y)) continue;
    if (row != kDashboardPage || !DashboardRefused(dlg)) dlg.m_nPage = static_cast<std::uint8_t>(row);
    return true;
  }
  return false;
}

// The home icon and the tab strip of six 160-pixel tabs, on any page.
void ChooseTab(CCorvaneDlg& dlg, int x, int y) {
  if (kHomeIcon.Contains(x, y)) {
    dlg.m_nPage = 0;
  } else if (kTabStrip.Contains(x, y)) {
    const int page = x / kTabWidth + 1;
    if (page != kDashboardPage || !DashboardRefused(dlg)) dlg.m_nPage = static_cast<std::uint8_t>(page);
    DrawPageBand(dlg, dlg.m_tiles[dlg.m_nPage].name);
  }
}

// Read and Write of pages 1 to 4: the read or write request, which the link
// takes only while no operation is under way.
struct PageButton {
  int firstPage, lastPage;
  int left, right;
  const char* picture;
  float x, y;
  void (CCorvaneDlg::*request)();
};

constexpr int kPageButtonTop = 481;
constexpr int kPageButtonBottom = 515;
constexpr PageButton kPageButtons[] = {
    {1, 3, 31, 169, "UI-Read.png", 25, 476, &CCorvaneDlg::OnBnClickedEscRead},
    {1, 3, 171, 309, "UI-Save.png", 170, 476, &CCorvaneDlg::OnBnClickedApply},
    {4, 4, 466, 604, "UI-Read.png", 460, 480, &CCorvaneDlg::OnBnClickedEscRead},
    {4, 4, 606, 744, "UI-Save.png", 605, 480, &CCorvaneDlg::OnBnClickedApply},
};

void PressPageButton(CCorvaneDlg& dlg, int x, int y) {
  if (dlg.m_nPressCountdown != 0 || y < kPageButtonTop || y > kPageButtonBottom) return;
  const int page = dlg.m_nPage;
  for (const PageButton& button : kPageButtons) {
    if (page < button.firstPage || page > button.lastPage || x < button.left || x > button.right) continue;
    dlg.m_nPressCountdown = kPressedLook;
    dlg.DrawUiImage(button.picture, button.x, button.y, 145, 48);
    (dlg.*button.request)();
    return;
  }
}

// ---- the pages' own regions ----

constexpr UiRect kProfileList{160, 150, 288, 449};
constexpr UiRect kProfileListOpener{290, 117, 317, 147};
constexpr UiRect kLanguageListOpener{884, 117, 912, 150};
constexpr UiRect kRenameButton{357, 118, 455, 145};
constexpr UiRect kDefaultButton{457, 118, 555, 145};

// A profile picked in the open list becomes the selected one; without a
// connected ESC only the first profile can be picked.
void PickProfile(CCorvaneDlg& dlg, int y) {
  const auto pick = static_cast<std::uint8_t>(dlg.m_bEscConnected ? (y - 150) / 30 : 0);
  dlg.EditSettings([&](SettingsImage& image) { image.selectedProfile = pick; });
  if (pick != dlg.m_nLastProfile) {
    // The next write takes the whole image.
    dlg.m_bProfileChanged = 1;
    dlg.m_nLastProfile = pick;
  }
  dlg.LoadDefaultProfile();
}

void ClickGeneralPage(CCorvaneDlg& dlg, int x, int y) {
  if (dlg.m_nOpenList == 1) {
    // Any click closes the open profile list; one on it picks a profile.
    if (kProfileList.Contains(x, y)) PickProfile(dlg, y);
    dlg.m_nOpenList = 0;
  } else if (kProfileListOpener.Contains(x, y)) {
    dlg.m_nListRequest = 1;
  } else if (kLanguageListOpener.Contains(x, y)) {
    dlg.m_nListRequest = 2;
  } else if (kRenameButton.Contains(x, y)) {
    dlg.DrawUiImage("UI-Rename.png", 352, 115, 104, 38);
    CPageRename rename(dlg);
    rename.m_pSettings = dlg.m_pageSeting.m_pSettings;
    rename.DoModal();
  } else if (kDefaultButton.Contains(x, y)) {
    dlg.DrawUiImage("UI-Default.png", 456, 115, 104, 38);
    dlg.m_pageSeting.OnBnClickedDefault();
  }
  dlg.DrawGeneralPage();
}

constexpr UiRect kThrottleCurveSwitch{170, 158, 290, 185};
constexpr int kThrottleCurveLineRight = 230;
constexpr UiRect kDeadBandButton{820, 420, 900, 460};

void ClickThrottlePage(CCorvaneDlg& dlg, int x, int y) {
  // The "Linear" half of the switch, and the "Custom" half that opens the curve editor.
  if (dlg.m_bEscConnected && kThrottleCurveSwitch.Contains(x, y)) {
    if (x <= kThrottleCurveLineRight) {
      dlg.EditSelectedProfile(
          [](SettingsImage&, SettingProfile& p) { p.profileFlags |= kFlagLinearThrottle; });
    } else {
      dlg.EditThrottleCurve();
    }
  } else if (kDeadBandButton.Contains(x, y)) {
    dlg.EditDeadBand();
  }
  dlg.DrawThrottlePage();
}

constexpr UiRect kBrakeCurveSwitch{160, 158, 280, 185};
constexpr int kBrakeCurveLineRight = 220;

void ClickBrakePage(CCorvaneDlg& dlg, int x, int y) {
  // The "Linear" half of the switch, and the "Custom" half that opens the curve editor.
  if (dlg.m_bEscConnected && kBrakeCurveSwitch.Contains(x, y)) {
    if (x <= kBrakeCurveLineRight) {
      dlg.EditSelectedProfile([](SettingsImage&, SettingProfile& p) { p.brakeCurveLinear = 1; });
    } else {
      dlg.EditBrakeCurve();
    }
  }
  dlg.DrawBrakePage();
}

constexpr UiRect kTimingOffSwitch{42, 495, 62, 515};

void ClickTimingPage(CCorvaneDlg& dlg, int x, int y) {
  if (kTimingOffSwitch.Contains(x, y)) {
    dlg.EditSelectedProfile([](SettingsImage&, SettingProfile& p) { p.profileFlags ^= kFlagTimingOff; });
  }
  dlg.DrawTimingPage();
}

constexpr UiRect kTestButton{896, 260, 946, 290};
constexpr UiRect kPolesButton{620, 375, 700, 400};
constexpr UiRect kGearRatioButton{620, 420, 700, 445};
constexpr UiRect kWheelDiameterButton{620, 465, 700, 490};

void ClickDashboardPage(CCorvaneDlg& dlg, int x, int y) {
  if (kTestButton.Contains(x, y)) {
    if (dlg.m_nPressCountdown == 0) {
      dlg.m_nPressCountdown = kTestPressedLook;
      dlg.DrawUiImage("UI-Test.png", 886, 250, 70, 45);
      if (!dlg.NoLinkForRequest()) dlg.QueueTimingTest();
    }
  } else if (kGearRatioButton.Contains(x, y)) {
    dlg.EditGearRatio();
  } else if (kWheelDiameterButton.Contains(x, y)) {
    dlg.EditWheelDiameter();
  } else if (kPolesButton.Contains(x, y)) {
    dlg.EditPoles();
  }
  dlg.DrawDashboardPage();
}

// The list openers of the firmware page; while a list is open their columns
// reach down over the list's scroll arrows, so a scroll keeps the list open.
constexpr int kEscListOpenerLeft = 366, kEscListOpenerRight = 394;
constexpr int kBoxListOpenerLeft = 823, kBoxListOpenerRight = 852;
constexpr int kListOpenerTop = 413, kListOpenerBottom = 445, kOpenListDepth = 90;
constexpr UiRect kEscUpgradeButton{309, 145, 387, 165};
constexpr UiRect kBoxUpgradeButton{773, 145, 852, 165};

void ClickFirmwarePage(CCorvaneDlg& dlg, int x, int y) {
  const int bottom = kListOpenerBottom + kOpenListDepth * dlg.m_bFwListOpen;
  const bool openerRow = y >= kListOpenerTop && y <= bottom;
  if (openerRow && x >= kEscListOpenerLeft && x <= kEscListOpenerRight) {
    dlg.m_nListRequest = 1;
  } else if (openerRow && x >= kBoxListOpenerLeft && x <= kBoxListOpenerRight) {
    dlg.m_nListRequest = 2;
  } else {
    if (!dlg.m_bUpgradeStarted) {
      if (kEscUpgradeButton.Contains(x, y)) {
        dlg.StartPageUpgrade(true);
      } else if (kBoxUpgradeButton.Contains(x, y)) {
        dlg.StartPageUpgrade(false);
      }
    }
    // Any other click closes an open list.
    dlg.m_bFwListOpen = 0;
  }
  // An upgrade's download keeps the window live, so the user may have moved
  // to another page meanwhile: the page current now is the one drawn.
  if (dlg.m_nPage != kFirmwarePage) {
    dlg.DispatchClick(0, 520);
    return;
  }
  dlg.DrawUpgradePage();
}

}  // namespace

void CCorvaneDlg::DispatchClick(int x, int y) {
  if (m_nPage != 0 || !ChooseHomeTile(*this, x, y)) {
    if (m_nPage == 0 && PressHomeButton(*this, x, y)) return;
    ChooseTab(*this, x, y);
  }
  // The point is tested again on the page it chose.
  PressPageButton(*this, x, y);
  if (m_nPage != kFirmwarePage) {
    m_host.setControlText(IDC_FIRMWARE_NOTE_RIGHT, "");
    m_host.setControlText(IDC_FIRMWARE_NOTE_LEFT, "");
  }
  switch (m_nPage) {
    case 0:
      DrawPageBand(*this, m_tiles[0].name);
      break;
    case 1:
      ClickGeneralPage(*this, x, y);
      break;
    case 2:
      ClickThrottlePage(*this, x, y);
      break;
    case 3:
      ClickBrakePage(*this, x, y);
      break;
    case 4:
      ClickTimingPage(*this, x, y);
      break;
    case 5:
      ClickDashboardPage(*this, x, y);
      break;
    default:
      ClickFirmwarePage(*this, x, y);
      break;
  }
}
