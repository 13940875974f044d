// The frame around the pages: the banner and the status bar with the two
// connection dots, and the drawing of pictures from the picture folders.
#include "app/corvane_dlg.h"
#include "app/texts/ui_text_table.h"
#include "platform/drive_c.h"

namespace {

constexpr platform::Argb kWhite = 0xFFFFFFFF;
constexpr platform::Argb kFirmwareNoteColor = 0xFFF7680C;
const platform::Font kFrameFont{"Arial", 0.24f};

// Language folders differ in the letter after "LANGUAGE_": E, C, J, G.
std::string LanguageFolder(int language) {
  static constexpr char kLetters[] = {'E', 'C', 'J', 'G'};
  const char letter = language >= 0 && language < kLanguageCount ? kLetters[language] : 'E';
  return std::string("C:\\CORVANE\\REC\\LANGUAGE_") + letter + "N\\";
}

constexpr const char* kCommonFolder = "C:\\CORVANE\\REC\\LANGUAGE_PN\\";

}  // namespace

const UiTile kPictureTable[kTileCount] = {
    {0, "UI-01.PNG", {7, 10, 53, 56}},      {0, "UI-02.PNG", {0, 60, 321, 270}},
    {0, "UI-03.PNG", {322, 60, 642, 270}},  {0, "UI-04.PNG", {643, 60, 963, 270}},
    {0, "UI-05.PNG", {0, 270, 321, 480}},   {0, "UI-06.PNG", {322, 270, 642, 480}},
    {0, "UI-07.PNG", {643, 270, 963, 480}}, {0, "UI-11.PNG", {146, 490, 282, 526}},
    {0, "UI-12.PNG", {282, 490, 415, 526}}, {0, "UI-13.PNG", {415, 490, 549, 526}},
    {0, "UI-14.PNG", {549, 490, 681, 526}}, {0, "UI-15.PNG", {681, 490, 815, 526}},
};

void CCorvaneDlg::DrawUiImage(const std::string& name, float x, float y, float width, float height) {
  m_host.paint([&](platform::Canvas& canvas) { DrawUiImageTo(true, canvas, name, x, y, width, height); });
}

void CCorvaneDlg::DrawUiImageTo(bool inLanguageFolder, platform::Canvas& canvas, const std::string& name,
                                float x, float y, float width, float height) {
  const std::string folder = inLanguageFolder ? LanguageFolder(m_nLanguage) : kCommonFolder;
  // A missing picture leaves its place undrawn.
  canvas.drawImage(platform::MapDriveC(folder + name), {x, y, width, height});
}

void CCorvaneDlg::DrawFrame() {
  // Only the UI thread draws; other threads ask it to.
  if (!m_host.isUiThread()) {
    m_host.post([this] { DrawFrame(); });
    return;
  }

  // The frame is composed off screen; its transparent page band leaves the
  // page on the window as it is.
  auto layer = m_host.createLayer(kClientWidth, kClientHeight);
  platform::Canvas& frame = layer->canvas();
  const int language = m_nLanguage;
  const bool usb = m_bLinkRunning;
  const bool esc = usb && m_bEscConnected;
  DrawUiImageTo(false, frame, "UI-61.PNG", 0, 537, 970, 32);
  DrawUiImageTo(false, frame, "UI-ORB-File.PNG", 0, 0, 965, 60);
  frame.drawText(StatusLabel(7, language), kFrameFont, kWhite, {750, 539});
  DrawUiImageTo(false, frame, usb ? "UI-G.PNG" : "UI-R.PNG", 30, 541, 20, 20);
  frame.drawText(StatusLabel(usb ? 3 : 4, language), kFrameFont, kWhite, {60, 539});
  DrawUiImageTo(false, frame, esc ? "UI-G.PNG" : "UI-R.PNG", 380, 541, 20, 20);
  frame.drawText(StatusLabel(esc ? 5 : 6, language), kFrameFont, kWhite, {400, 539});

  if (m_bRedrawPage == 1) DispatchClick(0, 520);
  m_host.paint([&](platform::Canvas& canvas) { canvas.drawLayer(*layer, {0, 0}); });
}

void CCorvaneDlg::OnPaint() {
  DrawFrame();
}

platform::ControlColors CCorvaneDlg::OnCtlColor(int controlId) {
  // The firmware page's two notes stand on the drawn page, in orange.
  if (controlId == IDC_FIRMWARE_NOTE_RIGHT || controlId == IDC_FIRMWARE_NOTE_LEFT) {
    return {kFirmwareNoteColor};
  }
  return {};
}
