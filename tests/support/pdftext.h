// The text of a PDF file as pdftotext (poppler-utils) reads it, in its
// layout; empty when it cannot be read.
#pragma once

#include <QProcess>
#include <QStringList>

#include <string>

namespace dyma::test {

inline std::string PdfText(const std::string& pdf) {
    QProcess p;
    p.start("pdftotext", {"-layout", QString::fromStdString(pdf), "-"});
    if (!p.waitForFinished(20000)) return {};
    return p.readAllStandardOutput().toStdString();
}

}  // namespace dyma::test
