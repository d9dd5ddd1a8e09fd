// Test helper: writes settings from a second process.
//   registry_writer many PREFIX N      writes PREFIX0..PREFIX(N-1) = "value PREFIX i"
//   registry_writer rewrite NAME N     rewrites NAME N times with 100000 copies of one letter
#include <cstdlib>
#include <string>

#include "settings/Settings.h"

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  const std::string mode = argv[1], name = argv[2];
  const int count = std::atoi(argv[3]);
  for (int i = 0; i < count; ++i) {
    if (mode == "many") {
      norvo::settings::WriteSetting(name + std::to_string(i), "value " + name + " " + std::to_string(i));
    } else {
      norvo::settings::WriteSetting(name, std::string(100000, static_cast<char>('a' + i % 26)));
    }
  }
  return 0;
}
