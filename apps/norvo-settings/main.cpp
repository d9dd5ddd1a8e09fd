// norvo-settings: reads and writes the settings store from the command line.
#include <iostream>
#include <string>
#include <vector>

#include "admin/SettingsTool.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return norvo::admin::RunSettingsTool(args, {std::cin, std::cout, std::cerr});
}
