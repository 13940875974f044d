// The dashboard's readings: motor rpm, vehicle speed and the two temperatures
// from the raw words the ESC reports, the angles of the five gauge needles
// and the texts of the numbers beside them. All integer arithmetic in 64 bits;
// every division truncates.
#pragma once

#include <cstdint>
#include <string>

// ESC temperature sensor points, falling: point k is 10 * (k + 2) degrees
// Celsius (20 at 4095 down to 130 at 365); the closing 0 ends the last segment.
inline constexpr std::uint32_t EscTempTable[13] = {4095, 3788, 3070, 2443, 1948, 1480, 1155,
                                                   950,  735,  578,  462,  365,  0};
// Motor temperature sensor points, rising: point k is 10 * (k + 1) degrees
// Celsius (10 at 1538); the look-up uses points 0..12.
inline constexpr std::uint32_t MotorTempTable[15] = {1538, 1595, 1652, 1708, 1763, 1815, 1869, 1925,
                                                     1970, 2018, 2072, 2123, 2174, 2230, 0};

// Motor rpm from the period word: (20200000 / period) / (poles / 2). A
// stopped motor (period 0 or 0xFFFF) and a pole count without a pole pair
// (below 2) read 0. Not capped.
std::int64_t MotorRpm(int period, int poles);
// The rpm the gauge shows: above 120000 it reads 0.
std::int64_t ShownRpm(std::int64_t rpm);
// Vehicle speed in hundredths of km/h from the uncapped rpm, the wheel
// diameter in mm and the gear ratio x 100: wheel * rpm * 3.14 * 60 / ratio.
// A ratio or diameter of 0 or below, and any speed of 1200.01 km/h or more,
// read 0.
std::int64_t VehicleSpeed(std::int64_t rpm, int wheelDiameter, int gearRatio);
// Degrees Celsius of the two sensor readings; 0 outside the tables and above 150.
int EscTemperature(int adc);
int MotorTemperature(int adc);

// Needle angles in degrees, clockwise; a reading past a gauge's end puts the
// needle back at its start.
int TimingNeedleAngle(int liveTiming);
int TemperatureNeedleAngle(int celsius);
int RpmNeedleAngle(std::int64_t shownRpm);
int SpeedNeedleAngle(std::int64_t speed);

// Texts beside the gauges and the vehicle values.
std::string TimingText(int liveTiming);            // "05"
std::string TemperatureText(int celsius);          // "025"
std::string RpmText(std::int64_t shownRpm);        // "12345"
std::string SpeedText(std::int64_t speed);         // "12.34", "105.0", or " OUT " above 12000
std::string GearRatioText(int gearRatio);          // "10.00"
std::string WheelDiameterText(int wheelDiameter);  // "060 mm"
std::string PolesText(int poles);                  // "02"
