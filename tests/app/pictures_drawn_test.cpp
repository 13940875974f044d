// Every picture the program draws is found where it reads it from, in every
// language.
#include <filesystem>

#include "app/texts/ui_text_table.h"
#include "app_fixture.h"

namespace {

class PicturesDrawn : public AppTest {};

TEST_F(PicturesDrawn, ExistInEveryFolderTheyAreReadFrom) {
  for (int row = 0; row < kTileCount; ++row)
    dlg->m_tiles[row] = kPictureTable[row];
  dlg->m_nClickBlock = 0;
  for (int language = 0; language < kLanguageCount; ++language) {
    dlg->m_nLanguage = language;
    for (bool connected : {false, true}) {
      dlg->m_bLinkRunning = connected;
      dlg->m_bEscConnected = connected;
      dlg->DrawFrame();
    }
    dlg->m_bLinkRunning = false;
    dlg->m_bHomeDrawn = false;
    dlg->OnTimer(TIMER_FIRST_PAINT);
    // Every hover bar and the home picture under it.
    for (int row = 1; row <= 11; ++row) {
      const UiRect& r = dlg->m_tiles[row].rect;
      dlg->OnMouseMove((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    dlg->DispatchClick(0, 520);
  }
  const auto ops = host.Window().Ops();
  int pictures = 0;
  for (const DrawOp& op : ops) {
    if (op.kind != DrawOp::Kind::Image) continue;
    ++pictures;
    EXPECT_TRUE(std::filesystem::is_regular_file(op.file)) << op.file;
  }
  EXPECT_EQ(pictures, 4 * (2 * 4 + 1 + 11 + 1));  // frames, first paint, hovers, redraw
}

}  // namespace
