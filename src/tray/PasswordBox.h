#pragma once
// Password boxes mask every character with "*" rather than the style's own
// mark (a dot in most styles), as the program's windows always have.
class QLineEdit;

namespace norvo::tray {

// Makes the box show "*" for each character while its echo mode is Password.
void MaskWithStars(QLineEdit* box);

}  // namespace norvo::tray
