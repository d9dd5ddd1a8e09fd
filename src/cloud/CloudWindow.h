#pragma once
// The one cloud browser of the program, for the tray menu's "Cloud".
class QWidget;

namespace norvo::cloud {

// A new, loaded frmCloud; or the existing one when a restore left it hidden
// (it is shown again as it was, without a new listing) or it is still open.
QWidget* CloudWindow();

}  // namespace norvo::cloud
