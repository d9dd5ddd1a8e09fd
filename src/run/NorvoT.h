#pragma once
// The program Norvo_T: one backup run for the current user, started by the
// scheduler or by the tray program, without arguments and without a window.

namespace norvo::run {

// Everything main() does. Exit status 0 when the run went to its end (or
// found no account), 1 when it was ended by its failure handler or another
// run of the same user was going on, 2 for wrong arguments.
int NorvoTMain(int argc, char** argv);

}  // namespace norvo::run
