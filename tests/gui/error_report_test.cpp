#include "shell/error_report.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include <QWidget>

#include "gui/gui_fixture.h"

namespace shell {
namespace {

TEST(ErrorReportText, AppendsAFullStopOnlyAfterALastByteAboveIt) {
  const struct {
    const char* message;
    const char* shown;
  } cases[] = {
      {"'12a' is not a valid integer value", "'12a' is not a valid integer value."},
      {"Terminate Thread Timeout", "Terminate Thread Timeout."},
      {"already ends.", "already ends."},
      {"ends with !", "ends with !"},    // '!' sorts before '.'
      {"ends with -", "ends with -"},    // so does '-'
      {"ends with /", "ends with /."},   // '/' sorts after it
      {"ends with 9", "ends with 9."},
      {"无法写入", "无法写入."},          // a multi-byte character's last byte is above '.'
      {"", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    EXPECT_EQ(ErrorReportText(c.message), c.shown);
  }
}

class GuardedTest : public gui_testing::GuiTest {};

TEST_F(GuardedTest, ReportsAnEscapingErrorWithTheApplicationTitle) {
  SetApplicationTitle("Qelvo门锁接口");
  QWidget window;
  Driver.Then(gui_testing::ClickOk);
  const bool ran = Guarded(&window, [] { throw std::runtime_error("Unable to write to /x"); });
  EXPECT_FALSE(ran);
  ASSERT_EQ(Driver.Shown.size(), 1u);
  EXPECT_EQ(Driver.Shown[0].Text, "Unable to write to /x.");
  EXPECT_EQ(Driver.Shown[0].Title, "Qelvo门锁接口");
  EXPECT_EQ(Driver.Shown[0].Icon, QMessageBox::Critical);
  EXPECT_TRUE(Guarded(&window, [] {}));
}

}  // namespace
}  // namespace shell
