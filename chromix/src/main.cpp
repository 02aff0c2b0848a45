// Chromix: asks for a spectrum file and writes its colour to "RGB_" + the name.
#include "chromix.h"

#include <iostream>

int main() {
    return chromix::run(std::cin, std::cout, std::cerr, ".");
}
