#pragma once
#include <exception>
#include <string>
#include <string_view>

#include <QString>

class QWidget;

namespace shell {

// What every window does with an error that escapes one of its handlers:
// Qt's event loop does not carry exceptions, so each slot, creation and
// destruction runs its body through Guarded, which reports the error and
// leaves the window as it was. Main thread only.

// The application title: the main window sets it after the interface kind.
// Kept as the application name, not the display name, because Qt appends a
// display name to every window title and the captions must stay as given.
QString ApplicationTitle();
void SetApplicationTitle(const std::string& title);

// The error's text as the operator sees it: a full stop is appended when
// the last byte sorts after '.', so "'12a' is not a valid integer value"
// gets one and a text already ending in '.' or '!' does not.
std::string ErrorReportText(std::string_view message);

// A modal error box: the application title as caption, an error icon, OK.
void ShowErrorReport(QWidget* parent, std::string_view message);

// Runs body; an exception escaping it is reported. True when none did.
template <typename Body>
bool Guarded(QWidget* parent, Body&& body) {
  try {
    body();
    return true;
  } catch (const std::exception& e) {
    ShowErrorReport(parent, e.what());
  } catch (...) {
    ShowErrorReport(parent, "Unknown error");
  }
  return false;
}

}  // namespace shell
