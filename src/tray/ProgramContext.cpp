#include "tray/ProgramContext.h"

#include <cstdlib>
#include <string_view>

namespace norvo::tray {

void ProgramContext::ShowMessageBox(QWidget* parent, BoxIcon icon, const QString& title,
                                    const QString& text) const {
  if (messageBox) messageBox(BoxCall{parent, icon, title, text});
}

ProgramContext LoadProgramContext() {
  ProgramContext context;
  context.provider = settings::ProviderConfigOrDefaults();
  const char* messages = std::getenv("NORVO_MESSAGES");
  if (messages != nullptr && std::string_view(messages) == "stderr") context.messageBox = StderrMessageBox;
  return context;
}

}  // namespace norvo::tray
