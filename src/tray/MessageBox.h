#pragma once
// Every message box of the tray program goes through one function that the
// program's context carries (ProgramContext.h), so tests can record boxes
// instead of waiting on them and the program can write them to stderr.
#include <QString>
#include <functional>

class QWidget;

namespace norvo::tray {

enum class BoxIcon { Information, Warning, Critical };

struct BoxCall {
  QWidget* parent = nullptr;
  BoxIcon icon = BoxIcon::Information;
  QString title;
  QString text;
};

using MessageBoxFunction = std::function<void(const BoxCall&)>;

// A modal QMessageBox with an OK button (the program's own).
void ModalMessageBox(const BoxCall& call);
// One line "title: text" on stderr, no wait.
void StderrMessageBox(const BoxCall& call);

}  // namespace norvo::tray
