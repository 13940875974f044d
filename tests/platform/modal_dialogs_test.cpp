// The modal helpers of the main window, answered from inside their own loops
// by a driver that acts on the active modal window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QFileDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <cmath>
#include <fstream>

#include "platform/application.h"
#include "qt_test_support.h"

namespace {

using Kind = platform::DialogItem::Kind;

// A name dialog: a label, an edit with the old name, OK (default) and Cancel.
platform::DialogTemplate RenameTemplate() {
  platform::DialogTemplate t;
  t.caption = "Rename";
  t.width = 178;
  t.height = 86;
  t.items = {
      {Kind::Static, 1117, 7, 29, 44, 12, "Rename:", false, false, true},
      {Kind::Edit, 1007, 54, 27, 91, 15, "Profile 1", false, false, true},
      {Kind::Button, platform::kIdOk, 65, 59, 50, 14, "OK", true, false, true},
      {Kind::Button, 5, 120, 59, 50, 14, "More", false, false, true},
  };
  return t;
}

template <typename T>
T* Find(QWidget* dialog, const char* name) {
  T* child = dialog->findChild<T*>(QString::fromLatin1(name));
  EXPECT_NE(child, nullptr) << name;
  return child;
}

void PressKey(QWidget* target, int key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QCoreApplication::sendEvent(target, &press);
}

class ModalDialogsTest : public testing::Test {
 protected:
  void SetUp() override {
    window = platform::CreateMainWindow({});
    window->show(dialog);
  }
  void TearDown() override { window->close(); }

  struct Press {
    int id;
    std::map<int, std::string> edits;
  };

  // A handler that records each press and answers from the list.
  platform::ModalButtonHandler Handler(std::vector<bool> answers) {
    return [this, answers](int id, const std::map<int, std::string>& edits) {
      const bool end = presses.size() < answers.size() ? answers[presses.size()] : true;
      presses.push_back({id, edits});
      return end;
    };
  }

  FakeDialog dialog;
  std::unique_ptr<platform::MainWindow> window;
  std::vector<Press> presses;
};

TEST_F(ModalDialogsTest, ButtonEndsTheDialogWithItsIdAndTheEditTexts) {
  QSize size;
  QRect editRect;
  bool isDefault = false;
  WhenModalShows([&](QWidget* modal) {
    size = modal->size();
    editRect = Find<QLineEdit>(modal, "edit1007")->geometry();
    isDefault = Find<QPushButton>(modal, "button1")->isDefault();
    EXPECT_EQ(modal->windowTitle(), "Rename");
    Find<QLineEdit>(modal, "edit1007")->setText("Race");
    Find<QPushButton>(modal, "button1")->click();
  });
  const platform::ModalResult result = window->runModal(RenameTemplate(), Handler({true}));

  EXPECT_EQ(result.code, platform::kIdOk);
  EXPECT_EQ(result.edits, (std::map<int, std::string>{{1007, "Race"}}));
  ASSERT_EQ(presses.size(), 1u);
  EXPECT_EQ(presses[0].id, platform::kIdOk);
  EXPECT_EQ(presses[0].edits.at(1007), "Race");
  EXPECT_TRUE(isDefault);
  EXPECT_EQ(size, QSize(static_cast<int>(std::lround(178 * platform::kDialogUnitX)),
                        static_cast<int>(std::lround(86 * platform::kDialogUnitY))));
  EXPECT_EQ(editRect, QRect(static_cast<int>(std::lround(54 * platform::kDialogUnitX)),
                            static_cast<int>(std::lround(27 * platform::kDialogUnitY)),
                            static_cast<int>(std::lround(91 * platform::kDialogUnitX)),
                            static_cast<int>(std::lround(15 * platform::kDialogUnitY))));
}

TEST_F(ModalDialogsTest, HandlerSayingNoKeepsTheDialogOpen) {
  bool openAfterRefusal = false;
  WhenModalShows([&](QWidget* modal) {
    auto* edit = Find<QLineEdit>(modal, "edit1007");
    edit->setText("abc");
    Find<QPushButton>(modal, "button1")->click();  // refused
    openAfterRefusal = modal->isVisible();
    Find<QPushButton>(modal, "button5")->click();  // refused
    edit->setText("2.5");
    Find<QPushButton>(modal, "button1")->click();  // taken
  });
  const auto result = window->runModal(RenameTemplate(), Handler({false, false, true}));

  EXPECT_TRUE(openAfterRefusal);
  ASSERT_EQ(presses.size(), 3u);
  EXPECT_EQ(presses[0].edits.at(1007), "abc");
  EXPECT_EQ(presses[1].id, 5);
  EXPECT_EQ(result.code, platform::kIdOk);
  EXPECT_EQ(result.edits.at(1007), "2.5");
}

TEST_F(ModalDialogsTest, EnterPressesTheDefaultButton) {
  WhenModalShows([&](QWidget* modal) {
    auto* edit = Find<QLineEdit>(modal, "edit1007");
    edit->setText("Enter");
    PressKey(edit, Qt::Key_Return);
  });
  const auto result = window->runModal(RenameTemplate(), Handler({true}));
  ASSERT_EQ(presses.size(), 1u);
  EXPECT_EQ(presses[0].id, platform::kIdOk);
  EXPECT_EQ(result.code, platform::kIdOk);
}

TEST_F(ModalDialogsTest, EscapeAndTheCloseBoxCancelWithoutTheHandler) {
  WhenModalShows([&](QWidget* modal) {
    Find<QLineEdit>(modal, "edit1007")->setText("typed");
    PressKey(modal, Qt::Key_Escape);
  });
  auto result = window->runModal(RenameTemplate(), Handler({true}));
  EXPECT_EQ(result.code, platform::kIdCancel);
  EXPECT_EQ(result.edits.at(1007), "typed");

  WhenModalShows([&](QWidget* modal) { modal->close(); });
  result = window->runModal(RenameTemplate(), Handler({true}));
  EXPECT_EQ(result.code, platform::kIdCancel);
  EXPECT_EQ(result.edits.at(1007), "Profile 1");
  EXPECT_TRUE(presses.empty());
}

TEST_F(ModalDialogsTest, IconItemShowsTheApplicationsIcon) {
  platform::DialogTemplate about;
  about.width = 170;
  about.height = 62;
  about.items = {
      {Kind::Icon, -1, 14, 14, 20, 20, "", false, false, true},
      {Kind::Button, platform::kIdOk, 113, 41, 50, 14, "OK", true, false, true},
  };
  bool shown = false;
  WhenModalShows([&](QWidget* modal) {
    if (auto* icon = Find<QLabel>(modal, "icon-1")) shown = !icon->pixmap().isNull();
    Find<QPushButton>(modal, "button1")->click();
  });
  window->runModal(about, Handler({true}));
  EXPECT_TRUE(shown);
}

TEST_F(ModalDialogsTest, MessageBoxesShowTheirCaptionAndIcon) {
  QString title, text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  auto answer = [&](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(box, nullptr);
    title = box->windowTitle();
    text = box->text();
    icon = box->icon();
    box->button(QMessageBox::Ok)->click();
  };
  WhenModalShows(answer);
  window->messageBox("New firmware V1.2", platform::MessageBoxKind::Information, "Upgrade");
  EXPECT_EQ(title, "Upgrade");
  EXPECT_EQ(text, "New firmware V1.2");
  EXPECT_EQ(icon, QMessageBox::Information);

  WhenModalShows(answer);
  window->messageBox("Can't open file!", platform::MessageBoxKind::Plain);
  EXPECT_EQ(title, QGuiApplication::applicationDisplayName());
  EXPECT_EQ(text, "Can't open file!");
  EXPECT_EQ(icon, QMessageBox::NoIcon);
}

TEST_F(ModalDialogsTest, FilePickersFilterAddTheSuffixAndConfirmOverwriting) {
  TempDir dir;
  const platform::FileDialogOptions options{"esc", "*.esc", "*.esc", true};

  // Saving a new name adds the default extension.
  WhenModalShows([&](QWidget* modal) {
    auto* picker = qobject_cast<QFileDialog*>(modal);
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(picker->nameFilters(), QStringList{"*.esc (*.esc)"});
    picker->setDirectory(QString::fromStdString(dir.path().string()));
    picker->selectFile("profile");
    static_cast<QDialog*>(picker)->accept();  // public as a QDialog
  });
  auto chosen = window->chooseFileToSave(options);
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(*chosen, (dir.path() / "profile.esc").string());

  // An existing file is replaced only after the user agrees.
  std::ofstream(dir.path() / "profile.esc") << "x";
  bool asked = false;
  WhenModalShows([&](QWidget* modal) {
    auto* picker = qobject_cast<QFileDialog*>(modal);
    ASSERT_NE(picker, nullptr);
    picker->setDirectory(QString::fromStdString(dir.path().string()));
    picker->selectFile("profile.esc");
    WhenModalShows([&](QWidget* question) {
      auto* box = qobject_cast<QMessageBox*>(question);
      ASSERT_NE(box, nullptr);
      asked = true;
      box->button(QMessageBox::Yes)->click();
    });
    static_cast<QDialog*>(picker)->accept();  // public as a QDialog
  });
  chosen = window->chooseFileToSave(options);
  EXPECT_TRUE(asked);
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(*chosen, (dir.path() / "profile.esc").string());

  // Opening: an existing file, or nothing when cancelled.
  WhenModalShows([&](QWidget* modal) {
    auto* picker = qobject_cast<QFileDialog*>(modal);
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(picker->fileMode(), QFileDialog::ExistingFile);
    picker->setDirectory(QString::fromStdString(dir.path().string()));
    picker->selectFile("profile.esc");
    static_cast<QDialog*>(picker)->accept();  // public as a QDialog
  });
  chosen = window->chooseFileToOpen(options);
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(*chosen, (dir.path() / "profile.esc").string());

  WhenModalShows([&](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
  EXPECT_FALSE(window->chooseFileToOpen(options).has_value());
}

}  // namespace
