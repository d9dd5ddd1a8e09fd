#pragma once
// The one cloud browser of the program, for the tray menu's "Cloud".
#include "cloud/SaveDialog.h"
#include "tray/ProgramContext.h"
#include "tray/frmMenu.h"

namespace norvo::cloud {

// Makes the cloud browser for the context: a new, loaded frmCloud; or the
// one it made before when a restore left it hidden (it is shown again as it
// was, without a new listing) or it is still open.
tray::WindowFactory CloudWindowFactory(const tray::ProgramContext& context,
                                       SaveDialogFunction saveDialog = ModalSaveDialog);

}  // namespace norvo::cloud
