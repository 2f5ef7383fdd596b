#include "settings/check_password_form.h"

#include <gtest/gtest.h>

#include <optional>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "gui/gui_fixture.h"

namespace settings {
namespace {

using gui_testing::ClickButton;
using gui_testing::ClickOk;
using gui_testing::Type;

class TCheckPasswordFormTest : public gui_testing::GuiTest {};

TEST_F(TCheckPasswordFormTest, ShowsTheCaptionControlsAndTabOrder) {
  TCheckPasswordForm form;
  EXPECT_EQ(form.windowTitle(), "请输入管理员密码");
  EXPECT_EQ(form.size(), QSize(306, 140));
  EXPECT_EQ(form.minimumSize(), form.maximumSize());
  EXPECT_EQ(form.edtPswd->echoMode(), QLineEdit::Password);
  EXPECT_EQ(form.btnOK->text(), "确定");
  EXPECT_TRUE(form.btnOK->isDefault());
  EXPECT_EQ(form.btnCancel->text(), "取消");
  EXPECT_EQ(form.Image1->pixmap().size(), QSize(32, 32));
  EXPECT_EQ(gui_testing::TabOrder(&form),
            (std::vector<QString>{"edtPswd", "btnOK", "btnCancel"}));
}

TEST_F(TCheckPasswordFormTest, AcceptsExactlyTheStoredPasswordWithoutSurroundingBlanks) {
  const struct {
    const char* name;
    std::optional<std::string> stored;  // none: the default of a fresh system
    QString typed;
    bool passes;
  } cases[] = {
      {"the default", std::nullopt, "mirtal", true},
      {"a capital first letter", std::nullopt, "Mirtal", false},
      {"blanks and a tab around it", std::nullopt, "  mirtal \t", true},
      {"a blank inside it", std::nullopt, "mir tal", false},
      {"nothing typed", std::nullopt, "", false},
      {"a Chinese password", "门锁密码", "门锁密码", true},
      {"a Chinese password cut short", "门锁密码", "门锁密", false},
      {"an empty password, nothing typed", "", "", true},
      {"an empty password, blanks typed", "", "   ", true},
      {"an empty password, a word typed", "", "mirtal", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Sys.Load();
    if (c.stored) Sys.Password = *c.stored;
    Driver.Shown.clear();
    Driver.Then([&](QWidget* prompt) {
      Type(prompt, "edtPswd", c.typed);
      ClickButton(prompt, "btnOK");
    });
    if (!c.passes) {
      Driver.Then(ClickOk);
      // Still open, the typed text kept for correction; Escape gives up.
      Driver.Then([&](QWidget* prompt) {
        auto* edit = prompt->findChild<QLineEdit*>("edtPswd");
        EXPECT_EQ(edit->text(), c.typed);
        EXPECT_EQ(prompt->focusWidget(), edit);
        QTest::keyClick(edit, Qt::Key_Escape);
      });
    }
    EXPECT_EQ(CheckAdminPassword(), c.passes);
    ASSERT_EQ(Driver.Shown.size(), c.passes ? 1u : 3u);
    EXPECT_EQ(Driver.Shown[0].ClassName, "settings::TCheckPasswordForm");
    if (!c.passes) {
      EXPECT_EQ(Driver.Shown[1].Text, "密码错误 ！");
      EXPECT_EQ(Driver.Shown[1].Title, "提示");
      EXPECT_EQ(Driver.Shown[1].Icon, QMessageBox::Critical);
      EXPECT_EQ(Driver.Shown[2].ClassName, "settings::TCheckPasswordForm");
    }
  }
}

TEST_F(TCheckPasswordFormTest, CancelAndTheCloseButtonRefuseEvenTheRightPassword) {
  const struct {
    const char* name;
    void (*leave)(QWidget*);
  } cases[] = {
      {"Cancel", [](QWidget* w) { ClickButton(w, "btnCancel"); }},
      {"Escape", [](QWidget* w) { QTest::keyClick(w->findChild<QLineEdit*>("edtPswd"), Qt::Key_Escape); }},
      {"the frame's close button", [](QWidget* w) { w->close(); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Driver.Then([&](QWidget* prompt) {
      Type(prompt, "edtPswd", "mirtal");
      c.leave(prompt);
    });
    EXPECT_FALSE(CheckAdminPassword());
  }
}

TEST_F(TCheckPasswordFormTest, EnterPressesOk) {
  Driver.Then([](QWidget* prompt) {
    Type(prompt, "edtPswd", "mirtal");
    QTest::keyClick(prompt->findChild<QLineEdit*>("edtPswd"), Qt::Key_Return);
  });
  EXPECT_TRUE(CheckAdminPassword());
}

}  // namespace
}  // namespace settings
