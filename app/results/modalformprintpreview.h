// TfmPrintPreview, the print preview: the page of a solution drawn into a
// bitmap on the left; on the right the choice to add the entries of an event
// location file (.dbs) to the printout, the list of those entries and the
// buttons "Wczytaj plik DBS", "Pomoc", "Anuluj" and "Drukuj". It lives for
// one print command; the record belongs to the window whose solution is
// printed.
#pragma once

#include "app/document/tremordocument.h"
#include "app/seismogram/locationfile.h"

#include <QDialog>
#include <QImage>

#include <string>
#include <vector>

class QCheckBox;
class QPrinter;
class QPushButton;
class QTreeWidget;

namespace dyma::gui {

class MainWindowLink;

// The picture `Image`: the page bitmap, centred and scaled to fit (the
// page keeps its proportions).
class TPageImage : public QWidget {
public:
    explicit TPageImage(QWidget* parent = nullptr);
    void SetPicture(QImage picture);
    const QImage& Picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_;
};

class TfmPrintPreview : public QDialog {
public:
    // `seismogramDirectory` is where the location-file dialog opens.
    TfmPrintPreview(QWidget* owner, SolutionRecord* record, std::string seismogramDirectory);

    SolutionRecord* Record() const { return record_; }
    TPageImage* Image() const { return image_; }
    QCheckBox* AddDBSInfo() const { return addDBSInfo_; }
    QTreeWidget* DBSList() const { return dbsList_; }
    QPushButton* Button(const char* name) const;

    // The entries of DBSList in list order (key, value).
    std::vector<LocationEntry> Entries() const;
    // What Button4 does once a file was chosen: a location file of one of
    // the three lengths replaces the list; anything else leaves it alone.
    bool LoadLocationFile(const std::string& path);

    // The design of the dialog is at 120 pixels per inch.
    static int Scaled(int designPixels);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Button4Click();

    SolutionRecord* record_;
    std::string seismogramDirectory_;
    TPageImage* image_;
    QCheckBox* addDBSInfo_;
    QTreeWidget* dbsList_;
};

// Draws the page into the preview's picture.
void RenderPrintPreview(SolutionRecord& record, TPageImage& image);

// Prints the page on `printer` (the one chosen in the print dialog), with
// the location block when the preview's AddDBSInfo is ticked.
void PrintResult(SolutionRecord& record, const TfmPrintPreview& preview, QPrinter& printer);

// The print command after its print dialog: the preview for the record,
// shown modally; "Drukuj" prints.
void PreviewAndPrint(MainWindowLink& main, SolutionRecord& record, QPrinter& printer);

}  // namespace dyma::gui
