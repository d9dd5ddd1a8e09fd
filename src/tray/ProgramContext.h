#pragma once
// What the windows of the tray program are given when they are made, rather
// than reaching for it themselves: the provider configuration, loaded once
// when the program starts, and the function that shows message boxes (a
// modal box, a line on stderr, or a test's recorder).
#include <QString>

#include "settings/ProviderConfig.h"
#include "tray/MessageBox.h"

class QWidget;

namespace norvo::tray {

struct ProgramContext {
  settings::ProviderConfig provider;
  MessageBoxFunction messageBox = ModalMessageBox;

  // A box with an OK button, through messageBox.
  void ShowMessageBox(QWidget* parent, BoxIcon icon, const QString& title, const QString& text) const;
};

// The context of this start of the program: the installation's provider
// configuration (its built-in values, with the reason on stderr, when the
// file is bad), and boxes as lines on stderr when NORVO_MESSAGES=stderr.
ProgramContext LoadProgramContext();

}  // namespace norvo::tray
