#pragma once
#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace shell {

// The About dialog: the product's picture, its title after the interface
// kind, version, copyright and maker. Lives for one showing.
class TAboutForm : public QDialog {
  Q_OBJECT

 public:
  explicit TAboutForm(QWidget* owner = nullptr);

  QLabel* Image1;
  QLabel* lblAppTitle;
  QLabel* lblVersion;
  QLabel* lblCopyright;
  QLabel* lblCompany;
  QPlainTextEdit* mmo;
  QPushButton* btnOK;

 private:
  void FormCreate();
};

// Creates the About dialog, shows it modally over owner and destroys it.
void ShowAbout(QWidget* owner = nullptr);

}  // namespace shell
