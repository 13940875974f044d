// The curve editor on the headless host: its conversions, editing with the
// mouse, the write-back and the hand-over to the link, and stored curves that
// no editing could have produced.
#include <gtest/gtest.h>

#include <cstring>

#include "app/corvane_dlg.h"
#include "dialogs/page_show.h"
#include "support/headless_host.h"

namespace {

using Script = std::function<void(HeadlessCanvasDialog&)>;

// The canvas is 1047 x 401 px: the origin at (60, 376), the last point of a
// rising curve at (860, 56).
constexpr int kOx = 60, kOy = 376, kLx = 860, kLy = 56;

class CurveEditor : public ::testing::Test {
 protected:
  void SetUp() override {
    dlg = std::make_unique<CCorvaneDlg>(host);
    dlg->LoadDefaultSettings();
    dlg->m_bEscConnected = 1;
    dlg->m_bIdentifySent = 1;  // where the link has identified the devices
  }
  void TearDown() override { dlg->m_bLinkRunning = 0; }

  // The factory throttle line (0, 0)-(255, 255), edited directly.
  void RunFactoryLine(CPageShow& editor, const Script& script) {
    editor.m_pt[0] = {0, 0, 1, 1, 0, 0};
    editor.m_pt[1] = {255, 255, 1, 1, 0, 0};
    editor.m_nPoints = 2;
    editor.m_nMinPoints = 2;
    editor.m_nMaxPoints = 16;
    editor.m_nAxisMax = 100;
    host.WhileCanvasDialogOpen(script);
    editor.DoModal();
  }
  // Opens the editor as the page does, from the Custom half of its switch.
  void OpenFromPage(int page, const Script& script) {
    host.WhileCanvasDialogOpen(script);
    dlg->m_nPage = static_cast<std::uint8_t>(page);
    dlg->m_nClickBlock = 0;
    dlg->OnLButtonDown(page == 2 ? 250 : 240, 170);
    dlg->OnLButtonUp(page == 2 ? 250 : 240, 170);
  }
  void EditProfile(const std::function<void(SettingProfile&)>& edit) {
    dlg->EditSelectedProfile([&](SettingsImage&, SettingProfile& p) { edit(p); });
  }
  SettingProfile Profile() const {
    SettingProfile p{};
    dlg->SelectedProfile(p);
    return p;
  }
  // The pairs and the count word of the curve that page 2 or page 3 opens.
  static std::pair<std::uint8_t*, std::uint16_t*> Curve(SettingProfile& p, int page) {
    return page == 2 ? std::pair{p.throttleCurve, &p.throttleCurvePoints}
                     : std::pair{p.brakeCurve, &p.brakeCurvePoints};
  }
  static void StoreCurve(std::uint8_t* pairs, std::uint16_t& count,
                         const std::vector<std::pair<int, int>>& points, int storedCount) {
    int i = 0;
    for (auto [x, y] : points) {
      pairs[2 * i] = static_cast<std::uint8_t>(x);
      pairs[2 * i + 1] = static_cast<std::uint8_t>(y);
      ++i;
    }
    count = static_cast<std::uint16_t>(storedCount);
  }
  // The texts drawn but the readout, which starts with "X:".
  static std::vector<std::string> Labels(HeadlessCanvasDialog& d) {
    std::vector<std::string> texts = d.Drawn().Texts();
    std::erase_if(texts, [](const std::string& text) { return text.starts_with("X:"); });
    return texts;
  }
  static int RedLines(HeadlessCanvasDialog& d) {
    int lines = 0;
    for (const DrawOp& op : d.Drawn().Ops())
      lines += op.kind == DrawOp::Kind::Line && op.color == 0xFFFF0000;
    return lines;
  }

  HeadlessHost host;
  std::unique_ptr<CCorvaneDlg> dlg;
};

TEST_F(CurveEditor, ConversionsAtTheSpanEdgesAndTheRoundingRule) {
  CPageShow editor(*dlg);
  RunFactoryLine(editor, [&](HeadlessCanvasDialog& d) {
    EXPECT_EQ(d.canvasWidth(), 1047);
    EXPECT_EQ(d.canvasHeight(), 401);
    EXPECT_EQ(d.Caption(), "Throttle Curve");
    struct Case {
      int px, py;
      std::uint32_t x, y;  // 999: left as it was
    } cases[] = {
        {kOx + 400, kOy - 160, 128, 128},  // t = 1275 rounds up
        {kOx, kOy, 0, 0},
        {kLx, kLy, 255, 255},
        {kOx + 1, kOy - 1, 0, 1},  // t = 3 rounds down, 7 rounds up
        {kOx + 2, kOy - 2, 1, 2},
        {kOx - 1, kOy + 1, 999, 999},  // outside the span
        {kLx + 1, kLy - 1, 999, 999},
    };
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << c.px << "," << c.py);
      std::uint32_t x = 999, y = 999;
      editor.PointToValue(c.px, c.py, x, y);
      EXPECT_EQ(x, c.x);
      EXPECT_EQ(y, c.y);
    }
    // Values back to pixels: x 128 stands 401 px right of the origin.
    editor.m_pt[2] = editor.m_pt[1];
    editor.m_pt[1] = {128, 128, 1, 1, 0, 0};
    editor.m_nPoints = 3;
    const platform::Point at = editor.ValueToPoint(1);
    EXPECT_EQ(at.x, kOx + 401);
    EXPECT_EQ(at.y, kOy - 160);
    EXPECT_EQ(editor.ValueToPoint(0).x, 0);
    EXPECT_EQ(editor.ValueToPoint(3).x, 0);

    // Falling ends convert as the mirror of rising ones: (200, 200)-(10, 10)
    // against (10, 10)-(200, 200), where value v mirrors 210 - v.
    const auto roundTrip = [&](std::uint32_t end0, std::uint32_t end1, std::uint32_t v) {
      editor.m_pt[0] = {end0, end0, 1, 1, 0, 0};
      editor.m_pt[1] = {v, v, 1, 1, 0, 0};
      editor.m_pt[2] = {end1, end1, 1, 1, 0, 0};
      editor.InitPointPositions();
      std::uint32_t x = 999, y = 999;
      editor.PointToValue(editor.m_pt[1].xPixel, editor.m_pt[1].yPixel, x, y);
      return std::pair{x, y};
    };
    for (std::uint32_t v = 10; v <= 200; ++v) {
      SCOPED_TRACE(testing::Message() << "value " << v);
      const auto [fallingX, fallingY] = roundTrip(200, 10, v);
      const auto [risingX, risingY] = roundTrip(10, 200, 210 - v);
      EXPECT_EQ(fallingX, 210 - risingX);
      EXPECT_EQ(fallingY, 210 - risingY);
    }
  });
}

TEST_F(CurveEditor, InsertDragRemoveAndDefault) {
  CPageShow editor(*dlg);
  RunFactoryLine(editor, [&](HeadlessCanvasDialog& d) {
    // Presses beside the ends of the line or off it insert nothing.
    for (auto [x, y] : {std::pair{kOx + 5, kOy - 2}, {kLx - 5, kLy + 2}, {kOx - 20, kOy}, {460, 300}}) {
      d.Press(x, y);
      d.Release(x, y);
    }
    EXPECT_EQ(editor.m_nPoints, 2);

    // A press on the line inserts a point there and takes it for dragging.
    d.Press(460, 216);
    EXPECT_EQ(editor.m_nPoints, 3);
    EXPECT_EQ(editor.m_nSelected, 1);
    EXPECT_EQ(editor.m_pt[1].xValue, 128u);
    EXPECT_EQ(editor.m_pt[1].yValue, 128u);
    EXPECT_EQ(editor.m_pt[1].exact, 0);
    // Dragged, it keeps 10 px from its neighbours and stays between their heights.
    struct Drag {
      int x, y, expectX, expectY;
    } drags[] = {{700, 100, 700, 100}, {1000, 0, kLx - 10, kLy}, {0, 400, kOx + 10, kOy}};
    for (const Drag& drag : drags) {
      d.Move(drag.x, drag.y, true);
      EXPECT_EQ(editor.m_pt[1].xPixel, drag.expectX);
      EXPECT_EQ(editor.m_pt[1].yPixel, drag.expectY);
    }
    d.Release(0, 400);
    EXPECT_EQ(editor.m_nSelected, -2);

    // Up to 16 points; then a press on a segment inserts nothing.
    for (int x = 100; editor.m_nPoints < 16 && x < kLx; x += 45) {
      d.Press(x, kOy - (x - kOx) * 320 / 800);
      d.Release(x, 0);
    }
    ASSERT_EQ(editor.m_nPoints, 16);
    for (int k = 1; k < 16; ++k)
      ASSERT_GT(editor.m_pt[k].xPixel, editor.m_pt[k - 1].xPixel);
    const int x = (editor.m_pt[14].xPixel + editor.m_pt[15].xPixel) / 2;
    const int y = (editor.m_pt[14].yPixel + editor.m_pt[15].yPixel) / 2;
    d.Press(x, y);
    EXPECT_EQ(editor.m_nPoints, 16);

    // Right presses remove inner points only, down to the fewest.
    d.RightPress(kOx, kOy);
    d.RightPress(kLx, kLy);
    EXPECT_EQ(editor.m_nPoints, 16);
    editor.OnBnClickedDefault();
    EXPECT_EQ(editor.m_nPoints, 2);
    EXPECT_EQ(editor.m_pt[1].xPixel, kLx);
    d.Press(460, 216);
    d.Release(460, 216);
    ASSERT_EQ(editor.m_nPoints, 3);
    editor.m_nMinPoints = 3;
    d.RightPress(460, 216);
    EXPECT_EQ(editor.m_nPoints, 3);
    EXPECT_EQ(editor.m_nSelected, 1);  // kept, selected
    editor.m_nMinPoints = 2;
    d.RightPress(460, 216);
    EXPECT_EQ(editor.m_nPoints, 2);
    editor.OnBnClickedDefault();  // nothing at two points
    EXPECT_EQ(editor.m_nPoints, 2);
  });
}

// Dragged, a point stays 10 px left of its right neighbour, then 10 px right
// of its left one, which wins where they are under 20 px apart; neighbours
// under 10 px apart hold it halfway.
TEST_F(CurveEditor, DragBetweenCloseNeighbours) {
  CPageShow editor(*dlg);
  RunFactoryLine(editor, [&](HeadlessCanvasDialog& d) {
    struct Case {
      int gap, cursorX, expectX;
    } cases[] = {{30, 0, 410}, {30, 1000, 420}, {15, 0, 410}, {15, 1000, 410},
                 {10, 0, 410}, {10, 1000, 410}, {5, 0, 402},  {5, 1000, 402}};
    editor.m_pt[4] = editor.m_pt[1];
    editor.m_nPoints = 5;
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << "gap " << c.gap << ", cursor " << c.cursorX);
      editor.m_pt[1] = {0, 0, 0, 1, 400, 300};
      editor.m_pt[2] = {0, 0, 0, 1, 400, 250};
      editor.m_pt[3] = {0, 0, 0, 1, 400 + c.gap, 200};
      editor.m_nSelected = 2;
      d.Move(c.cursorX, 250, true);
      EXPECT_EQ(editor.m_pt[2].xPixel, c.expectX);
      EXPECT_EQ(editor.m_pt[2].yPixel, 250);
    }
  });
}

// The readout shows where the pointer is, held within the curve's span, and
// nothing before the pointer comes over the canvas or after it has left.
TEST_F(CurveEditor, ReadoutFollowsThePointer) {
  CPageShow editor(*dlg);
  RunFactoryLine(editor, [&](HeadlessCanvasDialog& d) {
    const auto readout = [&] {
      editor.DrawCurve();
      std::vector<std::string> texts = d.Drawn().Texts();
      d.Drawn().Clear();
      return texts.back().starts_with("X:") ? texts.back() : "";
    };
    EXPECT_EQ(readout(), "");
    d.Move(460, 216);
    EXPECT_EQ(readout(), "X:50%  Y:50%");
    d.Move(10, 390);
    EXPECT_EQ(readout(), "X:0%  Y:0%");
    d.Leave();
    EXPECT_EQ(readout(), "");
    d.Move(1100, 216);
    EXPECT_EQ(readout(), "");
  });
}

TEST_F(CurveEditor, OkWritesBackAndWaitsForTheLink) {
  EditProfile([](SettingProfile& p) {
    StoreCurve(p.throttleCurve, p.throttleCurvePoints, {{0, 0}, {60, 40}, {120, 100}, {180, 170}, {255, 255}},
               5);
    p.profileFlags = 0x41;
  });
  dlg->m_bLinkRunning = 1;
  dlg->m_bBusy = 1;  // an operation under way
  OpenFromPage(2, [&](HeadlessCanvasDialog& d) {
    ASSERT_TRUE(d.Tick(TIMER_CURVE_REFRESH));
    // The points (120, 100) and (180, 170) are removed: 5 points to 3.
    d.RightPress(436, 251);
    d.RightPress(624, 163);
    d.Click(IDC_CURVE_OK);
    const SettingProfile p = Profile();
    const std::uint8_t expected[] = {0, 0, 60, 40, 255, 255, 180, 170, 255, 255};
    EXPECT_EQ(0, std::memcmp(p.throttleCurve, expected, sizeof expected));
    EXPECT_EQ(p.throttleCurvePoints, 3);
    EXPECT_EQ(p.profileFlags, 0x40);

    // Nothing is handed over while the link is busy; the editor waits with
    // its commands disabled and does not close.
    for (int id : {IDC_CURVE_DEFAULT, IDC_CURVE_OK, IDC_CURVE_CANCEL})
      EXPECT_FALSE(d.ItemEnabled(id));
    EXPECT_FALSE(d.CloseEnabled());
    EXPECT_EQ(dlg->m_bJobQueued, 0);
    d.Escape();
    d.Enter();
    d.Tick(TIMER_CURVE_REFRESH);
    EXPECT_FALSE(d.Ended());
    EXPECT_EQ(dlg->m_bJobQueued, 0);

    // Idle: the next tick hands over the profile write.
    dlg->m_bBusy = 0;
    d.Tick(TIMER_CURVE_REFRESH);
    EXPECT_EQ(dlg->m_nChannel, kChannelEsc);
    EXPECT_EQ(dlg->m_nPendingOp, kCmdWriteBlock);
    EXPECT_EQ(dlg->m_frames[0].txCommand, kCmdIdentify);
    EXPECT_EQ(dlg->m_frames[0].txLength, 0);
    EXPECT_EQ(dlg->m_bJobQueued, 1);
    // Taken and under way: still waiting; ended: the commands come back.
    dlg->m_bJobQueued = 0;
    dlg->m_bBusy = 1;
    d.Tick(TIMER_CURVE_REFRESH);
    EXPECT_FALSE(d.ItemEnabled(IDC_CURVE_OK));
    dlg->m_bBusy = 0;
    d.Tick(TIMER_CURVE_REFRESH);
    EXPECT_TRUE(d.ItemEnabled(IDC_CURVE_OK));
    EXPECT_TRUE(d.CloseEnabled());
  });
  EXPECT_TRUE(host.LastCanvasDialog()->Ended());
  EXPECT_EQ(host.RefusedCanvasCloses(), 0);
}

TEST_F(CurveEditor, ClosingDuringTheWriteLeavesItToTheLinkAndALostEscClosesTheEditor) {
  dlg->m_bLinkRunning = 1;
  OpenFromPage(3, [&](HeadlessCanvasDialog& d) {
    EXPECT_EQ(d.Caption(), "Brake Curve");
    d.Click(IDC_CURVE_OK);
    ASSERT_EQ(dlg->m_bJobQueued, 1);
    d.CloseBox();  // disabled
    EXPECT_FALSE(d.Ended());
    d.Enter();
    EXPECT_TRUE(d.Ended());
  });
  // The queued write is left as it was.
  EXPECT_EQ(dlg->m_bJobQueued, 1);
  EXPECT_EQ(dlg->m_nPendingOp, kCmdWriteBlock);
  EXPECT_EQ(Profile().brakeCurveLinear, 0);
  EXPECT_EQ(Profile().brakeCurvePoints, 2);

  // A write the link never took, as it stayed busy until the ESC was lost,
  // is said to have failed.
  struct Case {
    bool fromFile, closes, busy;
  } cases[] = {{false, true, false}, {true, false, false}, {false, true, true}};
  for (const Case& c : cases) {
    dlg->m_bFromFile = c.fromFile;
    dlg->m_bJobQueued = 0;
    dlg->m_bBusy = c.busy;
    dlg->m_nStatusTextId = 8;
    OpenFromPage(2, [&](HeadlessCanvasDialog& d) {
      d.Click(IDC_CURVE_OK);
      dlg->m_bEscConnected = 0;
      d.Tick(TIMER_CURVE_REFRESH);
      d.Pump();
      EXPECT_EQ(d.Ended(), c.closes);
      EXPECT_EQ(d.ItemEnabled(IDC_CURVE_OK), !c.closes);
      dlg->m_bEscConnected = 1;
    });
    EXPECT_EQ(dlg->m_nStatusTextId, c.busy ? 24 : 8);  // "Fail, Try Again"
  }
  dlg->m_bBusy = 0;
  // Without a link OK changes the profile in memory only, and says so.
  dlg->m_bLinkRunning = 0;
  dlg->m_bJobQueued = 0;
  OpenFromPage(2, [&](HeadlessCanvasDialog& d) {
    d.Click(IDC_CURVE_OK);
    EXPECT_TRUE(d.ItemEnabled(IDC_CURVE_OK));
    EXPECT_EQ(dlg->m_nStatusTextId, 27);  // "USB Connection Fail"
    d.Click(IDC_CURVE_CANCEL);
    d.Pump();
    EXPECT_TRUE(d.Ended());
  });
  EXPECT_EQ(dlg->m_bJobQueued, 0);
}

TEST_F(CurveEditor, AxisLabelsAndTheBrakeAxisRule) {
  struct Case {
    int page;
    std::uint8_t strength, initial, drag;
    std::vector<std::string> labels;  // x labels, then y labels
  } cases[] = {
      {2, 0, 0, 0, {"0%",   "10%", "20%",   "30%", "40%",   "50%", "60%",   "70%", "80%",   "90%",
                    "100%", "0%",  "12.5%", "25%", "37.5%", "50%", "62.5%", "75%", "87.5%", "100%"}},
      // The initial brake is the axis bottom up to 50, else the drag brake.
      {3, 40, 20, 0, {"20%", "22%", "24%",   "26%", "28%",   "30%", "32%",   "34%", "36%",   "38%",
                      "40%", "20%", "22.5%", "25%", "27.5%", "30%", "32.5%", "35%", "37.5%", "40%"}},
      {3, 60, 51, 30, {"30%", "33%", "36%",   "39%",   "42%",   "45%", "48%",   "51%",   "54%",   "57%",
                       "60%", "30%", "33.8%", "37.5%", "41.2%", "45%", "48.8%", "52.5%", "56.2%", "60%"}},
      // Lowered to the top: nothing to edit, the first labels only.
      {3, 20, 30, 0, {"20%", "20%"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "page " << c.page << " strength " << int{c.strength});
    dlg->LoadDefaultSettings();
    EditProfile([&](SettingProfile& p) {
      p.brakeStrength = c.strength;
      p.initialBrake = c.initial;
      p.dragBrake = c.drag;
    });
    const bool editable = c.labels.size() > 2;
    OpenFromPage(c.page, [&](HeadlessCanvasDialog& d) {
      dlg->m_bLinkRunning = 1;  // for the tick's drawing
      d.Tick(TIMER_CURVE_REFRESH);
      dlg->m_bLinkRunning = 0;
      EXPECT_EQ(Labels(d), c.labels);
      EXPECT_EQ(RedLines(d) > 0, editable);
      d.Move(460, 216);
      d.Press(460, 216);
      d.Release(460, 216);
      d.Click(IDC_CURVE_OK);
    });
    const SettingProfile p = Profile();
    EXPECT_EQ(c.page == 2 ? p.throttleCurvePoints : p.brakeCurvePoints, editable ? 3 : 2);
  }
}

// Stored curves of any shape. Opened and OK'd without an edit, each comes
// back byte for byte but for the linear flag (a count beyond the 16 pairs
// becomes 16); edited at random, none makes the editor show "nan" or touch
// more than the curve's pairs 1 to 15 and its count. A count below 2 is no
// custom curve: the editor shows nothing and OK leaves the profile alone.
//
// Some are first edited: OK then writes every point as shown, each placed one
// with the values at its position.
TEST_F(CurveEditor, StoredCurvesComeBackAsStoredAndEditSafely) {
  std::vector<std::pair<int, int>> scrambled;
  for (int i = 0; i < kCurvePairs; ++i)
    scrambled.emplace_back(i * 37 % 256, i * 91 % 256);
  // Presses at each of the points in turn, drags what the press took by dx
  // and releases.
  const auto edit = [](std::vector<std::pair<int, int>> presses, int dx) -> Script {
    return [=](HeadlessCanvasDialog& d) {
      for (auto [x, y] : presses) {
        d.Press(x, y);
        if (dx != 0) d.Move(x + dx, y, true);
        d.Release(x + dx, y);
      }
    };
  };
  struct Case {
    const char* what;
    std::vector<std::pair<int, int>> points;
    int count;
    Script edit = nullptr;
    std::vector<std::pair<int, int>> written = {};  // the curve OK writes after the edit
  } cases[] = {
      {"narrow x span, three points placed at x 103",
       {{100, 0}, {110, 255}},
       2,
       edit({{260, 296}, {280, 288}, {300, 280}}, 0),
       {{100, 0}, {103, 64}, {103, 70}, {103, 77}, {110, 255}}},
      {"vertical step, a point placed on it",
       {{0, 0}, {100, 50}, {100, 200}, {255, 255}},
       4,
       edit({{375, 220}}, 0),
       {{0, 0}, {100, 50}, {100, 124}, {100, 200}, {255, 255}}},
      {"falling, a point dragged sideways keeps its height",
       {{0, 200}, {128, 150}, {255, 10}},
       3,
       edit({{461, 292}}, 20),
       {{0, 200}, {134, 150}, {255, 10}}},
      {"falling x, a point dragged sideways keeps its height",
       {{200, 0}, {150, 128}, {100, 255}},
       3,
       edit({{460, 216}}, 20),
       {{200, 0}, {147, 128}, {100, 255}}},
      {"vertical step", {{0, 0}, {100, 50}, {100, 200}, {255, 255}}, 4},
      {"dip", {{0, 0}, {100, 200}, {200, 150}, {255, 255}}, 4},
      {"inner values beyond the ends", {{20, 10}, {5, 250}, {250, 0}, {200, 200}}, 4},
      {"ends at one x", {{100, 0}, {100, 50}, {100, 255}}, 3},
      {"equal ends", {{90, 70}, {30, 200}, {90, 70}}, 3},
      {"first x at the top", {{255, 10}, {255, 20}}, 2},
      {"decreasing x", {{0, 0}, {200, 100}, {100, 50}, {255, 255}}, 4},
      {"flat", {{0, 80}, {128, 80}, {255, 80}}, 3},
      {"falling", {{0, 200}, {128, 250}, {255, 10}}, 3},
      {"16 scrambled", scrambled, 16},
      {"count 17", scrambled, 17},
      {"count 300", {{0, 0}, {255, 255}}, 300},
      {"count 0", {{0, 0}, {255, 255}}, 0},
      {"count 1", {{0, 0}, {255, 255}}, 1},
  };
  for (const Case& c : cases) {
    for (int page : {2, 3}) {
      SCOPED_TRACE(testing::Message() << c.what << ", page " << page);
      dlg->LoadDefaultSettings();
      EditProfile([&](SettingProfile& p) {
        StoreCurve(Curve(p, page).first, *Curve(p, page).second, c.points, c.count);
      });
      SettingProfile expected = Profile();
      const bool custom = c.count >= 2;
      if (custom) {
        *Curve(expected, page).second = static_cast<std::uint16_t>(std::min(c.count, kCurvePairs));
        if (page == 2) expected.profileFlags &= static_cast<std::uint8_t>(~kFlagLinearThrottle);
        if (page == 3) expected.brakeCurveLinear = 0;
      }
      if (c.edit) {
        auto [pairs, count] = Curve(expected, page);
        StoreCurve(pairs, *count, c.written, static_cast<int>(c.written.size()));
      }
      OpenFromPage(page, [&](HeadlessCanvasDialog& d) {
        EXPECT_EQ(d.Caption() == "Dialog", !custom);
        if (c.edit) c.edit(d);
        d.Click(IDC_CURVE_OK);
      });
      SettingProfile after = Profile();
      EXPECT_EQ(0, std::memcmp(&after, &expected, sizeof after));

      OpenFromPage(page, [&](HeadlessCanvasDialog& d) {
        for (int x = 40; x < 1047; x += 37) {
          d.Move(x, kOy - (x - kOx) * 320 / 800);
          d.Press(d.cursorPos().x, d.cursorPos().y);
          d.Move(x + 30, kOy - (x - kOx) * 320 / 800 - 30, true);
          d.Release(x + 30, 0);
          d.RightPress(x + 30, 0);
        }
        d.Click(IDC_CURVE_OK);
        EXPECT_EQ(d.Drawn().Ops().empty(), !custom);
        for (const std::string& text : d.Drawn().Texts())
          EXPECT_EQ(text.find("nan"), std::string::npos) << text;
      });
      after = Profile();
      auto [pairs, count] = Curve(after, page);
      if (custom) {
        EXPECT_GE(*count, 2);
        EXPECT_LE(*count, kCurvePairs);
        std::memcpy(pairs + 2, Curve(expected, page).first + 2, 2 * kCurvePairs - 2);
        *count = *Curve(expected, page).second;
      }
      EXPECT_EQ(0, std::memcmp(&after, &expected, sizeof after));
    }
  }
}

}  // namespace
