// exampletremor OUTPUT_DIRECTORY: writes the bundled example tremor.
#include "tools/exampletremor/exampletremor.h"

#include <iostream>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "Użycie: exampletremor KATALOG\n";
        return 2;
    }
    try {
        dyma::example::WriteExampleTremor(argv[1]);
    } catch (const std::exception& e) {
        std::cerr << "exampletremor: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
