// Page 5, the live dashboard: five needles with their numbers, and the gear
// ratio, wheel diameter and pole count the speed is worked out from.
#include "app/corvane_dlg.h"
#include "pages/dashboard_readings.h"
#include "pages/page_drawing.h"

namespace {

const platform::Font kFont = page::ShellFont(0.18f);

// Turns the needle picture about its own pivot, then moves the pivot onto the
// gauge's.
void DrawNeedle(page::PageDrawing& drawing, const char* picture, platform::RectF aroundPivot, int angle,
                platform::PointF pivot) {
  platform::Canvas& canvas = drawing.canvas();
  canvas.rotateTransform(static_cast<float>(angle));
  canvas.translateTransform(pivot.x, pivot.y);
  drawing.Picture(picture, aroundPivot.x, aroundPivot.y, aroundPivot.width, aroundPivot.height);
  canvas.resetTransform();
}

void DrawPointer(page::PageDrawing& drawing, int angle, platform::PointF pivot) {
  DrawNeedle(drawing, "UI-Po.png", {-10, -10, 20, 80}, angle, pivot);
}

}  // namespace

void CCorvaneDlg::DrawDashboardPage() {
  page::PageDrawing drawing(*this, 5);
  const int timing = m_nLiveTiming;
  drawing.Text(TimingText(timing), kFont, page::kWhite, 910, 213);
  DrawNeedle(drawing, "UI-Timing.png", {-63, -63, 126, 126}, TimingNeedleAngle(timing), {810, 194});

  const std::int64_t rpm = MotorRpm(m_nRpmPeriod, m_nPoles);
  const std::int64_t speed = VehicleSpeed(rpm, m_nWheelDiameter, m_nGearRatio);
  const std::int64_t shownRpm = ShownRpm(rpm);
  const int escTemp = EscTemperature(m_nEscTempAdc);
  const int motorTemp = MotorTemperature(m_nMotorTempAdc);

  DrawPointer(drawing, TemperatureNeedleAngle(motorTemp), {156, 198});
  drawing.Text(TemperatureText(motorTemp), kFont, page::kWhite, 140, 232);
  DrawPointer(drawing, TemperatureNeedleAngle(escTemp), {482, 198});
  drawing.Text(TemperatureText(escTemp), kFont, page::kWhite, 465, 232);
  DrawPointer(drawing, RpmNeedleAngle(shownRpm), {156, 410});
  drawing.Text(RpmText(shownRpm), kFont, page::kWhite, 131, 430);
  DrawPointer(drawing, SpeedNeedleAngle(speed), {480, 410});
  drawing.Text(SpeedText(speed), kFont, page::kWhite, 458, 430);

  drawing.Text(GearRatioText(m_nGearRatio), kFont, page::kWhite, 640, 422);
  drawing.Text(WheelDiameterText(m_nWheelDiameter), kFont, page::kWhite, 638, 470);
  drawing.Text(PolesText(m_nPoles), kFont, page::kWhite, 650, 373);
}
