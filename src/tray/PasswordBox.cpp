#include "tray/PasswordBox.h"

#include <QLineEdit>

namespace norvo::tray {

// The style sheet property is the one way to choose the character per box;
// it leaves the rest of the box drawn by the style.
void MaskWithStars(QLineEdit* box) { box->setStyleSheet("lineedit-password-character: 42;"); }

}  // namespace norvo::tray
