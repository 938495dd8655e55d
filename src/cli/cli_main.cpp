#include <iostream>

#include "cli/cli.h"

int main(int argc, char** argv) { return fhr::cli::Run(argc, argv, std::cin, std::cout, std::cerr); }
