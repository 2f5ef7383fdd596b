#include "shell/about_form.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "gui/gui_fixture.h"

namespace shell {
namespace {

class TAboutFormTest : public gui_testing::GuiTest {};

TEST_F(TAboutFormTest, TitlesItselfAfterTheInterfaceKind) {
  const struct {
    std::int32_t kind;
    const char* caption;
    const char* appTitle;
  } cases[] = {
      {ikDoorlock, "关于 Qelvo门锁接口", "Qelvo门锁接口"},
      {ikPolice, "关于 Qelvo公安接口", "Qelvo公安接口"},
      {ikMember, "关于 Qelvo会员卡接口", "Qelvo会员卡接口"},
      {0, "关于...", "lblAppTitle"},  // no kind chosen: the design texts
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.kind);
    InterfaceKind = c.kind;
    TAboutForm form;
    EXPECT_EQ(form.windowTitle(), c.caption);
    EXPECT_EQ(form.lblAppTitle->text(), c.appTitle);
    EXPECT_EQ(form.lblVersion->text(), "版本 1.0.0.0");
  }
}

TEST_F(TAboutFormTest, ShowsPictureMakerAndAnEmptyDisabledMemo) {
  InterfaceKind = ikDoorlock;
  TAboutForm form;
  EXPECT_EQ(form.size(), QSize(413, 262));
  EXPECT_EQ(form.minimumSize(), form.maximumSize());
  EXPECT_EQ(form.Image1->pixmap().size(), QSize(132, 238));
  EXPECT_FALSE(form.lblCopyright->text().isEmpty());
  EXPECT_FALSE(form.lblCompany->text().isEmpty());
  EXPECT_TRUE(form.mmo->toPlainText().isEmpty());
  EXPECT_FALSE(form.mmo->isEnabled());
  EXPECT_EQ(form.mmo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  EXPECT_EQ(form.btnOK->text(), "确定(&O)");
}

TEST_F(TAboutFormTest, OkClosesTheDialog) {
  InterfaceKind = ikDoorlock;
  Driver.Then([](QWidget* about) { gui_testing::ClickButton(about, "btnOK"); });
  ShowAbout();
  ASSERT_EQ(Driver.Shown.size(), 1u);
  EXPECT_EQ(Driver.Shown[0].ClassName, "shell::TAboutForm");
}

}  // namespace
}  // namespace shell
