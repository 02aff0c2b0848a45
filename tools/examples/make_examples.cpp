// make_examples DIR: writes the example documents and data files into DIR (the repository's
// examples/ folder when they are to be renewed).
#include "example_generator.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_examples DIR\n");
        return 2;
    }
    std::string dir = argv[1];
    if (!dir.ends_with('/')) dir += '/';
    std::string failed;
    if (!plox::examples::write_examples(dir, &failed)) {
        std::fprintf(stderr, "make_examples: cannot write %s%s\n", dir.c_str(), failed.c_str());
        return 1;
    }
    return 0;
}
