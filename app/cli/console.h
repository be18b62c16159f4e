// What the command-line tool shares between its commands: exit codes, the
// usage error, printing, the messages of the model code on the error
// output, and the system's decimal separator.
#pragma once

#include "common/usermessages.h"

#include <iosfwd>
#include <stdexcept>
#include <string>
#include <vector>

namespace dyma::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;  // a file could not be read, solved or written
inline constexpr int kExitUsage = 2;   // wrong command line

// A command line the tool cannot follow; the text says why.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The message boxes of the program become lines on the error output with
// the box's title in front. Questions cannot be answered here: the text is
// shown and the answer is `answer`.
class ConsoleMessages : public UserMessages {
public:
    explicit ConsoleMessages(std::ostream& out, bool answer = true) : out_(out), answer_(answer) {}
    void Warning(const std::string& text) override;
    void Information(const std::string& text) override;
    bool Question(const std::string& text) override;

private:
    std::ostream& out_;
    bool answer_;
};

// A failure of one file: "Błąd: " + text on the error output.
void PrintError(const std::string& text);
void PrintWarning(const std::string& text);
void PrintLines(std::ostream& out, const std::vector<std::string>& lines);

// The decimal separator of the system locale ('.' or ','), as the program
// takes it for its files and reports.
char SystemDecimalSeparator();

// The directory the tool runs from (its solver copy lives under it).
std::string ProgramDirectory();

}  // namespace dyma::cli
