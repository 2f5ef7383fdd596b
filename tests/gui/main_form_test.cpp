#include "shell/main_form.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QToolBar>

#include "gui/gui_fixture.h"
#include "platform/encoder_library.h"
#include "police/police_message_handler.h"
#include "shell/request_listener.h"
#include "shell/startup.h"
#include "support/server_process.h"
#include "support/test_doorlock.h"
#include "support/test_member.h"
#include "support/test_police.h"

namespace shell {
namespace {

using gui_testing::ClickButton;
using gui_testing::ClickOk;
using gui_testing::ModalDriver;
using gui_testing::Reject;
using gui_testing::Type;

class CountingDoorlock : public testing_support::TTestDoorlock {
 public:
  void EditOption() override { ++EditOptions; }
  int EditOptions = 0;
};

// The prompt answered with a password and OK.
ModalDriver::Answer Password(QString password) {
  return [=](QWidget* prompt) {
    Type(prompt, "edtPswd", password);
    ClickButton(prompt, "btnOK");
  };
}

QStringList Lines(const QPlainTextEdit* memo) {
  return memo->toPlainText().split('\n', Qt::SkipEmptyParts);
}

class TMainFormTest : public gui_testing::GuiTest {
 protected:
  TMainFormTest() {
    Sys.DoorlockPortNo = testing_support::FreePort();
    Sys.PolicePortNo = testing_support::FreePort();
    InterfaceKind = ikDoorlock;
    doorlock::Doorlock = &Device;
  }

  CountingDoorlock Device;
};

TEST_F(TMainFormTest, CreationTitlesTheWindowAndStartsTheListener) {
  TMainForm form;
  EXPECT_EQ(form.windowTitle(), "Qelvo门锁接口");
  EXPECT_EQ(ApplicationTitle(), "Qelvo门锁接口");
  EXPECT_EQ(form.size(), QSize(873, 500));
  EXPECT_EQ(Lines(form.InfoMemo), QStringList{"门锁接口监听服务器已经启动..."});
  EXPECT_EQ(form.EncoderLabel->text(), platform::EncoderIsSimulated() ? "模拟发卡器" : "");
  // The listener answers on the configured port.
  Device.CardNoToGive = 4660;
  const std::string reply = testing_support::Exchange(
      Sys.DoorlockPortNo, testing_support::Framed("<R type=\"ReadCard\"/>"));
  EXPECT_NE(reply.find("<CardNo>4660</CardNo>"), std::string::npos) << reply;
}

TEST_F(TMainFormTest, OffersTheFiveCommandsInMenuAndToolBar) {
  TMainForm form;
  const struct {
    QAction* action;
    const char* caption;
    bool image;
  } commands[] = {
      {form.OptionAction, "选项(&O)...", true},
      {form.ChangePasswordAction, "更改管理员密码(&C)", true},
      {form.AboutAction, "关于(&A)...", true},
      {form.ExitAction, "退出(&X)", true},
      {form.TestAction, "测试(&T)", false},
  };
  for (const auto& c : commands) {
    SCOPED_TRACE(c.caption);
    EXPECT_EQ(c.action->text(), c.caption);
    EXPECT_EQ(!c.action->icon().isNull(), c.image);
  }

  QStringList menus;
  for (QAction* menu : form.menuBar()->actions()) {
    QStringList entries;
    for (QAction* entry : menu->menu()->actions()) entries << (entry->isSeparator() ? "-" : entry->text());
    menus << menu->text() + ": " + entries.join(", ");
  }
  EXPECT_EQ(menus, (QStringList{"文件(&F): 退出(&X)",
                                "工具(&T): 选项(&O)..., 测试(&T), -, 更改管理员密码(&C)",
                                "帮助(&H): 关于(&A)..."}));

  QStringList buttons;
  for (QAction* a : form.ToolBar->actions()) {
    buttons << (a->isSeparator() ? "-" : form.ToolBar->widgetForAction(a)->objectName());
  }
  EXPECT_EQ(buttons, (QStringList{"OptionButton", "ChangePasswordButton", "-", "HelpButton", "-",
                                  "ExitButton"}));
}

TEST_F(TMainFormTest, APortInUseIsReportedAndTheWindowStillOpens) {
  TRequestListener squatter([](platform::TConnection&, const std::string&) {});
  squatter.Start(static_cast<std::uint16_t>(Sys.DoorlockPortNo));
  Driver.Then(ClickOk);
  TMainForm form;
  ASSERT_EQ(Driver.Shown.size(), 1u);
  EXPECT_EQ(Driver.Shown[0].Text, "Could not bind socket. Address and port are already in use.");
  EXPECT_EQ(Driver.Shown[0].Title, "Qelvo门锁接口");
  EXPECT_EQ(Driver.Shown[0].Icon, QMessageBox::Critical);
  form.show();
  EXPECT_TRUE(form.isVisible());
  EXPECT_EQ(Lines(form.InfoMemo), QStringList{"门锁接口监听服务器已经启动..."});
  squatter.Stop();
}

TEST_F(TMainFormTest, ClosingNeedsTheAdministratorPassword) {
  const struct {
    const char* name;
    std::vector<ModalDriver::Answer> answers;
    bool closes;
  } cases[] = {
      {"cancelled", {Reject}, false},
      {"wrong, then cancelled", {Password("Mirtal"), ClickOk, Reject}, false},
      {"right", {Password("mirtal")}, true},
  };
  for (bool byCommand : {false, true}) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(c.name) + (byCommand ? " (exit command)" : " (close button)"));
      TMainForm form;
      form.show();
      int closed = 0;
      QObject::connect(&form, &TMainForm::Closed, [&] { ++closed; });
      for (const auto& answer : c.answers) Driver.Then(answer);
      if (byCommand) {
        form.ExitAction->trigger();
      } else {
        form.close();
      }
      EXPECT_EQ(form.isVisible(), !c.closes);
      EXPECT_EQ(closed, c.closes ? 1 : 0);
      EXPECT_EQ(Driver.Pending(), 0u);
    }
  }
}

TEST_F(TMainFormTest, SettingsNeedThePasswordAndThenTheDeviceShowsThem) {
  TMainForm form;
  Driver.Then(Reject);
  form.OptionAction->trigger();
  EXPECT_EQ(Device.EditOptions, 0);

  Driver.Then(Password("mirtal"));
  form.OptionAction->trigger();
  EXPECT_EQ(Device.EditOptions, 1);

  // Without a device the password is still asked for, then nothing happens.
  doorlock::Doorlock = nullptr;
  Driver.Then(Password("mirtal"));
  form.OptionAction->trigger();
  EXPECT_EQ(Device.EditOptions, 1);
  EXPECT_EQ(Driver.Shown.size(), 3u);
}

TEST_F(TMainFormTest, PasswordChangeAsksForTheOldPasswordFirst) {
  TMainForm form;
  Driver.Then(Password("mirtal")).Then([](QWidget* change) {
    Type(change, "edtPswd", "neu");
    Type(change, "edtConfirmPswd", "neu");
    ClickButton(change, "btnOK");
  }).Then(ClickOk);
  form.ChangePasswordAction->trigger();
  ASSERT_EQ(Driver.Shown.size(), 3u);
  EXPECT_EQ(Driver.Shown[0].ClassName, "settings::TCheckPasswordForm");
  EXPECT_EQ(Driver.Shown[1].ClassName, "settings::TChangePasswordForm");
  EXPECT_EQ(Sys.Password, "neu");
}

TEST_F(TMainFormTest, TestAndAboutNeedNoPassword) {
  TMainForm form;
  Driver.Then(Reject).Then(Reject);
  form.TestAction->trigger();
  form.AboutAction->trigger();
  ASSERT_EQ(Driver.Shown.size(), 2u);
  EXPECT_EQ(Driver.Shown[0].ClassName, "doorlock::TDoorlockTestForm");
  EXPECT_EQ(Driver.Shown[1].ClassName, "shell::TAboutForm");
  EXPECT_EQ(Driver.Shown[1].Title, "关于 Qelvo门锁接口");

  doorlock::Doorlock = nullptr;
  form.TestAction->trigger();
  EXPECT_EQ(Driver.Shown.size(), 2u);
}

TEST_F(TMainFormTest, PoliceTestShowsTheCurrentGuest) {
  police::TGuest guest{"0101", "2024-03-05 10:00", "110101199001011234", "张三", "汉",
                       "1",    "CHN",              "11",                 "北京", "1990-01-01"};
  police::TGuest badGender = guest;
  badGender.GenderID = "男";
  const struct {
    const char* name;
    std::optional<police::TGuest> guest;
    QString text;
    QMessageBox::Icon icon;
  } cases[] = {
      {"a guest", guest, QString::fromStdString(police::GuestToXml(guest)), QMessageBox::NoIcon},
      {"no guest", std::nullopt, kNoGuestText, QMessageBox::NoIcon},
      {"a gender that is no number", badGender, "'男' is not a valid integer value.",
       QMessageBox::Critical},
  };
  testing_support::TTestPolice police;
  UsePoliceInterface(&police);
  TMainForm form;
  EXPECT_EQ(form.windowTitle(), "Qelvo公安接口");
  EXPECT_EQ(Lines(form.InfoMemo), QStringList{"公安接口监听服务器已经启动..."});
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    police.Guest = c.guest;
    Driver.Shown.clear();
    Driver.Then(ClickOk);
    form.TestAction->trigger();
    ASSERT_EQ(Driver.Shown.size(), 1u);
    EXPECT_EQ(Driver.Shown[0].Text, c.text);
    EXPECT_EQ(Driver.Shown[0].Title, "Qelvo公安接口");
    EXPECT_EQ(Driver.Shown[0].Icon, c.icon);
  }
  EXPECT_EQ(police.Reads, 3);
}

TEST_F(TMainFormTest, MemberTestOpensTheMemberDialogWhenADeviceIsSet) {
  testing_support::TTestMember member;
  UseMemberInterface(&member);
  TMainForm form;
  EXPECT_EQ(form.windowTitle(), "Qelvo会员卡接口");
  Driver.Then(Reject);
  form.TestAction->trigger();
  ASSERT_EQ(Driver.Shown.size(), 1u);
  EXPECT_EQ(Driver.Shown[0].ClassName, "member::TMemberTestForm");
  member::MemberCardDevice = nullptr;
  form.TestAction->trigger();
  EXPECT_EQ(Driver.Shown.size(), 1u);
}

}  // namespace
}  // namespace shell
