#include "tools/labels.h"

#include "app/texts/ui_text_table.h"

namespace pictures {

namespace {

struct Translations {
  const char* text[4];  // English, Chinese, Japanese, German
};

const Translations& OwnTranslations(OwnText text) {
  static const Translations kDashboard{{"Live Dashboard", "实时仪表", "ライブメーター", "Live-Anzeige"}};
  static const Translations kMotorTemperature{{"Motor Temp.", "电机温度", "モーター温度", "Motortemperatur"}};
  static const Translations kEscTemperature{{"ESC Temp.", "电调温度", "ESC温度", "ESC-Temperatur"}};
  static const Translations kSpeed{{"Speed", "速度", "速度", "Tempo"}};
  static const Translations kTiming{{"Timing", "进角", "タイミング", "Timing"}};
  static const Translations kTest{{"Test", "测试", "テスト", "Testen"}};
  static const Translations kGearRatio{{"Gear Ratio", "齿轮比", "ギア比", "Übersetzung"}};
  static const Translations kWheelDiameter{{"Wheel Diameter", "轮胎直径", "タイヤ直径", "Raddurchmesser"}};
  static const Translations kMotorPoles{{"Motor Poles", "电机极数", "モーター極数", "Motorpole"}};
  static const Translations kVehicle{{"Vehicle", "车辆参数", "車両設定", "Fahrzeug"}};
  static const Translations kServerVersion{{"Server Version", "服务器版本", "サーバー版", "Server-Version"}};
  static const Translations kLanguage{{"Language", "语言", "言語", "Sprache"}};
  static const Translations kExtraOption{{"Extra Option", "附加选项", "追加オプション", "Zusatzoption"}};
  static const Translations kTotal{{"Total", "总进角", "合計", "Gesamt"}};
  static const Translations kFullThrottle{{"Full Throttle", "全油门", "全開", "Vollgas"}};
  static const Translations kFullBrake{{"Full Brake", "全刹车", "全ブレーキ", "Vollbremsung"}};
  static const Translations kClickToChange{{"Click a value to change it", "点击数值即可修改",
                                            "数値をクリックして変更", "Zum Ändern auf einen Wert klicken"}};
  switch (text) {
    case OwnText::kDashboard:
      return kDashboard;
    case OwnText::kMotorTemperature:
      return kMotorTemperature;
    case OwnText::kEscTemperature:
      return kEscTemperature;
    case OwnText::kSpeed:
      return kSpeed;
    case OwnText::kTiming:
      return kTiming;
    case OwnText::kTest:
      return kTest;
    case OwnText::kGearRatio:
      return kGearRatio;
    case OwnText::kWheelDiameter:
      return kWheelDiameter;
    case OwnText::kMotorPoles:
      return kMotorPoles;
    case OwnText::kVehicle:
      return kVehicle;
    case OwnText::kServerVersion:
      return kServerVersion;
    case OwnText::kLanguage:
      return kLanguage;
    case OwnText::kExtraOption:
      return kExtraOption;
    case OwnText::kTotal:
      return kTotal;
    case OwnText::kFullThrottle:
      return kFullThrottle;
    case OwnText::kFullBrake:
      return kFullBrake;
    case OwnText::kClickToChange:
      return kClickToChange;
  }
  return kDashboard;
}

// German labels are often one long compound that fits a box only when it
// may break inside; each pair is a compound's two parts, between which a
// soft hyphen lets a wrapped label break ("-" only at the end of a line).
QString WithBreaks(QString text, int language) {
  if (language != 3) return text;
  static const char* const kCompounds[][2] = {
      {"Rückwärts", "geschwindigkeit"},
      {"Überhitzungs", "schutz"},
      {"Aktivierungs", "methode"},
      {"Einschalt", "steigung"},
      {"Ausschalt", "steigung"},
      {"Start", "drehzahl"},
      {"End", "drehzahl"},
      {"Anfangs", "bremskraft"},
      {"Motor", "drehrichtung"},
      {"Abschalt", "spannung"},
      {"Umschalt", "punkt"},
      {"Eingangs", "kurve"},
      {"Motor", "temperatur"},
      {"Rad", "durchmesser"},
      {"Benutzer", "definiert"},
      {"Voll", "bremsung"},
  };
  for (const auto& [head, tail] : kCompounds) {
    const QString first = QString::fromUtf8(head);
    const QString second = QString::fromUtf8(tail);
    text.replace(first + second, first + QChar(0x00AD) + second);
  }
  return text;
}

}  // namespace

QString TableText(int id, int language) {
  return WithBreaks(QString::fromUtf8(UiText(id, language)).trimmed(), language);
}

QString Own(OwnText text, int language) {
  return WithBreaks(QString::fromUtf8(OwnTranslations(text).text[language]), language);
}

QString PageName(int page, int language) {
  switch (page) {
    case 4:
      return TableText(4, language) + " / " + TableText(5, language);
    case 5:
      return Own(OwnText::kDashboard, language);
    case 6:
      return TableText(6, language);
    default:
      return TableText(page, language);
  }
}

QStringList PageSummary(int page, int language) {
  switch (page) {
    case 1:
      return {TableText(32, language), TableText(33, language), TableText(35, language)};
    case 2:
      return {TableText(50, language), TableText(47, language), TableText(51, language)};
    case 3:
      return {TableText(55, language), TableText(56, language), TableText(57, language)};
    case 4:
      return {TableText(64, language), TableText(74, language), TableText(75, language)};
    case 5:
      return {TableText(73, language), Own(OwnText::kSpeed, language),
              Own(OwnText::kMotorTemperature, language), Own(OwnText::kEscTemperature, language)};
    case 6:
      return {TableText(106, language), TableText(107, language)};
    default:
      return {};
  }
}

QString ListSeparator(int language) {
  return language == 1 ? QStringLiteral("、") : language == 2 ? QStringLiteral("・") : QStringLiteral(" · ");
}

}  // namespace pictures
