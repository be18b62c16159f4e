// dyma plot: the focal sphere of a solved project as an image file, drawn
// exactly as the program's solution views draw it.
#include "app/cli/arguments.h"
#include "app/cli/commands.h"
#include "app/cli/console.h"
#include "app/document/iniimage.h"
#include "app/document/projectfile.h"
#include "app/results/sphereimage.h"
#include "common/textfile.h"

#include <filesystem>
#include <iostream>

namespace dyma::cli {

namespace {

const char kPlotHelp[] =
    "Użycie: dyma plot PROJEKT.dym --out PLIK.{png,svg,pdf} [--size N] [--shade] [--overwrite]\n"
    "\n"
    "Kula ogniskowa rozwiązania zapisanego w pliku projektu jako obraz: PNG,\n"
    "SVG albo PDF (według rozszerzenia pliku), tak jak ją rysuje okno wyniku:\n"
    "płaszczyzny nodalne, osie P i T, stacje z polaryzacjami, stacje niezgodne\n"
    "z rozwiązaniem w obwódce, a gdy plik projektu je ma, chmura osi P i T\n"
    "zbioru dopuszczalnego i klasa jakości.\n"
    "\n"
    "  --out PLIK     plik obrazu (wymagany)\n"
    "  --size N       bok obrazu w pikselach (PDF: w punktach), 50 do 10000;\n"
    "                 domyślnie 800\n"
    "  --shade        ćwiartki kompresji zacieniowane\n"
    "  --overwrite    zastąpienie istniejącego pliku (bez tej opcji istniejący\n"
    "                 plik zostaje nietknięty)\n";

}  // namespace

int PlotCommand(const CommandArgs& args) {
    const Arguments a =
        ParseArguments(args, {{"--out", true, "-o"}, {"--size", true}, {"--shade", false}, {"--overwrite", false}});
    if (a.help) {
        std::cout << kPlotHelp;
        return kExitOk;
    }
    if (a.positional.size() != 1) throw UsageError("Polecenie plot wymaga jednego pliku projektu.");
    const auto out = a.Value("--out");
    if (!out || out->empty()) throw UsageError("Polecenie plot wymaga opcji --out PLIK.");
    const auto format = gui::SphereImageFormatOf(*out);
    if (!format) throw UsageError("Obraz kuli można zapisać tylko jako PNG, SVG albo PDF: " + *out);
    int size = gui::kDefaultSphereImageSize;
    if (const auto text = a.Value("--size")) {
        const long long n = IntegerOption("--size", *text);
        if (n < gui::kMinSphereImageSize || n > gui::kMaxSphereImageSize)
            throw UsageError("Bok obrazu (--size) musi leżeć między 50 a 10000: " + *text);
        size = int(n);
    }

    const std::string& project = a.positional.front();
    ConsoleMessages messages(std::cerr);
    if (!IsProjectFileName(project) || !FileExists(project) || !CheckProjectFile(project, messages)) {
        PrintError(OpenFailedMessage(project));
        return kExitFailed;
    }
    // Never over a file the operator did not ask to replace.
    std::error_code error;
    if (std::filesystem::exists(*out, error) && !a.Has("--overwrite")) {
        PrintError("Plik " + *out + " już istnieje; nic nie zapisano (--overwrite go zastępuje).");
        return kExitFailed;
    }
    SolutionRecord record;
    try {
        const IniImage image(project);
        if (!image.ReadBool("Result", "Exists", false)) {
            PrintError("Plik projektu " + project + " nie zawiera rozwiązania (najpierw dyma solve --save).");
            return kExitFailed;
        }
        LoadResult(record, image);
    } catch (const std::exception& e) {
        PrintError("Nie udało się odczytać rozwiązania z pliku " + project + ": " + e.what());
        return kExitFailed;
    }
    gui::SphereStyle style;
    style.shadeCompression = a.Has("--shade");
    style.assessment = AssessSolution(record);
    try {
        gui::WriteSphereImage(record, *out, *format, size, style);
    } catch (const std::exception&) {
        PrintError(SaveFailedMessage(*out));
        return kExitFailed;
    }
    return kExitOk;
}

}  // namespace dyma::cli
