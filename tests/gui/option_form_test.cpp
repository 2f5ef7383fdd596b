#include "settings/option_form.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "gui/gui_fixture.h"
#include "platform/ini_file.h"

namespace settings {
namespace {

using gui_testing::ClickOk;

class TOptionFormTest : public gui_testing::GuiTest {
 protected:
  std::string Saved(const char* key) const {
    return platform::TIniFile(IniPath()).ReadString("DoorlockOption", key, "<missing>");
  }
};

TEST_F(TOptionFormTest, ShowsTheCaptionControlsAndTabOrder) {
  TOptionForm form;
  EXPECT_EQ(form.windowTitle(), "修改门锁参数");
  EXPECT_EQ(form.size(), QSize(355, 259));
  ASSERT_EQ(form.PortNameCmb->count(), 1);
  EXPECT_EQ(form.PortNameCmb->itemText(0), "USB");
  EXPECT_TRUE(form.PortNameCmb->isEditable());
  EXPECT_EQ(form.LLockCheckBox->text(), "允许开反锁");
  EXPECT_EQ(form.OKBtn->text(), "修改");
  EXPECT_EQ(form.CancelBtn->text(), "取消");
  for (QPushButton* button : {form.OKBtn, form.CancelBtn}) {
    EXPECT_FALSE(button->isDefault());
    EXPECT_FALSE(button->autoDefault());
  }
  QStringList labels;
  for (const QLabel* label : form.findChildren<QLabel*>()) labels << label->text();
  EXPECT_TRUE(labels.contains("设置端口  "));
  EXPECT_TRUE(labels.contains("客人编号"));
  EXPECT_TRUE(labels.contains("酒店标识"));
  EXPECT_EQ(gui_testing::TabOrder(&form),
            (std::vector<QString>{"PortNameCmb", "BianhaoEdit", "HotelIDEdit", "LLockCheckBox",
                                  "OKBtn", "CancelBtn"}));
}

TEST_F(TOptionFormTest, ShowsTheSettingsInMemory) {
  const struct {
    const char* name;
    std::string portName;
    std::int32_t bianhao, hotelId;
    bool llock;
    int index;
    QString portText, bianhaoText, hotelText;
  } cases[] = {
      {"a fresh system", "COM1", 0, 0, false, -1, "", "0", "0"},
      {"USB in any case", "usb", -5, 255, true, 0, "USB", "-5", "255"},
      {"a name not in the list", "COM3", 7, 1, false, -1, "", "7", "1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Opt.PortName = c.portName;
    Opt.Bianhao = c.bianhao;
    Opt.HotelID = c.hotelId;
    Opt.LLock = c.llock;
    TOptionForm form;
    EXPECT_EQ(form.PortNameCmb->currentIndex(), c.index);
    EXPECT_EQ(form.PortNameCmb->currentText(), c.portText);
    EXPECT_EQ(form.BianhaoEdit->text(), c.bianhaoText);
    EXPECT_EQ(form.HotelIDEdit->text(), c.hotelText);
    EXPECT_EQ(form.LLockCheckBox->isChecked(), c.llock);
  }
}

TEST_F(TOptionFormTest, SavingWritesTheEntriesAndTheCardNumberKey) {
  const struct {
    const char* name;
    int index;  // -1: the text below is typed instead
    QString typedPort, bianhao, hotelId;
    bool llock;
    const char* port;
    std::int32_t bianhaoValue, hotelIdValue;
  } cases[] = {
      {"nothing chosen", -1, "", "0", "0", false, "", 0, 0},
      {"USB chosen", 0, "", "12", "$FF", true, "USB", 12, 255},
      {"a port typed", -1, "COM2", " -3", "0x10", false, "COM2", -3, 16},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TOptionForm form;
    form.show();
    if (c.index >= 0) {
      form.PortNameCmb->setCurrentIndex(c.index);
    } else {
      form.PortNameCmb->setEditText(c.typedPort);
    }
    form.BianhaoEdit->setText(c.bianhao);
    form.HotelIDEdit->setText(c.hotelId);
    form.LLockCheckBox->setChecked(c.llock);
    Driver.Shown.clear();
    Driver.Then(ClickOk);
    form.OKBtn->click();

    ASSERT_EQ(Driver.Shown.size(), 1u);
    EXPECT_EQ(Driver.Shown[0].Text, "参数已经发生变化,请重新启动程序");
    EXPECT_EQ(Driver.Shown[0].Title, "提示");
    EXPECT_EQ(Driver.Shown[0].Icon, QMessageBox::Information);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(Opt.PortName, c.port);
    EXPECT_EQ(Opt.Bianhao, c.bianhaoValue);
    EXPECT_EQ(Opt.HotelID, c.hotelIdValue);
    EXPECT_EQ(Opt.LLock, c.llock);
    EXPECT_EQ(Saved("PortName"), c.port);
    EXPECT_EQ(Saved("Bianhao"), std::to_string(c.bianhaoValue));
    EXPECT_EQ(Saved("HotelID"), std::to_string(c.hotelIdValue));
    EXPECT_EQ(Saved("LLock"), c.llock ? "1" : "0");
    EXPECT_EQ(Saved("CurrentCardNo"), "1");
  }
}

TEST_F(TOptionFormTest, AnEntryThatIsNoIntegerIsReportedAndNothingIsWritten) {
  const struct {
    QString bianhao, hotelId, message;
  } cases[] = {
      {"12a", "0", "'12a' is not a valid integer value."},
      {"", "0", "'' is not a valid integer value."},
      {"12 ", "0", "'12 ' is not a valid integer value."},
      {"1", "酒店", "'酒店' is not a valid integer value."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bianhao.toStdString() + " / " + c.hotelId.toStdString());
    TOptionForm form;
    form.show();
    form.BianhaoEdit->setText(c.bianhao);
    form.HotelIDEdit->setText(c.hotelId);
    Driver.Shown.clear();
    Driver.Then(ClickOk);
    form.OKBtn->click();
    ASSERT_EQ(Driver.Shown.size(), 1u);
    EXPECT_EQ(Driver.Shown[0].Text, c.message);
    EXPECT_EQ(Driver.Shown[0].Title, "gui_tests");
    EXPECT_EQ(Driver.Shown[0].Icon, QMessageBox::Critical);
    EXPECT_TRUE(form.isVisible());
    EXPECT_FALSE(std::filesystem::exists(IniPath()));
  }
}

TEST_F(TOptionFormTest, AFileThatCannotBeWrittenIsReportedWithoutTheSuccessMessage) {
  const std::string content = "[DoorlockOption]\r\nPortName=USB\r\n";
  testing_support::WriteFile(IniPath(), content);
  std::filesystem::permissions(IniPath(), std::filesystem::perms::owner_read);
  TOptionForm form;
  form.show();
  Driver.Then(ClickOk);
  form.OKBtn->click();
  ASSERT_EQ(Driver.Shown.size(), 1u);
  EXPECT_EQ(Driver.Shown[0].Text, QString::fromStdString("Unable to write to " + IniPath() + "."));
  EXPECT_EQ(Driver.Shown[0].Icon, QMessageBox::Critical);
  EXPECT_TRUE(form.isVisible());
  EXPECT_EQ(testing_support::ReadFile(IniPath()), content);
}

TEST_F(TOptionFormTest, CancelAndTheKeysLeaveTheSettingsAlone) {
  TOptionForm form;
  form.show();
  form.BianhaoEdit->setText("99");
  // Neither Enter nor Escape is bound to a button here.
  QTest::keyClick(form.BianhaoEdit, Qt::Key_Return);
  QTest::keyClick(form.BianhaoEdit, Qt::Key_Escape);
  EXPECT_TRUE(form.isVisible());
  form.CancelBtn->click();
  EXPECT_FALSE(form.isVisible());
  EXPECT_EQ(Opt.Bianhao, 0);
  EXPECT_FALSE(std::filesystem::exists(IniPath()));
}

}  // namespace
}  // namespace settings
