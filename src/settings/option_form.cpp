#include "settings/option_form.h"

#include <mutex>
#include <string>

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include "platform/integer_text.h"
#include "settings/option.h"
#include "shell/error_report.h"
#include "shell/globals.h"

namespace settings {

namespace {

QLabel* RowLabel(QWidget* parent, const char* name, const char* text, int top) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  label->setGeometry(48, top + 3, 72, 16);
  return label;
}

}  // namespace

TOptionForm::TOptionForm(QWidget* owner) : QDialog(owner) {
  setObjectName("OptionForm");
  setWindowTitle("修改门锁参数");
  setFont(QFont("MS Sans Serif", 8));
  setFixedSize(355, 259);
  // A fixed dialog: a close button, nothing to minimise or maximise.
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                 Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

  RowLabel(this, "Label1", "设置端口  ", 32);
  PortNameCmb = new QComboBox(this);
  PortNameCmb->setObjectName("PortNameCmb");
  PortNameCmb->setGeometry(128, 32, 169, 22);
  PortNameCmb->setEditable(true);
  PortNameCmb->setInsertPolicy(QComboBox::NoInsert);
  PortNameCmb->addItem("USB");

  RowLabel(this, "Label2", "客人编号", 72);
  BianhaoEdit = new QLineEdit(this);
  BianhaoEdit->setObjectName("BianhaoEdit");
  BianhaoEdit->setGeometry(128, 72, 169, 22);

  RowLabel(this, "Label3", "酒店标识", 112);
  HotelIDEdit = new QLineEdit(this);
  HotelIDEdit->setObjectName("HotelIDEdit");
  HotelIDEdit->setGeometry(128, 112, 169, 22);

  LLockCheckBox = new QCheckBox("允许开反锁", this);
  LLockCheckBox->setObjectName("LLockCheckBox");
  LLockCheckBox->setGeometry(128, 150, 169, 20);

  OKBtn = new QPushButton("修改", this);
  OKBtn->setObjectName("OKBtn");
  OKBtn->setGeometry(88, 204, 75, 25);
  CancelBtn = new QPushButton("取消", this);
  CancelBtn->setObjectName("CancelBtn");
  CancelBtn->setGeometry(192, 204, 75, 25);
  // Neither button answers Enter: a half-typed number must not be saved by
  // a stray key.
  for (QPushButton* button : {OKBtn, CancelBtn}) {
    button->setAutoDefault(false);
    button->setDefault(false);
  }

  connect(OKBtn, &QPushButton::clicked, this, [this] {
    shell::Guarded(this, [this] { OKBtnClick(); });
  });
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

  shell::Guarded(this, [this] { FormCreate(); });
}

void TOptionForm::FormCreate() {
  const TOption& option = *Option;
  const int index =
      PortNameCmb->findText(QString::fromStdString(option.PortName), Qt::MatchFixedString);
  // A name not in the list (the default "COM1" among them) shows an empty box.
  PortNameCmb->setCurrentIndex(index);
  if (index < 0) PortNameCmb->setEditText(QString());
  BianhaoEdit->setText(QString::number(option.Bianhao));
  HotelIDEdit->setText(QString::number(option.HotelID));
  LLockCheckBox->setChecked(option.LLock);
}

void TOptionForm::keyPressEvent(QKeyEvent* event) {
  // No cancel button either: Escape leaves the operator's entries alone.
  if (event->key() == Qt::Key_Escape) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void TOptionForm::OKBtnClick() {
  TOption& option = *Option;
  {
    // The encoder driver reads these fields for every request on a worker
    // thread: each request sees a field before or after its change. An
    // entry that is no integer stops here, the fields before it taken.
    std::lock_guard<std::timed_mutex> guard(shell::RequestLock);
    option.PortName = PortNameCmb->currentText().toStdString();
    option.Bianhao = platform::StrToInt(BianhaoEdit->text().toStdString());
    option.HotelID = platform::StrToInt(HotelIDEdit->text().toStdString());
    option.LLock = LLockCheckBox->isChecked();
  }
  option.Save();
  QMessageBox::information(this, "提示", "参数已经发生变化,请重新启动程序", QMessageBox::Ok);
  accept();
}

void ShowOptionForm() {
  TOptionForm form;
  form.exec();
}

}  // namespace settings
