#include "member/member_test_form.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "gui/gui_fixture.h"
#include "support/test_member.h"

namespace member {
namespace {

class TMemberTestFormTest : public gui_testing::GuiTest {
 protected:
  TMemberTestFormTest() { MemberCardDevice = &Device; }
  testing_support::TTestMember Device;
};

TEST_F(TMemberTestFormTest, ChannelIsTheHotelCardOnlyForItsExactText) {
  const struct {
    const char* text;
    std::int32_t channel;
  } cases[] = {
      {"酒店会员卡", -1},
      {"Qelvo联盟卡", 11},
      {"酒店会员卡 ", 11},  // a trailing blank is another text
      {"", 11},
      {"anything", 11},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ChannelFromText(c.text), c.channel);
  }
}

TEST_F(TMemberTestFormTest, OpensWithTheHotelCardAndEmptyEditsInTabOrder) {
  TMemberTestForm form;
  EXPECT_EQ(form.windowTitle(), QString::fromUtf8("测试"));
  EXPECT_EQ(form.size(), QSize(441, 311));
  EXPECT_EQ(form.ChannelCmb->currentText(), QString::fromUtf8("酒店会员卡"));
  EXPECT_EQ(form.ChannelCmb->count(), 2);
  EXPECT_TRUE(form.CardNoEdit->text().isEmpty());
  EXPECT_TRUE(form.PasswordEdit->text().isEmpty());
  const std::vector<QString> expected{"OpenPortBtn", "ClosePortBtn", "CardNoEdit", "PasswordEdit",
                                      "ReadCardBtn", "WriteCardBtn", "beepBtn", "ChannelCmb"};
  EXPECT_EQ(gui_testing::TabOrder(&form), expected);
}

TEST_F(TMemberTestFormTest, ButtonsDriveTheDeviceWithTheChosenChannel) {
  TMemberTestForm form;
  QTest::mouseClick(form.OpenPortBtn, Qt::LeftButton);
  QTest::mouseClick(form.beepBtn, Qt::LeftButton);
  QTest::mouseClick(form.ClosePortBtn, Qt::LeftButton);

  form.ChannelCmb->setCurrentIndex(1);
  Device.Succeed = false;  // what the device left is shown all the same
  QTest::mouseClick(form.ReadCardBtn, Qt::LeftButton);
  EXPECT_EQ(form.CardNoEdit->text(), "M001");
  EXPECT_EQ(form.PasswordEdit->text(), "pw");

  form.ChannelCmb->setEditText(QString::fromUtf8("酒店会员卡"));
  form.CardNoEdit->clear();
  QTest::mouseClick(form.WriteCardBtn, Qt::LeftButton);

  ASSERT_EQ(Device.Calls.size(), 5u);
  EXPECT_EQ(Device.Calls[0].Name, "OpenPort");
  EXPECT_EQ(Device.Calls[1].Name, "Beep");
  EXPECT_EQ(Device.Calls[2].Name, "ClosePort");
  EXPECT_EQ(Device.Calls[3].Name, "ReadCard");
  EXPECT_FALSE(Device.Calls[3].ReadOption);
  EXPECT_EQ(Device.Calls[3].Channel, 11);
  EXPECT_EQ(Device.Calls[4].Name, "WriteCard");
  EXPECT_EQ(Device.Calls[4].CardNo, "");  // an empty edit writes an empty number
  EXPECT_EQ(Device.Calls[4].Data1 + Device.Calls[4].Data2 + Device.Calls[4].Data3, "");
  EXPECT_EQ(Device.Calls[4].Channel, -1);
  EXPECT_TRUE(Log.Messages().empty());  // the dialog logs nothing
}

}  // namespace
}  // namespace member
