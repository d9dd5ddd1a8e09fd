#pragma once
// Every message box of the tray program goes through one replaceable
// function, so tests can record boxes instead of waiting on them and the
// program can be told to write them to stderr.
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

// Shows a box with an OK button through the current function.
void ShowMessageBox(QWidget* parent, BoxIcon icon, const QString& title, const QString& text);

// Replaces the function; returns the one that was in use.
MessageBoxFunction SetMessageBoxFunction(MessageBoxFunction function);

// A modal QMessageBox (the default).
void ModalMessageBox(const BoxCall& call);
// One line "title: text" on stderr, no wait.
void StderrMessageBox(const BoxCall& call);

}  // namespace norvo::tray
