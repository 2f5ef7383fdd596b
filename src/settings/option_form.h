#pragma once
#include <QDialog>

class QCheckBox;
class QComboBox;
class QKeyEvent;
class QLineEdit;
class QPushButton;

namespace settings {

// The card encoder settings dialog: shows PortName, Bianhao, HotelID and
// LLock of Option and saves them to Option.ini. The values are in force for
// the next request at once. Main thread only; lives for one showing.
class TOptionForm : public QDialog {
  Q_OBJECT

 public:
  explicit TOptionForm(QWidget* owner = nullptr);

  QComboBox* PortNameCmb;
  QLineEdit* BianhaoEdit;
  QLineEdit* HotelIDEdit;
  QCheckBox* LLockCheckBox;
  QPushButton* OKBtn;
  QPushButton* CancelBtn;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void FormCreate();
  void OKBtnClick();
};

// Shows the dialog modally without an owner: the encoder driver's
// EditOption in the desktop program.
void ShowOptionForm();

}  // namespace settings
