// The solver's result file NPF.RES, read by fixed columns (counted from 1,
// both ends included).
#pragma once

#include "app/document/tremordocument.h"

#include <string>
#include <vector>

namespace dyma {

// True when the whole layout was read: the "SOURCE:" line, the source
// coordinates, the station block up to its short closing line, the solution
// line and the error line two and three lines after it. Never throws; any
// failure (no "SOURCE:", a field that does not convert, too few lines)
// returns false with the record partly filled. A station block of more than
// 96 rows keeps the first 96 and still reads the solution after the block.
// On success the record holds a solution (Exists) and its solver copy.
//
// `decimalSeparator` is the locale's: a "." in a field is read as it when it
// is ",", so the solver's points convert on every system.
bool ParseResult(SolutionRecord& record, const std::vector<std::string>& lines, char decimalSeparator);

// The result file as lines; a file that cannot be read gives no lines.
std::vector<std::string> LoadResultLines(const std::string& path);

// The lines of the solver's quality file beside the result file at
// `resultPath`; none when it is missing or cannot be read.
std::vector<std::string> LoadQualityLines(const std::string& resultPath);

// The result file as far as it is written: its lines, and whether a line
// ending follows the last of them.
struct ResultText {
    std::vector<std::string> lines;
    bool lastLineEnded = false;
};
// A file that cannot be read gives no lines.
ResultText LoadResultText(const std::string& path);
ResultText ResultTextOf(const std::string& fileBytes);

// True when a result file being written holds a whole result: the layout
// parses and the line it ends with (the error line) is ended by a line
// ending or followed by more lines, or the writer has exited and will write
// no more. A solver that writes the file in pieces may have cut the last
// field short ("3" of "39.2"), and that would still parse.
bool ResultIsComplete(const ResultText& text, char decimalSeparator, bool writerExited);

}  // namespace dyma
