#pragma once
// The program-wide database connection behind OpenDatabase, shared by the
// database routines of this folder.
#include "run/OdbcConnection.h"

namespace norvo::run {

// The connection of the last OpenDatabase (a closed one before the first).
OdbcConnection& CurrentDatabaseConnection();

}  // namespace norvo::run
