#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "doorlock/base_doorlock.h"
#include "gui/modal_driver.h"
#include "member/base_member.h"
#include "police/base_police.h"
#include "settings/option.h"
#include "settings/sys_option.h"
#include "shell/error_report.h"
#include "shell/globals.h"
#include "support/log_capture.h"
#include "support/temp_dir.h"

namespace gui_testing {

// A fresh system for one window test: no Option.ini yet in a directory of
// its own, both settings objects loaded from it and installed as the
// globals, the log captured, and every modal dialog answered by Driver.
// Restores the globals afterwards and fails the test when a dialog opened
// that no answer expected, or an expected one never opened.
class GuiTest : public ::testing::Test {
 protected:
  GuiTest()
      : Sys(Dir.File("Option.ini")),
        Opt(Dir.File("Option.ini")),
        PreviousSys_(settings::SysOption),
        PreviousOpt_(settings::Option),
        PreviousKind_(shell::InterfaceKind),
        PreviousDoorlock_(doorlock::Doorlock),
        PreviousPolice_(police::PoliceDevice),
        PreviousMember_(member::MemberCardDevice) {
    Sys.Load();
    Opt.Load();
    settings::SysOption = &Sys;
    settings::Option = &Opt;
    shell::SetApplicationTitle("gui_tests");
  }
  ~GuiTest() override {
    settings::SysOption = PreviousSys_;
    settings::Option = PreviousOpt_;
    shell::InterfaceKind = PreviousKind_;
    doorlock::Doorlock = PreviousDoorlock_;
    police::PoliceDevice = PreviousPolice_;
    member::MemberCardDevice = PreviousMember_;
  }
  void TearDown() override {
    EXPECT_EQ(Driver.Pending(), 0u) << "an expected dialog never opened";
    EXPECT_EQ(Driver.Unexpected, 0) << "a dialog opened that no answer expected";
  }

  std::string IniPath() const { return Dir.File("Option.ini"); }
  std::string IniText() const { return testing_support::ReadFile(IniPath()); }

  testing_support::TempDir Dir;
  testing_support::LogCapture Log;
  settings::TSysOption Sys;
  settings::TOption Opt;
  ModalDriver Driver;

 private:
  settings::TSysOption* PreviousSys_;
  settings::TOption* PreviousOpt_;
  std::int32_t PreviousKind_;
  doorlock::TBaseDoorlock* PreviousDoorlock_;
  police::TBasePolice* PreviousPolice_;
  member::TBaseMember* PreviousMember_;
};

}  // namespace gui_testing
