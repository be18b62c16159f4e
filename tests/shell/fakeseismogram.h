// A seismogram window stand-in: records what the main window asks of it.
#pragma once

#include "app/shell/seismogramchild.h"

#include <QVariant>
#include <QWidget>

#include <string>
#include <vector>

namespace dyma::test {

class FakeSeismogram : public QWidget, public gui::SeismogramChild {
public:
    explicit FakeSeismogram(const QString& title = QStringLiteral("sejsmogram")) { setWindowTitle(title); }

    void FirstChannel() override { calls.push_back("FirstChannel"); }
    void PreviousChannel() override { calls.push_back("PreviousChannel"); }
    void NextChannel() override { calls.push_back("NextChannel"); }
    void LastChannel() override { calls.push_back("LastChannel"); }
    void MoveTimeWindow(int mode) override { calls.push_back("MoveTimeWindow(" + std::to_string(mode) + ")"); }
    void ScaleVertical(double delta) override {
        lastDelta = delta;
        calls.push_back("ScaleVertical");
    }
    void ZoomIn() override { calls.push_back("ZoomIn"); }
    void ZoomOut() override { calls.push_back("ZoomOut"); }
    void BWaveClick(QObject* sender) override {
        calls.push_back("BWaveClick(" + std::to_string(sender->property("tag").toInt()) + ")");
    }
    void WageChange(QObject* sender) override {
        lastSender = sender;
        calls.push_back("WageChange");
    }
    void WageControllerChanging(bool& allowChange) override {
        calls.push_back(allowChange ? "WageControllerChanging(true)" : "WageControllerChanging(false)");
        allowChange = false;  // the main window steps anyway
    }
    void bRemoveMarkerClick(QObject* sender) override {
        lastSender = sender;
        calls.push_back("bRemoveMarkerClick");
    }
    bool Modified() const override { return modified; }
    bool ResultShown() const override { return resultShown; }
    bool ReadyToProcess() const override { return readyToProcess; }
    std::string DocumentFileName() const override { return fileName; }
    bool SaveDocumentAs(const std::string& path) override {
        savedAs.push_back(path);
        if (saveSucceeds) modified = false;
        return saveSucceeds;
    }
    SolutionRecord* Solution() override { return solution.Exists ? &solution : nullptr; }
    IniImage& DocumentImage() override { return image; }
    SolverInput ProcessingInput() override {
        calls.push_back("ProcessingInput");
        return input;
    }
    void SolutionStored() override {
        calls.push_back("SolutionStored");
        modified = resultShown = true;
    }

    std::vector<std::string> calls, savedAs;
    double lastDelta = 99;
    QObject* lastSender = nullptr;
    bool modified = false, resultShown = false, readyToProcess = false, saveSucceeds = true;
    std::string fileName = "/data/tremors/wstrzas 12.dym";
    SolutionRecord solution;
    IniImage image;
    SolverInput input;
};

}  // namespace dyma::test
