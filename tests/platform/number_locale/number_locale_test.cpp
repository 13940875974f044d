// The value dialog under a German locale, on the real window: its numbers are
// written and read with a decimal point whatever the locale says. This
// program's main puts the locale in the environment before the application is
// made, as a German desktop session does.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <clocale>
#include <cstdlib>
#include <string>

#include "app/corvane_dlg.h"
#include "app/main_dialog_template.h"
#include "dialogs/page_change.h"
#include "platform/application.h"
#include "platform/qt_test_support.h"

namespace {

constexpr const char* kGerman = "de_DE.UTF-8";

TEST(GermanLocale, ValueDialogShowsAndTakesDecimalPoints) {
  // scripts/install-deps generates the locale; without it this would test
  // nothing.
  ASSERT_STREQ(std::setlocale(LC_CTYPE, nullptr), kGerman)
      << "no de_DE.UTF-8 locale: run scripts/install-deps";
  // Only the numbers leave the locale.
  EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
  for (int category : {LC_COLLATE, LC_TIME, LC_MONETARY, LC_MESSAGES})
    EXPECT_STREQ(std::setlocale(category, nullptr), kGerman) << category;

  auto window = platform::CreateMainWindow(MainDialogTemplate());
  CCorvaneDlg dlg(*window);
  CPageChange change(dlg);
  change.m_strName = "Gear Ratio";
  change.m_fValue = 2.5f;
  std::string shown, refusal;
  WhenModalShows([&](QWidget* modal) {
    auto* edit = modal->findChild<QLineEdit*>("edit1007");
    ASSERT_NE(edit, nullptr);
    shown = edit->text().toStdString();
    edit->setText("10.25");
    // A refused entry brings up a message box: answer it, then close the
    // dialog, so that a refusal fails the test instead of hanging it.
    QTimer::singleShot(0, modal, [&] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        refusal = box->text().toStdString();
        box->accept();
      }
    });
    modal->findChild<QPushButton*>("button1")->click();
    if (modal->isVisible()) modal->close();
  });
  EXPECT_EQ(change.DoModal(), platform::kIdOk);
  EXPECT_EQ(shown, "2.5");
  EXPECT_EQ(refusal, "");
  EXPECT_EQ(change.m_fValue, 10.25f);
}

}  // namespace

int main(int argc, char** argv) {
  // The application takes the locale from the environment when it is made.
  setenv("LC_ALL", kGerman, 1);
  setenv("LANG", kGerman, 1);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
