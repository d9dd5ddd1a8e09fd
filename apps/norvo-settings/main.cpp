// norvo-settings: reads and writes the settings store from the command line.
#include <iostream>
#include <string>
#include <vector>

#include "platform/System.h"
#include "settings/SettingsTool.h"

int main(int argc, char** argv) {
  return norvo::settings::RunSettingsTool(norvo::platform::ProgramArguments(argc, argv), std::cout,
                                          std::cerr);
}
