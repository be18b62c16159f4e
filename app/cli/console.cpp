#include "console.h"

#include "app/settings/settingsstore.h"

#include <QLocale>

#include <iostream>

namespace dyma::cli {

void ConsoleMessages::Warning(const std::string& text) { out_ << "Ostrzeżenie: " << text << '\n'; }
void ConsoleMessages::Information(const std::string& text) { out_ << "Informacja: " << text << '\n'; }
bool ConsoleMessages::Question(const std::string& text) {
    out_ << "Pytanie: " << text << (answer_ ? " [TAK]" : " [NIE]") << '\n';
    return answer_;
}

void PrintError(const std::string& text) { std::cerr << "Błąd: " << text << '\n'; }
void PrintWarning(const std::string& text) { std::cerr << "Ostrzeżenie: " << text << '\n'; }

void PrintLines(std::ostream& out, const std::vector<std::string>& lines) {
    for (const std::string& line : lines) out << line << '\n';
}

char SystemDecimalSeparator() {
    const QString point = QLocale::system().decimalPoint();
    return point == QStringLiteral(",") ? ',' : '.';
}

std::string ProgramDirectory() { return ApplicationDirectory(); }

}  // namespace dyma::cli
