// Registration of the project file type ".dym" with the desktop, so that a
// double click on a project opens it in this program.
//
// On Windows these are the keys under HKEY_CLASSES_ROOT (".dym" ->
// "DymaFiles", its description, icon and open command). On Linux the same
// facts go to a shared-mime-info package and a desktop entry under the
// user's data directory, and the desktop's caches are refreshed.
#pragma once

#include <stdexcept>
#include <string>

namespace dyma::gui {

inline constexpr char kDesktopEntryId[] = "quarnet-windyma";
inline constexpr char kProjectMimeType[] = "application/x-windyma-project";
inline constexpr char kProjectExtension[] = ".dym";
inline constexpr char kProjectProgId[] = "DymaFiles";

class RegistrationError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The executable's path without its extension: only a suffix of the file
// name counts, so "C:\a.b\Dyma2.exe" gives "C:\a.b\Dyma2" and "/opt/a.b/Dyma2"
// stays as it is.
std::string BasePath(const std::string& executablePath);

struct FileTypePaths {
    std::string executable;  // what the desktop starts
    std::string icon;        // the icon file beside the program
};
// Windows: base path + ".exe" and ".ico"; elsewhere the executable itself
// and base path + ".png".
FileTypePaths RegistrationPaths(const std::string& executablePath);

// "Plik programu" + the product display string, as the Windows description.
std::string FileTypeDescription();

// The texts written on Linux.
std::string MimePackageXml();
std::string DesktopEntryText(const FileTypePaths& paths);
// One argument of a desktop entry's Exec key, quoted and escaped as the
// desktop entry format wants it.
std::string DesktopExecArgument(const std::string& argument);

// Writes the registration for the running program (or for
// `executablePath`). Throws RegistrationError when a key or file cannot be
// written.
void RegisterProjectFileType();
void RegisterProjectFileType(const std::string& executablePath);

}  // namespace dyma::gui
