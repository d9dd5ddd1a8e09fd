#include "run/NorvoT.h"

int main(int argc, char** argv) { return norvo::run::NorvoTMain(argc, argv); }
