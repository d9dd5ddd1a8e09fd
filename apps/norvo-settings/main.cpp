// norvo-settings: reads and writes the settings store from the command line.
#include <iostream>
#include <string>
#include <vector>

#include "admin/SettingsTool.h"
#include "platform/System.h"

int main(int argc, char** argv) {
  return norvo::admin::RunSettingsTool(norvo::platform::ProgramArguments(argc, argv),
                                       {std::cin, std::cout, std::cerr});
}
