// The orvane executable: the desktop protocol analyzer.
#include "app/program.hpp"

int main(int argc, char** argv) { return orvane::ProgramMain(argc, argv); }
