// Labels of the pictures in each language: the program's own texts where its
// tables have them, and a few of our own where they do not.
#pragma once

#include <QString>
#include <QStringList>

namespace pictures {

// Text `id` of the program's text table, without the blanks some entries
// carry; a long German compound may break inside when its label wraps.
QString TableText(int id, int language);

// Labels the program's tables do not have.
enum class OwnText {
  kDashboard,
  kMotorTemperature,
  kEscTemperature,
  kSpeed,
  kTiming,
  kTest,
  kGearRatio,
  kWheelDiameter,
  kMotorPoles,
  kVehicle,
  kServerVersion,
  kLanguage,
  kExtraOption,
  kTotal,
  kFullThrottle,
  kFullBrake,
  kClickToChange,
};
QString Own(OwnText text, int language);

// Name of page 1..6 as the home tiles and the tab strip show it.
QString PageName(int page, int language);

// What a page holds, as a few of its item names (for the home tiles).
QStringList PageSummary(int page, int language);

// The separator between listed items.
QString ListSeparator(int language);

}  // namespace pictures
