#pragma once
// The program Norvo_T: one backup run for the current user, started by the
// scheduler or by the tray program, without arguments and without a window.

namespace norvo::run {

// Everything main() does. Exit status 0 when every item reached the cloud
// and every report went out; 2 when the run went through but an item or a
// report failed; 1 when it ended early: no account (or no answer from the
// account service), its failure handler, another run of the same user going
// on, or arguments it does not take. Nothing else changes with the status.
int NorvoTMain(int argc, char** argv);

}  // namespace norvo::run
