#pragma once
#include <string>
#include <vector>

#include "member/base_member.h"

namespace testing_support {

// A member card device that records each call and answers as told.
class TTestMember : public member::TBaseMember {
 public:
  struct Call {
    std::string Name;
    std::string CardNo, Data1, Data2, Data3;
    bool ReadOption = false;
    std::int32_t Channel = 0;
  };

  void OpenPort() override { Calls.push_back({"OpenPort"}); }
  void ClosePort() override { Calls.push_back({"ClosePort"}); }
  void Beep() override { Calls.push_back({"Beep"}); }
  bool WriteCard(const std::string& CardNo, const std::string& Data1, const std::string& Data2,
                 const std::string& Data3, std::int32_t Channel) override {
    Calls.push_back({"WriteCard", CardNo, Data1, Data2, Data3, false, Channel});
    return Succeed;
  }
  bool ReadCard(bool ReadOption, std::string& CardNo, std::string& Password,
                std::string& ExpireDate, std::string& GuestName, std::string& Score,
                std::int32_t Channel) override {
    Calls.push_back({"ReadCard", "", "", "", "", ReadOption, Channel});
    // Set on failure too: callers show what the device left.
    CardNo = "M001";
    Password = "pw";
    ExpireDate = "2027-01-01";
    GuestName = "王五";
    Score = "300";
    return Succeed;
  }

  bool Succeed = true;
  std::vector<Call> Calls;
};

}  // namespace testing_support
