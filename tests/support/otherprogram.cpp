// "The other program" of the tests: a process that holds what a second
// running copy of WinDYMA would hold, with the program's own classes, until
// its standard input closes (it then ends as a program does, letting go of
// everything) or it is killed (and leaves its locks behind, stale).
//
//   otherprogram project FILE          holds the lock beside the project FILE
//   otherprogram run BASE PREFIX NAME  makes a run folder in BASE and puts an
//                                      own file NAME into it
//
// It prints one line once it holds them: "locked", or the run folder's path.
#include "app/document/projectlock.h"
#include "app/solver/runfolder.h"

#include <QCoreApplication>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const std::string mode = argc > 1 ? argv[1] : "";
    std::unique_ptr<dyma::ProjectLock> project;
    std::unique_ptr<dyma::RunFolder> run;
    if (mode == "project" && argc == 3) {
        project = std::make_unique<dyma::ProjectLock>(argv[2]);
        if (project->GetState() != dyma::ProjectLock::State::Held) {
            std::puts("busy");
            return 1;
        }
        std::puts("locked");
    } else if (mode == "run" && argc == 5) {
        run = std::make_unique<dyma::RunFolder>(argv[2], argv[3]);
        std::ofstream(run->Path() + "/" + argv[4]) << "x";
        std::puts(run->Path().c_str());
    } else {
        std::fputs("usage: otherprogram project FILE | run BASE PREFIX NAME\n", stderr);
        return 2;
    }
    std::fflush(stdout);
    std::string line;
    while (std::getline(std::cin, line)) {
    }
    return 0;
}
