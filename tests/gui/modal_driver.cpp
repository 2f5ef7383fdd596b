#include "gui/modal_driver.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

namespace gui_testing {

namespace {

// One application for the whole test program, made before the first test.
class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    // CTest sets the offscreen platform; a run by hand gets it too.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "gui_tests";
    static char* argv[] = {name, nullptr};
    App_ = new QApplication(argc, argv);
  }
  void TearDown() override {
    delete App_;
    App_ = nullptr;
  }

 private:
  QApplication* App_ = nullptr;
};

[[maybe_unused]] const auto* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace

ModalDriver::ModalDriver() {
  Timer_.setInterval(5);
  connect(&Timer_, &QTimer::timeout, this, [this] { Poll(); });
  Timer_.start();
}

ModalDriver& ModalDriver::Then(Answer answer) {
  Answers_.push_back(std::move(answer));
  return *this;
}

void ModalDriver::Poll() {
  if (Busy_) return;
  QWidget* modal = QApplication::activeModalWidget();
  if (modal == nullptr || !modal->isVisible()) return;
  Busy_ = true;
  // Queued, not called here: Qt does not fire this timer again while its
  // own handler runs, and the answer may open a nested modal.
  QMetaObject::invokeMethod(
      this,
      [this, target = QPointer<QWidget>(modal)] {
        Busy_ = false;
        if (target == nullptr || !target->isVisible()) return;
        Seen seen;
        seen.ClassName = target->metaObject()->className();
        seen.Title = target->windowTitle();
        if (auto* box = qobject_cast<QMessageBox*>(target.data())) {
          seen.Text = box->text();
          seen.Icon = box->icon();
        }
        Shown.push_back(seen);
        if (Answers_.empty()) {
          ++Unexpected;
          if (auto* dialog = qobject_cast<QDialog*>(target.data())) dialog->reject();
          else target->close();
          return;
        }
        Answer answer = std::move(Answers_.front());
        Answers_.pop_front();
        answer(target);
      },
      Qt::QueuedConnection);
}

QWidget* Child(QWidget* parent, const char* objectName) {
  auto* child = parent->findChild<QWidget*>(objectName);
  EXPECT_NE(child, nullptr) << "no widget " << objectName;
  return child;
}

void ClickButton(QWidget* modal, const char* objectName) {
  if (auto* button = qobject_cast<QAbstractButton*>(Child(modal, objectName))) button->click();
}

void ClickOk(QWidget* modal) {
  auto* box = qobject_cast<QMessageBox*>(modal);
  ASSERT_NE(box, nullptr) << "not a message box: " << modal->metaObject()->className();
  box->button(QMessageBox::Ok)->click();
}

void Reject(QWidget* modal) {
  if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
}

void Type(QWidget* modal, const char* objectName, const QString& text) {
  if (auto* edit = qobject_cast<QLineEdit*>(Child(modal, objectName))) edit->setText(text);
}

}  // namespace gui_testing

namespace gui_testing {

std::vector<QString> TabOrder(QWidget* form) {
  std::vector<QString> names;
  QWidget* w = form->nextInFocusChain();
  for (int guard = 0; w != form && guard < 500; ++guard, w = w->nextInFocusChain()) {
    if ((w->focusPolicy() & Qt::TabFocus) && !w->objectName().isEmpty() &&
        !w->objectName().startsWith("qt_")) {
      names.push_back(w->objectName());
    }
  }
  return names;
}

}  // namespace gui_testing
