// Labels must fit their boxes in every language: the sizes and line breaks the
// picture kit chooses.
#include <gtest/gtest.h>

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QRectF>
#include <QStringList>

#include "tools/paint_kit.h"

namespace {

using pictures::FitText;
using pictures::LayOutItems;
using pictures::TextStyle;
using pictures::UiFont;

class TextFitting : public ::testing::Test {
 protected:
  // Fonts need the application; it lives as long as the suite.
  static void SetUpTestSuite() {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "corvane_picture_tests";
    static char* argv[] = {name, nullptr};
    app_ = new QGuiApplication(argc, argv);
  }

  static void TearDownTestSuite() {
    delete app_;
    app_ = nullptr;
  }

  static TextStyle Style(int maxPixels, bool wrap) {
    TextStyle style;
    style.maxPixels = maxPixels;
    style.minPixels = 9;
    style.wrap = wrap;
    return style;
  }

  static qreal Advance(const QString& text, int language, int pixels) {
    return QFontMetricsF(UiFont(language, pixels)).horizontalAdvance(text);
  }

  static inline QGuiApplication* app_ = nullptr;
};

TEST_F(TextFitting, ShortLabelKeepsItsSizeOnOneLine) {
  const auto fit = FitText(QRectF(0, 0, 200, 30), "Drag Brake", 0, Style(15, true));
  EXPECT_EQ(fit.pixels, 15);
  EXPECT_FALSE(fit.wrapped);
  EXPECT_TRUE(fit.fits);
}

TEST_F(TextFitting, LatinLabelWrapsBetweenWordsRatherThanShrink) {
  const QString label = "Throttle Rate Switch Point";
  // Wide enough for one line at 12 pixels only, tall enough for two lines.
  const QRectF box(0, 0, Advance(label, 0, 12) + 1, 40);
  const auto wrapped = FitText(box, label, 0, Style(14, true));
  EXPECT_EQ(wrapped.pixels, 14);
  EXPECT_TRUE(wrapped.wrapped);

  // A button label rather stays on one line down to its single-line limit.
  TextStyle button = Style(14, true);
  button.singleLineMin = 12;
  const auto single = FitText(box, label, 0, button);
  EXPECT_EQ(single.pixels, 12);
  EXPECT_FALSE(single.wrapped);

  // Without wrapping it shrinks.
  EXPECT_EQ(FitText(box, label, 0, Style(14, false)).pixels, 12);
}

TEST_F(TextFitting, ChineseAndJapaneseShrinkALittleBeforeTheyWrap) {
  // They would break inside a word.
  const QString chinese = QString::fromUtf8("第一段油门加速度");
  const QString japanese = QString::fromUtf8("ブーストタイミング");
  for (const auto& [text, language] : {std::pair{chinese, 1}, std::pair{japanese, 2}}) {
    const QRectF box(0, 0, Advance(text, language, 12) + 1, 40);
    const auto fit = FitText(box, text, language, Style(14, true));
    EXPECT_EQ(fit.pixels, 12) << language;
    EXPECT_FALSE(fit.wrapped) << language;
  }
  // Far too long for one line: it wraps after all.
  const QRectF narrow(0, 0, Advance(chinese, 1, 14) / 2 + 4, 40);
  EXPECT_TRUE(FitText(narrow, chinese, 1, Style(14, true)).wrapped);
}

TEST_F(TextFitting, WrappedTextShrinksToTheBoxHeight) {
  const QString label = "Turbo Full TH Delay Setting";
  const QRectF oneWordWide(0, 0, Advance("Setting", 0, 14) + 2, 36);
  const auto fit = FitText(oneWordWide, label, 0, Style(14, true));
  EXPECT_TRUE(fit.fits);
  const QRectF used = QFontMetricsF(UiFont(0, fit.pixels)).boundingRect(oneWordWide, Qt::TextWordWrap, label);
  EXPECT_LE(used.height(), oneWordWide.height() + 1);
  EXPECT_LT(fit.pixels, 14);
}

TEST_F(TextFitting, ASoftHyphenBreaksAWordOnlyWhereBreakingBetweenWordsDoesNotFit) {
  const QChar softHyphen(0x00AD);
  // Two words that fit on two lines break between them, and the soft hyphen
  // stays out of the text drawn.
  const QString twoWords = QString("Brems Eingangs") + softHyphen + "kurve";
  const auto between =
      FitText(QRectF(0, 0, Advance("Eingangskurve", 3, 14) + 2, 40), twoWords, 3, Style(14, true));
  EXPECT_TRUE(between.wrapped);
  EXPECT_EQ(between.pixels, 14);
  EXPECT_EQ(between.text, "Brems Eingangskurve");
  // A word wider than the box breaks at it rather than shrink.
  const QString oneWord = QString::fromUtf8("Rückwärts") + softHyphen + "geschwindigkeit";
  const auto inside =
      FitText(QRectF(0, 0, Advance("geschwindigkeit", 3, 14) + 2, 40), oneWord, 3, Style(14, true));
  EXPECT_TRUE(inside.fits);
  EXPECT_EQ(inside.pixels, 14);
  EXPECT_EQ(inside.text, oneWord);
}

TEST_F(TextFitting, AWordWiderThanTheBoxAtTheSmallestSizeDoesNotFit) {
  const auto fit =
      FitText(QRectF(0, 0, 60, 40), QString::fromUtf8("Rückwärtsgeschwindigkeit"), 3, Style(15, true));
  EXPECT_FALSE(fit.fits);
  EXPECT_EQ(fit.pixels, 9);
}

TEST_F(TextFitting, ItemLinesBreakOnlyBetweenWholeItems) {
  const QStringList items = {"Gas Eingangskurve", "Gas-Rate Umschaltpunkt", "Gas Totbereich"};
  const QString separator = " · ";
  const QRectF box(0, 0, 270, 42);
  TextStyle style = Style(13, true);
  style.minPixels = 10;
  const auto layout = LayOutItems(box, items, separator, 3, style, 2);
  ASSERT_EQ(layout.lines.size(), 2);
  EXPECT_EQ(layout.lines.join(separator), items.join(separator));
  for (const QString& line : layout.lines) {
    for (const QString& part : line.split(separator))
      EXPECT_TRUE(items.contains(part)) << part.toStdString();
    EXPECT_LE(Advance(line, 3, layout.pixels), box.width());
  }
  // One line when they fit on one.
  const auto wide = LayOutItems(QRectF(0, 0, 800, 42), items, separator, 3, style, 2);
  EXPECT_EQ(wide.lines.size(), 1);
  EXPECT_EQ(wide.pixels, 13);
  // With room for one line only they shrink until they fit.
  const auto oneLine =
      LayOutItems(QRectF(0, 0, Advance(items.join(separator), 3, 11) + 1, 20), items, separator, 3, style, 1);
  EXPECT_EQ(oneLine.lines.size(), 1);
  EXPECT_EQ(oneLine.pixels, 11);
}

}  // namespace
