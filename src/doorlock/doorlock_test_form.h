#pragma once
#include <QDialog>

#include "platform/date_time.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace doorlock {

// Lets the operator drive the current door-lock device by hand: open,
// beep, close, write a guest card for a room and a period (with the same
// room bookkeeping in the record store as an issue request), read and
// cancel. Every device and store call holds shell::RequestLock, so it never
// runs inside a request. Main thread only; lives for one showing.
class TDoorlockTestForm : public QDialog {
  Q_OBJECT

 public:
  // openedAt fills the two validity boxes: an hour before it, two days after.
  explicit TDoorlockTestForm(QWidget* owner = nullptr,
                             platform::TDateTime openedAt = platform::Now());

  QPushButton* OpenPortBtn;
  QPushButton* beepBtn;
  QPushButton* ClosePortBtn;
  QLineEdit* RoomBuildingCodeTxt;
  QLineEdit* RoomFloorCodeTxt;
  QLineEdit* RoomNoTxt;
  QLineEdit* CheckInDateTimeTxt;
  QLineEdit* CheckOutDateTimeTxt;
  QCheckBox* IsCopyCheckBox;
  QPushButton* WriteCardBtn;
  QLineEdit* CardNoTxt;
  QPushButton* ReadCardBtn;
  QPushButton* EraseCardBtn;

 private:
  void WriteCardBtnClick();
  void ReadCardBtnClick();
};

// Creates the dialog without an owner, shows it modally and destroys it.
void ShowDoorlockTest();

}  // namespace doorlock
