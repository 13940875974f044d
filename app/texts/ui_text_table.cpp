// The built-in texts of the program in English, Chinese (simplified), Japanese
// and German.
#include "app/texts/ui_text_table.h"

// Ids 0..116 name status, button, dialog and menu texts; the four entries of an
// id are the same text in each language. Ids 8 and 9 and the spare ids
// 117..149 are empty.
const char* const UiTextTable[kUiTextCount][kLanguageCount] = {
    // 0
    {" About ", " 关于 ", " 情報 ", " Über "},
    // 1
    {" General Setting ", " 基本设置 ", " 基本設定 ", " Allgemeine Einstellungen "},
    // 2
    {" Throttle Control ", " 油门控制 ", " スロットル制御 ", " Gassteuerung "},
    // 3
    {" Brake Control ", " 刹车控制 ", " ブレーキ制御 ", " Bremssteuerung "},
    // 4
    {" Boost ", " Boost 进角 ", " ブースト ", " Boost "},
    // 5
    {" Turbo ", " Turbo 进角 ", " ターボ ", " Turbo "},
    // 6
    {" Firmware Upgrade ", " 固件升级 ", " ファームウェア更新 ", " Firmware Update "},
    // 7
    {"Status", "状态", "ステータス", "Status"},
    // 8
    {"", "", "", ""},
    // 9
    {"", "", "", ""},
    // 10
    {"USB Connected", "USB已连接", "USB接続中", "USB verbunden"},
    // 11
    {"USB DisConnected", "USB未连接", "USB未接続", "USB getrennt"},
    // 12
    {"ESC Connected", "电调已连接", "ESC接続中", "ESC verbunden"},
    // 13
    {"ESC DisConnected", "电调未连接", "ESC未接続", "ESC getrennt"},
    // 14
    {"ESC Default", "电调恢复默认", "ESCデフォルト設定", "ESC Mangel"},
    // 15
    {"ESC Read", "读取电调数据", "ESCデータリード", "ESC Auslesen"},
    // 16
    {"Save To ESC", "保存到电调", "ESCデータ保存", "Speichern auf ESC"},
    // 17
    {"Loading Data from ESC...", "正在读取电调数据...", "ESCからデータを読み込み中...",
     "Lade Daten vom ESC..."},
    // 18
    {"Program Update Success", "程序更新成功", "プログラム更新完了", "Programm Update erfolgreich"},
    // 19
    {"Data Sending Success", "成功发送数据", "データ送信完了", "Daten erfolgreich gesendet"},
    // 20
    {"Get Data from ESC Success", "成功获取电调数据", "ESCからのデータの取得を完了しました",
     "Daten erfolgreich von ESC erhalten"},
    // 21
    {"ESC Connected", "电调已连接", "ESC接続中", "ESC verbunden"},
    // 22
    {"Connection Fail", "电调连接失败", "接続が切断されました", "ESC getrennt"},
    // 23
    {"Fail to Get Data, Click 'ESC Read' Button Again", "获取电调数据失败,请点击 '读取电调数据' 按钮重新获取",
     "データの取得に失敗しました。[ESCデータリード]を再度押してください",
     "Daten nicht gelesen, klick wiederholt“ESC Auslesen”"},
    // 24
    {"Fail, Try Again", "操作失败,请重试", "失敗しました。再度行なってください",
     "Fehler , versuche es wiederholt"},
    // 25
    {"Data Sending...", "正在发送数据...", "データ送信中...", "Sende Daten....."},
    // 26
    {"Update ESC Program...", "正在更新电调程序...", "ESCプログラムを更新しました...",
     "Update ESC Programm..."},
    // 27
    {"USB Connection Fail", "USB连接失败", "USB接続が切断しました", "USB getrennt"},
    // 28
    {"USB Connected", "USB已连接", "USE接続中", "USB verbunden"},
    // 29
    {"Reset All ESC Data ?", "此操作使电调所有数据复位，确定这样做吗?", "ESCデータを全てリセットしますか？",
     "Alle ESC Daten zurücksetzen ?"},
    // 30
    {"Warning", "提示", "警告", "Warnung"},
    // 31
    {"Pre Setting", "预设", "プリセット", "Voreinstellung"},
    // 32
    {"Running Mode", "运行模式", "走行モード", "Fahrmodus"},
    // 33
    {"Motor Direction", "电机转向", "モーター回転方向", "Motordrehrichtung"},
    // 34
    {"Reverse Speed", "倒车速度", "バック速度", "Rückwärtsgeschwindigkeit"},
    // 35
    {"Voltage Cutoff", "低压保护", "カットオフ電圧", "Abschaltspannung"},
    // 36
    {"ESC Overheat Protection", "电调过热保护", "ESC過熱保護", "ESC Überhitzungsschutz"},
    // 37
    {"Motor Overheat Protection", "电机过热保护", "モーター過熱保護", "Motor Überhitzungsschutz"},
    // 38
    {"Rename", "更改车名", "名称変更", "Umbenennen"},
    // 39
    {"Default", "恢复默认", "デフォルト", "Standard"},
    // 40
    {"Normal (*)", "正常 (*)", "ノーマル (*)", "Normal (*)"},
    // 41
    {"Reverse", "反向", "リバース", "Umgekehrt"},
    // 42
    {"Auto", "自动", "オート", "Auto"},
    // 43
    {"Forward/Brake", "前进/刹车", "前進/ブレーキ", "Vorwärts/Bremse"},
    // 44
    {"Forward/Brake/Reverse", "前进/刹车/倒车", "前進/ブレーキ/バック", "Vorwärts/Bremse/Rückwärts"},
    // 45
    {"Forward/Reverse", "前进/倒车", "前進/バック", "Vorwärts/Rückwärts"},
    // 46
    {"Disable", "禁用", "無効", "Deaktiviert"},
    // 47
    {"Throttle Rate Switch Point", "油门加速度切换点", "スロットルレート切替ポイント",
     "Gas-Rate Umschaltpunkt"},
    // 48
    {"1st Stage Throttle Rate", "第一段油门加速度", "第1段スロットルレート", "Gas-Rate Stufe 1"},
    // 49
    {"2nd Stage Throttle Rate", "第二段油门加速度", "第2段スロットルレート", "Gas-Rate Stufe 2"},
    // 50
    {"TH Input Curve", "油门输入曲线", "スロットル入力カーブ", "Gas Eingangskurve"},
    // 51
    {"Throttle Dead Band", "油门死区", "スロットルデッドバンド", "Gas Totbereich"},
    // 52
    {"Line", "线性", "リニア", "Linear"},
    // 53
    {"Custom", "自定义", "カスタム", "Benutzerdefiniert"},
    // 54
    {"Throttle Status", "油门状态", "スロットル状態", "Gas Status"},
    // 55
    {"Drag Brake", "拖刹", "ドラッグブレーキ", "Schleppbremse"},
    // 56
    {"Brake Strength", "刹车力度", "ブレーキ強度", "Bremskraft"},
    // 57
    {"Initial Brake", "初始刹车力度", "初期ブレーキ", "Anfangsbremskraft"},
    // 58
    {"Brake Rate Switch Point", "刹车加速度切换点", "ブレーキレート切替ポイント", "Brems-Rate Umschaltpunkt"},
    // 59
    {"1st Stage Brake Rate", "第一段刹车加速度", "第1段ブレーキレート", "Brems-Rate Stufe 1"},
    // 60
    {"2nd Stage Brake Rate", "第二段刹车加速度", "第2段ブレーキレート", "Brems-Rate Stufe 2"},
    // 61
    {"Brake Input Curve", "刹车输入曲线", "ブレーキ入力カーブ", "Brems Eingangskurve"},
    // 62
    {"Line", "线性", "リニア", "Linear"},
    // 63
    {"Custom", "自定义", "カスタム", "Benutzerdefiniert"},
    // 64
    {"Boost Timing", "Boost 进角", "ブーストタイミング", "Boost Timing"},
    // 65
    {"Boost Start RPM", "Boost 起始转速", "ブースト開始回転数", "Boost Startdrehzahl"},
    // 66
    {"Boost End RPM", "Boost 结束转速", "ブースト終了回転数", "Boost Enddrehzahl"},
    // 67
    {"Boost Liner Slope", "Boost 线性斜率", "ブーストリニアスロープ", "Boost Lineare Steigung"},
    // 68
    {"Boost Constraint By TH", "Boost 受油门限制", "スロットルによるブースト制限",
     "Boost durch Gas begrenzt"},
    // 69
    {"Line", "线性", "リニア", "Linear"},
    // 70
    {"Custom", "自定义", "カスタム", "Benutzerdefiniert"},
    // 71
    {"Yes", "是", "有効", "Ja"},
    // 72
    {"No", "否", "無効", "Nein"},
    // 73
    {"RPM", "转速", "回転数", "Drehzahl"},
    // 74
    {"Turbo Timing", "Turbo 进角", "ターボタイミング", "Turbo Timing"},
    // 75
    {"Turbo Activation Method", "Turbo 触发方式", "ターボ起動方式", "Turbo Aktivierungsmethode"},
    // 76
    {"Turbo Full TH Delay", "Turbo 全油门延时", "ターボフルスロットル遅延", "Turbo Vollgas Verzögerung"},
    // 77
    {"Turbo Start RPM", "Turbo 起始转速", "ターボ開始回転数", "Turbo Startdrehzahl"},
    // 78
    {"Turbo Engage Slope", "Turbo 开启斜率", "ターボ作動スロープ", "Turbo Einschaltsteigung"},
    // 79
    {"Turbo Deactive Slope", "Turbo 关闭斜率", "ターボ解除スロープ", "Turbo Ausschaltsteigung"},
    // 80
    {"Full TH", "全油门触发", "フルスロットル", "Vollgas"},
    // 81
    {"RPM", "转速触发", "回転数", "Drehzahl"},
    // 82
    {"Full TH + RPM", "全油门 + 转速触发", "フルスロットル+回転数", "Vollgas + Drehzahl"},
    // 83
    {"deg", "度", "度", "Grad"},
    // 84
    {"S", "秒", "秒", "s"},
    // 85
    {"Instant", "立即", "即起動", "sofort"},
    // 86
    {"Information:", "信息:", "情報:", "Information:"},
    // 87
    {"Device Name", "设备名称", "デバイス名", "Gerätename"},
    // 88
    {"Hardware Version", "硬件版本", "ハードウェアバージョン", "Hardware Version"},
    // 89
    {"Firmware Version", "固件版本", "ファームウェアバージョン", "Firmware Version"},
    // 90
    {"Firmware Version", "固件版本", "ファームウェアバージョン", "Firmware Version"},
    // 91
    {"Upgrade", "升级", "アップデート", "Update"},
    // 92
    {"Rename:", "更改车名:", "名称変更", "Umbenennen"},
    // 93
    {"OK", "确定", "OK", "OK"},
    // 94
    {"Rename", "更改车名", "名称変更", "Umbenennen"},
    // 95
    {"Default", "恢复默认", "デフォルト", "Mangel"},
    // 96
    {"OK", "确定", "OK", "OK"},
    // 97
    {"Cancel", "取消", "キャンセル", "Beenden"},
    // 98
    {"Throttle Curve", "油门曲线自定义", "スロットルカーブ設定", "Benutzerdefinierte Gas Kurve"},
    // 99
    {"Brake Curve", "刹车曲线自定义", "ブレーキカーブ設定", "Benutzerdefinierte Bremsen Kurve"},
    // 100
    {"Boost Slope", "Boost 进角曲线自定义", "ブーストカーブ", "Boost Steigung"},
    // 101
    {"Chinese", "English", "Japanese", "Germany"},
    // 102
    {"Move(M)", "移动(M)", "移動", "Move"},
    // 103
    {"Close(C)   Alt+F4", "关闭(C)    Alt+F4", "終了", "Schließen  Alt+F4"},
    // 104
    {"Save To PC", "保存到电脑", "PCへ保存", "Auf Computer Speichern"},
    // 105
    {"Load From PC", "本地加载", "PCから読み出し", "Vom PC Laden"},
    // 106
    {"ESC Upgrade", "电调升级", "ESCアップデート", "ESC Update"},
    // 107
    {"VovovivAre Upgrade", "编程盒升级", "プログラムボックスアップデート", "VovovivAre Update"},
    // 108
    {"Program Update Success, VovovivAre Reset now,Please Waitting...",
     "程序更新成功,编程盒正在重新启动,请稍候...",
     "プログラムボックスアップデート完了。更新中です。お待ちください...",
     "Programm Update erfolgreich, VovovivAre reset , Bitte warten"},
    // 109
    {"Update Box Program...", "正在更新编程盒程序...", "プログラムボックスアップデート中...",
     "Update Box Programm..."},
    // 110
    {"The program file is downloading from the server...", "正在从服务器下载程序文件...",
     "サーバーからプログラムファイルをダウンロードしています...", "Lade Daten vom Netzwerkwork..."},
    // 111
    {"Fail to download the program file from the server!", "从服务器下载程序文件失败!",
     "サーバーからプログラムファイルをダウンロードできませんでした！",
     "Download der Programmdatei vom Server fehlgeschlagen!"},
    // 112
    {"Recheck the network if it fails to connect!", "网络连接失败,请检查网络连接!",
     "ネットワーク繋がりません",
     "Verbindung zum Network fehlgeschlagen. Bitte überprüfen sie die Netzwerkverbindung !"},
    // 113
    {"New ESC firmware available. Do you want to upgrade it to latest version?",
     "检测到电调有最新版本,是否升级到最新版本?", "ＥＳＣ新しいバージョン見つかりました、すぐ更新しますか？",
     "Neue ESC Firmware verfügbar. Möchten sie auf die neueste Version updaten ?"},
    // 114
    {"New Program Box  firmware available. Do you want to upgrade it to latest version?",
     "检测到编程盒有最新版本,是否升级到最新版本?",
     "プログラムボックスの新しいバージョンが見つかりました、すぐ更新しますか？",
     "Neue Prodram Box Firmware verfügbar. Möchten sie auf die neueste Version updaten ?"},
    // 115
    {"Fail to connect to the server to get the version information!", "连接服务器获取版本信息失败!",
     "サーバーに接続できず、バージョン情報を取得できませんでした！",
     "Verbindung zum Server fehlgeschlagen, keine Versionsinformationen erhalten!"},
    // 116
    {"New Corvane firmware available. Do you want to upgrade it to latest version?",
     "检测到Corvane有最新版本,是否升级到最新版本?",
     "Corvaneの新しいバージョンが見つかりました、すぐ更新しますか？",
     "Neue Corvane Firmware verfügbar.Möchten sie auf die neueste Version updaten ?"},
    // 117
    {"", "", "", ""},
    // 118
    {"", "", "", ""},
    // 119
    {"", "", "", ""},
    // 120
    {"", "", "", ""},
    // 121
    {"", "", "", ""},
    // 122
    {"", "", "", ""},
    // 123
    {"", "", "", ""},
    // 124
    {"", "", "", ""},
    // 125
    {"", "", "", ""},
    // 126
    {"", "", "", ""},
    // 127
    {"", "", "", ""},
    // 128
    {"", "", "", ""},
    // 129
    {"", "", "", ""},
    // 130
    {"", "", "", ""},
    // 131
    {"", "", "", ""},
    // 132
    {"", "", "", ""},
    // 133
    {"", "", "", ""},
    // 134
    {"", "", "", ""},
    // 135
    {"", "", "", ""},
    // 136
    {"", "", "", ""},
    // 137
    {"", "", "", ""},
    // 138
    {"", "", "", ""},
    // 139
    {"", "", "", ""},
    // 140
    {"", "", "", ""},
    // 141
    {"", "", "", ""},
    // 142
    {"", "", "", ""},
    // 143
    {"", "", "", ""},
    // 144
    {"", "", "", ""},
    // 145
    {"", "", "", ""},
    // 146
    {"", "", "", ""},
    // 147
    {"", "", "", ""},
    // 148
    {"", "", "", ""},
    // 149
    {"", "", "", ""},
};

// Short labels by group: 1 the language name, 2 the "Instant" activation
// word, 3..6 the link states of the status bar, 7 its version label (a tab
// between word and number, except in Japanese).
const char* const StatusLabelTable[kStatusLabelCount][kLanguageCount] = {
    // 0
    {"About", "关于", "About", "About"},
    // 1
    {"English", "中文", "日本語", "Germany"},
    // 2
    {"Instant", "  立即", "即起動", "sofort"},
    // 3
    {"USB Connected", "USB 已连接", "USB 接続中", "USB verbunden"},
    // 4
    {"USB DisConnected", "USB 未连接", "USB が接続されていません", "USB getrennt"},
    // 5
    {"ESC Connected", "电调 已连接", "ESC 接続中", "ESC verbunden"},
    // 6
    {"ESC DisConnected", "电调 未连接", "ESC が接続されていません", "ESC getrennt"},
    // 7
    {"Version\tV2.10", "版本\tV2.10", "バージョンV2.10", "Version\tV2.10"},
    // 8
    {"", "", "", ""},
    // 9
    {"", "", "", ""},
};

// Window titles; only row 0 is shown.
const char* const TitleTable[kTitleCount] = {
    "VELDO Corvane V2.10", "ZN Corvane V2.10", "HALBEK Corvane V2.10", "R5 Corvane V2.10", "VELDO Corvane ",
};

namespace {

bool IsLanguage(int language) {
  return language >= 0 && language < kLanguageCount;
}

}  // namespace

std::string UiText(int id, int language) {
  if (id < 0 || id >= kUiTextCount || !IsLanguage(language)) return {};
  return UiTextTable[id][language];
}

std::string StatusLabel(int group, int language) {
  if (group < 0 || group >= kStatusLabelCount || !IsLanguage(language)) return {};
  return StatusLabelTable[group][language];
}

std::string GetTitleText() {
  return TitleTable[0];
}
