#include "shell/main_form.h"

#include <memory>
#include <mutex>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#if QT_CONFIG(sessionmanager)
#include <QSessionManager>
#endif

#include "doorlock/doorlock_test_form.h"
#include "member/base_member.h"
#include "member/member_test_form.h"
#include "platform/encoder_library.h"
#include "police/base_police.h"
#include "police/police_message_handler.h"
#include "settings/change_password_form.h"
#include "settings/check_password_form.h"
#include "shell/about_form.h"
#include "shell/error_report.h"
#include "shell/globals.h"

namespace shell {

TMainForm* MainForm = nullptr;

namespace {

// The four command images, drawn on a 16-unit grid at any size.
enum class Image { Option, ChangePassword, About, Exit };

QPixmap DrawImage(Image image, int size) {
  if (image == Image::ChangePassword) return settings::KeyPicture(size);
  QPixmap picture(size, size);
  picture.fill(Qt::transparent);
  QPainter p(&picture);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 16.0, size / 16.0);
  switch (image) {
    case Image::Option: {
      // A cog wheel.
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(90, 98, 112));
      p.translate(8, 8);
      for (int i = 0; i < 8; ++i) {
        p.drawRect(QRectF(-1.4, -7.5, 2.8, 4));
        p.rotate(45);
      }
      p.drawEllipse(QPointF(0, 0), 5.2, 5.2);
      p.setBrush(QColor(235, 238, 242));
      p.drawEllipse(QPointF(0, 0), 2.2, 2.2);
      break;
    }
    case Image::About: {
      p.setPen(QPen(QColor(20, 70, 150), 0.8));
      p.setBrush(QColor(50, 120, 210));
      p.drawEllipse(QRectF(1, 1, 14, 14));
      p.setPen(Qt::NoPen);
      p.setBrush(Qt::white);
      p.drawEllipse(QRectF(7, 3.5, 2.2, 2.2));
      p.drawRoundedRect(QRectF(7, 6.8, 2.2, 6), 0.8, 0.8);
      break;
    }
    case Image::Exit: {
      // An open door with an arrow leaving through it.
      p.setPen(QPen(QColor(110, 60, 20), 0.8));
      p.setBrush(QColor(170, 110, 50));
      p.drawRect(QRectF(2, 1.5, 8, 13));
      p.setBrush(QColor(40, 30, 20));
      p.drawRect(QRectF(4, 3, 5, 10));
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(200, 40, 30));
      QPainterPath arrow;
      arrow.moveTo(6, 7);
      arrow.lineTo(11, 7);
      arrow.lineTo(11, 4.5);
      arrow.lineTo(15, 8);
      arrow.lineTo(11, 11.5);
      arrow.lineTo(11, 9);
      arrow.lineTo(6, 9);
      arrow.closeSubpath();
      p.drawPath(arrow);
      break;
    }
    case Image::ChangePassword:
      break;
  }
  return picture;
}

QIcon CommandIcon(Image image) {
  QIcon icon;
  for (int size : {16, 32}) icon.addPixmap(DrawImage(image, size));
  return icon;
}

// The window's icon: a key card before a lock.
QIcon WindowIcon() {
  QIcon icon;
  for (int size : {16, 32, 48, 64}) {
    QPixmap picture(size, size);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    p.setPen(QPen(QColor(14, 44, 100), 1.2));
    p.setBrush(QColor(34, 92, 180));
    p.drawRoundedRect(QRectF(2, 6, 28, 20), 3, 3);
    p.setBrush(QColor(240, 180, 40));
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(6, 12, 7, 6));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(16, 12, 10, 2));
    p.drawRect(QRectF(16, 17, 7, 2));
    icon.addPixmap(picture);
  }
  return icon;
}

}  // namespace

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent), TCPServer(this) {
  setObjectName("MainForm");
  setFont(QFont("MS Sans Serif", 8));
  resize(873, 500);
  // For every window of the program, the ownerless dialogs included.
  QApplication::setWindowIcon(WindowIcon());

  auto action = [this](const char* name, const char* caption) {
    auto* a = new QAction(caption, this);
    a->setObjectName(name);
    return a;
  };
  OptionAction = action("OptionAction", "选项(&O)...");
  OptionAction->setIcon(CommandIcon(Image::Option));
  ChangePasswordAction = action("ChangePasswordAction", "更改管理员密码(&C)");
  ChangePasswordAction->setIcon(CommandIcon(Image::ChangePassword));
  AboutAction = action("AboutAction", "关于(&A)...");
  AboutAction->setIcon(CommandIcon(Image::About));
  ExitAction = action("ExitAction", "退出(&X)");
  ExitAction->setIcon(CommandIcon(Image::Exit));
  TestAction = action("TestAction", "测试(&T)");

  // Every command runs through the error report: the window stays as it was.
  auto bind = [this](QAction* a, void (TMainForm::*handler)()) {
    connect(a, &QAction::triggered, this, [this, handler] { Guarded(this, [&] { (this->*handler)(); }); });
  };
  bind(OptionAction, &TMainForm::OptionActionExecute);
  bind(TestAction, &TMainForm::TestActionExecute);
  bind(ChangePasswordAction, &TMainForm::ChangePasswordActionExecute);
  bind(AboutAction, &TMainForm::AboutActionExecute);
  bind(ExitAction, &TMainForm::ExitActionExecute);

  QMenuBar* menu = menuBar();
  menu->setObjectName("MainMenu");
  QMenu* fileMenu = menu->addMenu("文件(&F)");
  fileMenu->setObjectName("FileMenu");
  fileMenu->addAction(ExitAction);
  QMenu* toolsMenu = menu->addMenu("工具(&T)");
  toolsMenu->setObjectName("ToolsMenu");
  toolsMenu->addAction(OptionAction);
  toolsMenu->addAction(TestAction);
  toolsMenu->addSeparator();
  toolsMenu->addAction(ChangePasswordAction);
  QMenu* helpMenu = menu->addMenu("帮助(&H)");
  helpMenu->setObjectName("HelpMenu");
  helpMenu->addAction(AboutAction);

  ToolBar = addToolBar("ToolBar");
  ToolBar->setObjectName("ToolBar");
  ToolBar->setMovable(false);
  ToolBar->setFloatable(false);
  ToolBar->setIconSize(QSize(16, 16));
  ToolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
  ToolBar->setContextMenuPolicy(Qt::PreventContextMenu);
  auto button = [this](QAction* a, const char* name) {
    ToolBar->addAction(a);
    ToolBar->widgetForAction(a)->setObjectName(name);
  };
  button(OptionAction, "OptionButton");
  button(ChangePasswordAction, "ChangePasswordButton");
  ToolBar->addSeparator();
  button(AboutAction, "HelpButton");
  ToolBar->addSeparator();
  button(ExitAction, "ExitButton");

  InfoMemo = new QPlainTextEdit(this);
  InfoMemo->setObjectName("InfoMemo");
  setCentralWidget(InfoMemo);

  statusBar()->setObjectName("StatusBar");
  EncoderLabel = new QLabel(this);
  EncoderLabel->setObjectName("EncoderLabel");
  EncoderLabel->setContentsMargins(4, 0, 4, 0);
  if (platform::EncoderIsSimulated()) EncoderLabel->setText("模拟发卡器");
  statusBar()->addWidget(EncoderLabel);

  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect frame(QPoint(0, 0), size());
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }

#if QT_CONFIG(sessionmanager)
  // The desktop ending the session asks like the close button does.
  connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager& manager) {
    if (manager.allowsInteraction()) {
      if (!FormCloseQuery()) manager.cancel();
      manager.release();
    }
  });
#endif

  Guarded(this, [this] { FormCreate(); });
}

TMainForm::~TMainForm() {
  Guarded(this, [this] { FormDestroy(); });
}

void TMainForm::FormCreate() {
  // The date and time texts of the whole process are fixed in platform
  // ("yyyy-mm-dd", "hh:nn:ss"), never taken from the locale, so there is
  // nothing to set or to guard against regional changes here.
  const std::string caption = InterfaceCaption(InterfaceKind);
  if (!caption.empty()) {
    SetApplicationTitle(caption);
    setWindowTitle(QString::fromStdString(caption));
  }
  // A port that cannot be bound is reported and the window opens anyway.
  TCPServer.StartServer();
}

void TMainForm::FormDestroy() { TCPServer.StopServer(); }

bool TMainForm::FormCloseQuery() {
  bool mayClose = false;
  Guarded(this, [&] { mayClose = settings::CheckAdminPassword(this); });
  return mayClose;
}

void TMainForm::closeEvent(QCloseEvent* event) {
  if (!FormCloseQuery()) {
    event->ignore();
    return;
  }
  event->accept();
  emit Closed();
}

void TMainForm::AddLine(const std::string& line) {
  InfoMemo->appendPlainText(QString::fromStdString(line));
}

void TMainForm::ShowModal() {
  QEventLoop loop;
  connect(this, &TMainForm::Closed, &loop, &QEventLoop::quit);
  show();
  loop.exec();
}

void TMainForm::OptionActionExecute() {
  if (!settings::CheckAdminPassword(this)) return;
  switch (InterfaceKind) {
    case ikDoorlock:
      if (doorlock::Doorlock != nullptr) doorlock::Doorlock->EditOption();
      break;
    case ikPolice:
      if (police::PoliceDevice != nullptr) police::PoliceDevice->EditOption();
      break;
    case ikMember:
      if (member::MemberCardDevice != nullptr) member::MemberCardDevice->EditOption();
      break;
    default:
      break;
  }
}

void TMainForm::TestActionExecute() {
  switch (InterfaceKind) {
    case ikDoorlock:
      if (doorlock::Doorlock != nullptr) doorlock::ShowDoorlockTest();
      break;
    case ikPolice: {
      if (police::PoliceDevice == nullptr) break;
      std::string text;
      {
        // Requests read the device on worker threads.
        std::lock_guard<std::timed_mutex> guard(RequestLock);
        const police::TGuest* guest = police::PoliceDevice->ReadGuest();
        text = guest != nullptr ? police::GuestToXml(*guest) : kNoGuestText;
      }
      QMessageBox box(QMessageBox::NoIcon, ApplicationTitle(), QString::fromStdString(text),
                      QMessageBox::Ok, this);
      box.exec();
      break;
    }
    case ikMember:
      if (member::MemberCardDevice != nullptr) member::ShowMemberTest();
      break;
    default:
      break;
  }
}

void TMainForm::ChangePasswordActionExecute() {
  if (settings::CheckAdminPassword(this)) settings::ShowChangePassword(this);
}

void TMainForm::AboutActionExecute() { ShowAbout(this); }

void TMainForm::ExitActionExecute() { close(); }

void RunInterface(doorlock::TBaseDoorlock* device) {
  InterfaceKind = ikDoorlock;
  if (device != nullptr) doorlock::Doorlock = device;
  RunMainForm();
}

void RunMainForm() {
  // The window's own close ends the run, not the last window Qt sees.
  QApplication::setQuitOnLastWindowClosed(false);
  auto form = std::make_unique<TMainForm>();
  MainForm = form.get();
  // Destroyed also when the run ends with an error: that stops the listener.
  struct Release {
    std::unique_ptr<TMainForm>& form;
    ~Release() {
      MainForm = nullptr;
      form.reset();
    }
  } release{form};
  form->ShowModal();
}

}  // namespace shell
