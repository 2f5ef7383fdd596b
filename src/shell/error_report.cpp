#include "shell/error_report.h"

#include <QCoreApplication>
#include <QMessageBox>

namespace shell {

QString ApplicationTitle() { return QCoreApplication::applicationName(); }

void SetApplicationTitle(const std::string& title) {
  QCoreApplication::setApplicationName(QString::fromStdString(title));
}

std::string ErrorReportText(std::string_view message) {
  std::string text(message);
  if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
  return text;
}

void ShowErrorReport(QWidget* parent, std::string_view message) {
  QMessageBox::critical(parent, ApplicationTitle(),
                        QString::fromStdString(ErrorReportText(message)), QMessageBox::Ok);
}

}  // namespace shell
