#include "exportcommand.h"

#include "app/results/reportlocale.h"
#include "app/results/textreport.h"
#include "app/settings/modalformpreferences.h"
#include "app/shell/mdiformmain.h"
#include "app/shell/messageboxes.h"
#include "app/shell/qtconvert.h"

#include <QDir>
#include <QFileDialog>

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

}  // namespace dyma::gui
