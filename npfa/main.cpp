// NPFA.EXE: the nodal-plane solver. Started by the program with no
// arguments in its working directory; from a shell the working directory
// may be given as the only argument.
#include <iostream>

#include "npfa/solverrun.h"

int main(int argc, char** argv) {
    if (argc > 2) {
        std::cerr << "Użycie: NPFA.EXE [katalog roboczy]\n";
        return dyma::npfa::kExitInput;
    }
    return dyma::npfa::RunSolver(argc == 2 ? argv[1] : "", std::cerr);
}
