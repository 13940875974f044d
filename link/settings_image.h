// The ESC's settings block (2477 bytes at device address 0x5E00) as the program
// holds it, with the factory values of its ten profiles. Multi-byte fields are
// little-endian on the device, in files and in memory.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

static_assert(std::endian::native == std::endian::little,
              "the settings image is used in place; it needs a little-endian host");

#pragma pack(push, 1)

// One set of ESC parameters, 242 bytes.
struct SettingProfile {
  std::uint8_t runningMode;              // 0x00
  std::uint8_t reverseSpeed;             // 0x01
  std::uint8_t cutoffVoltage;            // 0x02, 0.1 V
  std::uint8_t escOverheat;              // 0x03
  std::uint8_t motorOverheat;            // 0x04
  std::uint8_t throttleSwitchPoint;      // 0x05
  std::uint8_t throttleStage1Rate;       // 0x06
  std::uint8_t throttleStage2Rate;       // 0x07
  std::uint8_t profileFlags;             // 0x08
  std::uint8_t dragBrake;                // 0x09
  std::uint8_t brakeStrength;            // 0x0a
  std::uint8_t initialBrake;             // 0x0b
  std::uint8_t brakeSwitchPoint;         // 0x0c
  std::uint8_t brakeStage1Rate;          // 0x0d
  std::uint8_t brakeStage2Rate;          // 0x0e
  std::uint8_t brakeCurveLinear;         // 0x0f
  std::uint8_t boostTiming;              // 0x10
  std::uint16_t boostStartRpm;           // 0x11
  std::uint16_t boostEndRpm;             // 0x13
  std::uint8_t boostSlopeLinear;         // 0x15
  std::uint8_t boostThrottleConstraint;  // 0x16
  std::uint8_t turboTiming;              // 0x17
  std::uint8_t turboActivation;          // 0x18
  std::uint8_t turboDelay;               // 0x19
  std::uint16_t turboRpm;                // 0x1a
  std::uint8_t turboEngageSlope;         // 0x1c
  std::uint8_t turboDeactiveSlope;       // 0x1d
  std::uint8_t throttleCurve[32];        // 0x1e, 16 (x, y) pairs
  std::uint16_t throttleCurvePoints;     // 0x3e
  std::uint8_t brakeCurve[32];           // 0x40, 16 (x, y) pairs
  std::uint16_t brakeCurvePoints;        // 0x60
  std::uint8_t reserved[128];            // 0x62, kept as the device holds it
  std::uint8_t profileName[16];          // 0xe2, 8-bit characters, NUL-terminated when shorter
};

inline constexpr int kProfileCount = 10;

// The whole settings block, 2477 bytes.
struct SettingsImage {
  SettingProfile profiles[kProfileCount];  // 0
  std::uint8_t selectedProfile;            // 2420
  std::uint16_t throttleLow;               // 2421
  std::uint16_t throttleNeutral;           // 2423
  std::uint16_t throttleHigh;              // 2425
  std::uint16_t deadBand;                  // 2427
  std::uint8_t reserved1;                  // 2429
  std::uint8_t reserved2[39];              // 2430
  std::uint8_t escUpgradeBytes[8];         // 2469

  std::uint8_t* bytes() { return reinterpret_cast<std::uint8_t*>(this); }
  const std::uint8_t* bytes() const { return reinterpret_cast<const std::uint8_t*>(this); }
};

#pragma pack(pop)

// Bits of SettingProfile::profileFlags.
inline constexpr std::uint8_t kFlagLinearThrottle = 0x01;  // the throttle curve is a straight line
inline constexpr std::uint8_t kFlagTimingOff = 0x10;       // boost and turbo timing held at zero
inline constexpr std::uint8_t kFlagBit5 = 0x20;
inline constexpr std::uint8_t kFlagCutoffLock = 0x40;  // the cut-off slider is inactive
inline constexpr std::uint8_t kFlagBit7 = 0x80;

static_assert(sizeof(SettingProfile) == 242);
static_assert(offsetof(SettingProfile, boostStartRpm) == 0x11);
static_assert(offsetof(SettingProfile, turboRpm) == 0x1a);
static_assert(offsetof(SettingProfile, throttleCurvePoints) == 0x3e);
static_assert(offsetof(SettingProfile, brakeCurvePoints) == 0x60);
static_assert(offsetof(SettingProfile, profileName) == 0xe2);
static_assert(sizeof(SettingsImage) == 2477);
static_assert(offsetof(SettingsImage, selectedProfile) == 2420);
static_assert(offsetof(SettingsImage, deadBand) == 2427);
static_assert(offsetof(SettingsImage, escUpgradeBytes) == 2469);

// Device addresses and sizes of the settings area.
inline constexpr std::uint32_t kSettingsAddress = 0x5E00;
inline constexpr std::uint32_t kSettingsSize = sizeof(SettingsImage);            // 2477
inline constexpr std::uint32_t kSettingsEnd = kSettingsAddress + kSettingsSize;  // 0x67AD
inline constexpr std::uint32_t kProfileSize = sizeof(SettingProfile);            // 242
inline constexpr std::uint32_t kTailOffset = offsetof(SettingsImage, selectedProfile);
inline constexpr std::uint32_t kTailAddress = kSettingsAddress + kTailOffset;  // 0x6774
inline constexpr std::uint32_t kTailSize = kSettingsSize - kTailOffset;        // 57
inline constexpr std::uint32_t kLiveBytes = 8;  // follow the image in a settings read
inline constexpr std::uint32_t kSettingsReadLength = kSettingsSize + kLiveBytes;  // 2485

// The factory values of the ten profiles.
extern const SettingProfile DefaultProfileTable[kProfileCount];
