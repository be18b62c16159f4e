#include "exportcommand.h"

#include "app/document/projectfile.h"
#include "app/results/geographic.h"
#include "app/results/mechanismexport.h"
#include "app/results/quakeml.h"
#include "app/results/reportlocale.h"
#include "app/results/textreport.h"
#include "common/numberformat.h"
#include "common/textfile.h"
#include "app/settings/modalformpreferences.h"
#include "app/shell/mdiformmain.h"
#include "app/shell/messageboxes.h"
#include "app/shell/qtconvert.h"

#include <QDir>
#include <QFileDialog>

#include <memory>

namespace dyma::gui {

void ExportReport(TfmMain& main) {
    SeismogramChild* seismogram = main.ActiveSeismogram();
    if (!seismogram || !seismogram->ResultShown()) return;
    if (!seismogram->Solution()) return;

    QFileDialog dialog(&main, QStringLiteral("Eksportowanie wyniku do pliku tekstowego"),
                       Q(main.Preferences().Directory(kSeismogramDir)));
    dialog.setObjectName("SaveDialog");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(QStringLiteral("Tekstowy plik wynikowy (*.txt)"));
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    if (RunModal(dialog) != QDialog::Accepted) return;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty() || chosen.first().isEmpty()) return;
    const std::string fileName = S(QDir::toNativeSeparators(chosen.first()));

    // The window may have closed while the dialog was open.
    if (main.ActiveSeismogram() != seismogram) return;
    SolutionRecord* record = seismogram->Solution();
    if (!record) return;
    if (SaveReport(*record, fileName, SystemReportLocale()))
        Messages().Information(ReportSavedMessage(fileName));
    else
        Messages().Warning(ReportSaveFailedMessage(fileName));
}

namespace {

std::string NoCoordinateSystemMessage() {
    return "Nie podano układu współrzędnych sieci, a bez niego nie można podać szerokości i długości geograficznej "
           "ogniska. Ustaw go w oknie \"Własności programu\" (na przykład EPSG:2180 albo "
           "local:SZEROKOŚĆ,DŁUGOŚĆ,OBRÓT dla siatki kopalnianej). Nic nie zapisano.";
}

}  // namespace

void ExportQuakeML(TfmMain& main) {
    SeismogramChild* seismogram = main.ActiveSeismogram();
    if (!seismogram || !seismogram->ResultShown() || !seismogram->Solution()) return;

    // The whole document is made before the operator names a file: what
    // is missing is said first, and a failure never leaves a file behind.
    const std::string system = Trim(main.Preferences().Values().NetworkCRS);
    if (system.empty()) {
        Messages().Warning(NoCoordinateSystemMessage());
        return;
    }
    std::string document;
    try {
        const GeographicConverter coordinates(system);
        const std::vector<ChannelFacts> channels = seismogram->ChannelList();
        const TremorExport tremor = GatherTremor(seismogram->DocumentImage(), seismogram->DocumentFileName(),
                                                 channels.empty() ? nullptr : &channels);
        document = BuildQuakeML({tremor}, coordinates, CurrentIsoUtc());
    } catch (const std::exception& e) {
        Messages().Warning(std::string(e.what()) + " Nic nie zapisano.");
        return;
    }

    QFileDialog dialog(&main, QStringLiteral("Eksportowanie rozwiązania do pliku QuakeML"),
                       Q(main.Preferences().Directory(kSeismogramDir)));
    dialog.setObjectName("QuakeMLDialog");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(QStringLiteral("Plik QuakeML (*.xml)"));
    dialog.setDefaultSuffix(QStringLiteral("xml"));
    if (RunModal(dialog) != QDialog::Accepted) return;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty() || chosen.first().isEmpty()) return;
    const std::string fileName = S(QDir::toNativeSeparators(chosen.first()));
    try {
        WriteFileAtomic(fileName, document);
    } catch (const std::exception&) {
        Messages().Warning(SaveFailedMessage(fileName));
        return;
    }
    Messages().Information(ReportSavedMessage(fileName));
}

}  // namespace dyma::gui
