// Reading a QuakeML document back in the tests: the verdict of xmllint
// against the QuakeML 1.2 schema copied into the project's test data, and
// the text of every element by its path of local names.
#pragma once

#include "support/tempdir.h"

#include <QProcess>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

namespace dyma::test {

// "" when the document is valid, else xmllint's complaints.
inline std::string SchemaErrors(const TempDir& dir, const std::string& document) {
    const std::string file = dir.Write("validated.xml", document);
    QProcess p;
    p.start("xmllint", {"--noout", "--schema", DYMA_SOURCE_DIR "/tests/data/quakeml-1.2/QuakeML-1.2.xsd",
                        QString::fromStdString(file)});
    if (!p.waitForFinished(60000)) return "xmllint did not run (package libxml2-utils)";
    if (p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0) return "";
    return p.readAllStandardError().toStdString();
}

// "quakeml/eventParameters/event/pick/polarity" -> its texts in document
// order; attributes as "path@name".
inline std::multimap<std::string, std::string> Elements(const std::string& document) {
    std::multimap<std::string, std::string> out;
    QXmlStreamReader xml(QByteArray::fromStdString(document));
    std::vector<std::string> path;
    std::string text;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            path.push_back(xml.name().toString().toStdString());
            text.clear();
            for (const auto& a : xml.attributes()) {
                std::string joined;
                for (const auto& p : path) joined += (joined.empty() ? "" : "/") + p;
                out.emplace(joined + "@" + a.name().toString().toStdString(), a.value().toString().toStdString());
            }
        } else if (xml.isCharacters()) {
            text += xml.text().toString().toStdString();
        } else if (xml.isEndElement()) {
            std::string joined;
            for (const auto& p : path) joined += (joined.empty() ? "" : "/") + p;
            out.emplace(joined, text);
            text.clear();
            path.pop_back();
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return out;
}

inline std::vector<std::string> All(const std::multimap<std::string, std::string>& e, const std::string& key) {
    std::vector<std::string> out;
    auto [a, b] = e.equal_range(key);
    for (; a != b; ++a) out.push_back(a->second);
    return out;
}

inline double One(const std::multimap<std::string, std::string>& e, const std::string& key) {
    const auto values = All(e, key);
    EXPECT_EQ(values.size(), 1u) << key;
    return values.empty() ? NAN : std::stod(values.front());
}

}  // namespace dyma::test
