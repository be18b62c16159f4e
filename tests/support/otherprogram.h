// Starts "the other program" (otherprogram.cpp) for a test: a second running
// copy of WinDYMA as far as locks and run folders go.
#pragma once

#include <QProcess>
#include <QStringList>

#include <gtest/gtest.h>

#include <string>

namespace dyma::test {

class OtherProgram {
public:
    explicit OtherProgram(const QStringList& arguments) {
        process_.start(QStringLiteral(DYMA_OTHER_PROGRAM), arguments);
        if (process_.waitForStarted(5000) && process_.waitForReadyRead(5000))
            line_ = QString::fromLocal8Bit(process_.readLine()).trimmed().toStdString();
    }
    ~OtherProgram() {
        if (process_.state() != QProcess::NotRunning) Kill();
    }
    OtherProgram(const OtherProgram&) = delete;
    OtherProgram& operator=(const OtherProgram&) = delete;

    // Its first line: "locked", or the path of its run folder.
    const std::string& Line() const { return line_; }
    qint64 Pid() const { return pid_ ? pid_ : process_.processId(); }

    // Killed: what it held stays behind, with a process that is gone.
    void Kill() {
        pid_ = process_.processId();
        process_.kill();
        process_.waitForFinished(5000);
    }
    // Ends as a program ends: it lets go of everything.
    void End() {
        pid_ = process_.processId();
        process_.closeWriteChannel();
        process_.waitForFinished(5000);
    }

private:
    QProcess process_;
    std::string line_;
    qint64 pid_ = 0;
};

}  // namespace dyma::test
