// Running the built dyma as a process, as a script or an operator would:
// its own settings folder, home and temporary folder, and a chosen locale.
#pragma once

#include "support/tempdir.h"

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace clitest {

struct CliResult {
    int code = -1;
    std::string out, err;
};

inline QCoreApplication& App() {
    static int argc = 1;
    static char name[] = "test_cli";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

class CliTest : public ::testing::Test {
protected:
    void SetUp() override {
        App();
        for (const char* d : {"config", "home", "tmp"}) std::filesystem::create_directories(root_.Path() / d);
    }

    // A fresh copy of the installed example in the folder "example" of the
    // test's root (overwriting an earlier copy); the folder's path.
    std::string CopyExample() const {
        const std::string folder = Dir("example");
        for (const auto& e : std::filesystem::directory_iterator(std::filesystem::path(DYMA_PROGRAM_DIR) / "example"))
            std::filesystem::copy_file(e.path(), std::filesystem::path(folder) / e.path().filename(),
                                       std::filesystem::copy_options::overwrite_existing);
        return folder;
    }

    // LC_ALL is "C.UTF-8" ("." as the decimal separator) unless `env` says
    // otherwise.
    CliResult Dyma(const std::vector<std::string>& args,
                   const std::vector<std::pair<std::string, std::string>>& env = {}) const {
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.insert("XDG_CONFIG_HOME", QString::fromStdString(root_.File("config")));
        e.insert("HOME", QString::fromStdString(root_.File("home")));
        e.insert("TMPDIR", QString::fromStdString(root_.File("tmp")));
        e.insert("LC_ALL", "C.UTF-8");
        e.remove("LANG");
        for (const auto& [key, value] : env) e.insert(QString::fromStdString(key), QString::fromStdString(value));
        QProcess p;
        p.setProcessEnvironment(e);
        p.setWorkingDirectory(QString::fromStdString(root_.Path().string()));
        QStringList list;
        for (const std::string& a : args) list << QString::fromStdString(a);
        p.start(DYMA_CLI, list);
        CliResult r;
        if (!p.waitForStarted(10000) || !p.waitForFinished(120000)) {
            p.kill();
            p.waitForFinished();
            ADD_FAILURE() << "dyma did not run to its end";
            return r;
        }
        r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.out = p.readAllStandardOutput().toStdString();
        r.err = p.readAllStandardError().toStdString();
        return r;
    }

    // Nothing of a run stays in the temporary folder.
    bool TemporaryFolderIsEmpty() const { return std::filesystem::is_empty(root_.Path() / "tmp"); }

    std::string Dir(const std::string& name) const {
        std::filesystem::create_directories(root_.Path() / name);
        return root_.File(name);
    }

    dyma::test::TempDir root_;
};

inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> out;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        out.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

inline std::vector<std::string> Split(const std::string& line, char sep) {
    std::vector<std::string> out;
    size_t start = 0;
    for (;;) {
        const size_t at = line.find(sep, start);
        out.push_back(line.substr(start, at - start));
        if (at == std::string::npos) return out;
        start = at + 1;
    }
}

}  // namespace clitest
