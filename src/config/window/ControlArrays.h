#pragma once
// Controls of an array are built as "name_index" (a name the interface
// compiler accepts) and renamed to "name(index)", the name they are known by.
#include <QStringList>

class QWidget;

namespace norvo::config {

// Renames every child "name_N" of the window whose name is one of `arrays` to "name(N)".
void NameArrays(QWidget* window, const QStringList& arrays);

}  // namespace norvo::config
