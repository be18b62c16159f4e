// dyma: the command-line companion of WinDYMA. It reads signal files, runs
// the processing command on project files, prints reports and imports the
// files of the older DYMA workflow, with the program's own model code and
// its Polish messages, on machines without a desktop.
#include "app/cli/commands.h"
#include "app/cli/console.h"
#include "app/cli/toolfolder.h"
#include "common/product.h"

#include <QCoreApplication>
#include <QStringList>

#include <iostream>
#include <string>
#include <vector>

namespace {

using namespace dyma::cli;

struct Command {
    const char* name;
    const char* summary;
    int (*run)(const CommandArgs&);
};

constexpr Command kCommands[] = {
    {"info", "opis pliku sygnału i tabela stacji (także jako JSON)", InfoCommand},
    {"export", "próbki pliku sygnału albo rozwiązania projektów (QuakeML, CSV, JSON)", ExportCommand},
    {"solve", "przetwarzanie plików projektu programem NPFA.EXE", SolveCommand},
    {"report", "raport tekstowy rozwiązania zapisanego w pliku projektu", ReportCommand},
    {"import", "import plików DAT i RES albo DAT i NET programu DYMA", ImportCommand},
    {"picks", "automatyczne wstąpienia i polaryzacje kanałów pliku sygnału", PicksCommand},
};

void PrintHelp(std::ostream& out) {
    out << "dyma: wiersz poleceń programu " << dyma::kProductDisplay << "\n\n"
        << "Użycie: dyma POLECENIE [ARGUMENTY] [OPCJE]\n\nPolecenia:\n";
    for (const Command& c : kCommands) out << "  " << std::string(c.name).append(8 - std::string(c.name).size(), ' ') << c.summary << '\n';
    out << "\n\"dyma POLECENIE --help\" opisuje polecenie.\n"
        << "Kod wyjścia: 0 powodzenie, 1 nieudany plik, 2 błędne wywołanie.\n";
}

int Run(const std::vector<std::string>& args) {
    if (args.empty()) {
        PrintHelp(std::cerr);
        return kExitUsage;
    }
    const std::string& name = args.front();
    if (name == "--help" || name == "-h" || name == "help") {
        PrintHelp(std::cout);
        return kExitOk;
    }
    if (name == "--version") {
        std::cout << dyma::kProductDisplay << '\n';
        return kExitOk;
    }
    for (const Command& c : kCommands) {
        if (name != c.name) continue;
        try {
            return c.run(CommandArgs(args.begin() + 1, args.end()));
        } catch (const UsageError& e) {
            std::cerr << "Błędne wywołanie: " << e.what() << "\nPomoc: dyma " << c.name << " --help\n";
            return kExitUsage;
        } catch (const std::exception& e) {
            // Whatever the model code did not expect still ends this file's
            // processing with its own text, as the program's error box does.
            PrintError(e.what());
            return kExitFailed;
        }
    }
    std::cerr << "Błędne wywołanie: nieznane polecenie " << name << "\nPomoc: dyma --help\n";
    return kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName("Quarnet");
    QCoreApplication::setApplicationName("Dyma");
    // What killed runs of dyma left in the temporary directory.
    SweepEndedToolRuns();
    std::vector<std::string> args;
    const QStringList arguments = QCoreApplication::arguments();
    for (qsizetype i = 1; i < arguments.size(); ++i) args.push_back(arguments[i].toStdString());
    return Run(args);
}
