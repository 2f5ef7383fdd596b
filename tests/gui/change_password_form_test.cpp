#include "settings/change_password_form.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "gui/gui_fixture.h"
#include "platform/ini_file.h"
#include "settings/check_password_form.h"

namespace settings {
namespace {

using gui_testing::ClickButton;
using gui_testing::ClickOk;
using gui_testing::Reject;
using gui_testing::Type;

class TChangePasswordFormTest : public gui_testing::GuiTest {
 protected:
  // Types both entries and presses OK.
  static gui_testing::ModalDriver::Answer Enter(QString password, QString confirmation) {
    return [=](QWidget* form) {
      Type(form, "edtPswd", password);
      Type(form, "edtConfirmPswd", confirmation);
      ClickButton(form, "btnOK");
    };
  }
};

TEST_F(TChangePasswordFormTest, ShowsTheCaptionControlsAndTabOrder) {
  TChangePasswordForm form;
  EXPECT_EQ(form.windowTitle(), "更改管理员密码");
  EXPECT_EQ(form.size(), QSize(346, 163));
  EXPECT_EQ(form.minimumSize(), form.maximumSize());
  EXPECT_EQ(form.edtPswd->echoMode(), QLineEdit::Password);
  EXPECT_EQ(form.edtConfirmPswd->echoMode(), QLineEdit::Password);
  EXPECT_EQ(form.btnOK->text(), "确定");
  EXPECT_TRUE(form.btnOK->isDefault());
  EXPECT_EQ(form.btnCancel->text(), "取消");
  EXPECT_EQ(form.Image1->pixmap().size(), QSize(48, 48));
  EXPECT_EQ(gui_testing::TabOrder(&form),
            (std::vector<QString>{"edtPswd", "edtConfirmPswd", "btnOK", "btnCancel"}));
}

TEST_F(TChangePasswordFormTest, MismatchedEntriesKeepTheDialogAndChangeNothing) {
  Driver.Then(Enter("abc", "abd")).Then(ClickOk).Then(Reject);
  ShowChangePassword();
  ASSERT_EQ(Driver.Shown.size(), 3u);
  EXPECT_EQ(Driver.Shown[1].Text, "您两次输入的密码不一致，请重新输入！");
  EXPECT_EQ(Driver.Shown[1].Title, "提示");
  EXPECT_EQ(Driver.Shown[1].Icon, QMessageBox::Critical);
  EXPECT_EQ(Driver.Shown[2].ClassName, "settings::TChangePasswordForm");
  EXPECT_EQ(Sys.Password, "mirtal");
  EXPECT_FALSE(std::filesystem::exists(IniPath()));
}

TEST_F(TChangePasswordFormTest, SavesTheNewPasswordWithAllNineKeysOfAFreshSystem) {
  // Blanks around either entry do not count.
  Driver.Then(Enter(" 新密码 ", "新密码\t")).Then(ClickOk);
  ShowChangePassword();
  ASSERT_EQ(Driver.Shown.size(), 2u);
  EXPECT_EQ(Driver.Shown[1].Text, "管理员密码更改成功！");
  EXPECT_EQ(Driver.Shown[1].Title, "提示");
  EXPECT_EQ(Driver.Shown[1].Icon, QMessageBox::Information);
  EXPECT_EQ(Sys.Password, "新密码");

  const platform::TIniFile ini(IniPath());
  const struct {
    const char* section;
    const char* key;
    const char* value;
  } keys[] = {
      {"SysOption", "Password", "新密码"},       {"SysOption", "DoorlockPortNo", "8886"},
      {"SysOption", "PolicePortNo", "8885"},     {"SysOption", "MemberPortNo", "8883"},
      {"SysOption", "ScanPortNo", "8881"},       {"DoorlockOption", "DelayMinutes", "0"},
      {"DoorlockOption", "DelayMinutes2", "0"},  {"DoorlockOption", "UseNativeDoorlockDb", "0"},
      {"DoorlockOption", "SaveDoorlockRecord", "0"},
  };
  for (const auto& k : keys) {
    SCOPED_TRACE(k.key);
    EXPECT_EQ(ini.ReadString(k.section, k.key, "<missing>"), k.value);
  }
  // Nothing of the encoder settings is written by this dialog.
  EXPECT_EQ(ini.ReadString("DoorlockOption", "PortName", "<missing>"), "<missing>");
}

TEST_F(TChangePasswordFormTest, AnEmptyPasswordIsAcceptedAndThenAnEmptyPromptPasses) {
  Driver.Then(Enter("", "  ")).Then(ClickOk);
  ShowChangePassword();
  EXPECT_EQ(Sys.Password, "");
  EXPECT_EQ(platform::TIniFile(IniPath()).ReadString("SysOption", "Password", "<missing>"), "");

  Driver.Then([](QWidget* prompt) {
    QTest::keyClick(prompt->findChild<QLineEdit*>("edtPswd"), Qt::Key_Return);
  });
  EXPECT_TRUE(CheckAdminPassword());
}

TEST_F(TChangePasswordFormTest, AFileThatCannotBeWrittenIsReportedAndTheDialogStays) {
  const std::string content = "[SysOption]\r\nPassword=old\r\n";
  testing_support::WriteFile(IniPath(), content);
  std::filesystem::permissions(IniPath(), std::filesystem::perms::owner_read);
  Driver.Then(Enter("new", "new")).Then(ClickOk).Then(Reject);
  ShowChangePassword();
  ASSERT_EQ(Driver.Shown.size(), 3u);
  EXPECT_EQ(Driver.Shown[1].Text, QString::fromStdString("Unable to write to " + IniPath() + "."));
  EXPECT_EQ(Driver.Shown[1].Title, "gui_tests");
  EXPECT_EQ(Driver.Shown[1].Icon, QMessageBox::Critical);
  EXPECT_EQ(Driver.Shown[2].ClassName, "settings::TChangePasswordForm");
  EXPECT_EQ(testing_support::ReadFile(IniPath()), content);
}

}  // namespace
}  // namespace settings
