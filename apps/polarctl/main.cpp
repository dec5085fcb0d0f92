#include <iostream>
#include <string>
#include <vector>

#include "apps/polarctl/polarctl.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return RunPolarctl(args, std::cout, std::cerr);
}
