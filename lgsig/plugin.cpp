#include "plugin.h"

#include "lgsig.h"

#include <memory>

extern "C" Kelo::signalprocessing* GetPlugIn(const std::string& fileName, const std::string& tempFileName,
                                             const std::vector<std::string>* options, const std::string& reserved) {
    static const std::vector<std::string> kNoOptions;
    auto reader = std::make_unique<Quarnet::lgsig>(fileName, tempFileName, options ? *options : kNoOptions, reserved);
    return reader.release();  // ownership passes to the host
}

extern "C" void RegisterPlugIn(Quarnet::PlugInInfo* info) {
    if (!info) return;
    info->Name = "KGHM signals plugin";
    info->Author =
        "Wtyczka: zespół programu WinDYMA (Quarnet). Formaty plików: służby geofizyczne kopalń KGHM "
        "(ZG Rudna, ZG Lubin, ZG Polkowice-Sieroszowice) i dostawcy ich systemów sejsmologicznych.";
    info->Description =
        "Obsługa plików sygnałów Legnicko-Głogowskiego Okręgu Miedziowego. Wtyczka pozwala przetwarzać "
        "32-kanałowe sygnały zawarte w plikach MBI i MIN (KRAW v2.0) oraz nowe 64-kanałowe pliki MBJ ZG Rudna, "
        "ZG Polkowice-Sieroszowice i ZG Lubin (v1.0) oraz MIN i MBI ZG  Polkowice-Sieroszowice.";
    info->Value1 = 1;
    info->Value2 = 8;
    info->Value3 = 4;
    info->Filter = "*.mbi;*.min;*.mbj";
    info->FileTypeName = "Pliki sygnałów LGOM";
    info->Identifier = "lgcd";
}
