#include "registration.h"

#include "common/product.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>

namespace dyma::gui {

std::string BasePath(const std::string& executablePath) {
    const size_t nameStart = executablePath.find_last_of("/\\") == std::string::npos
                                 ? 0
                                 : executablePath.find_last_of("/\\") + 1;
    const size_t dot = executablePath.rfind('.');
    // A dot at the start of the name ("/x/.hidden") is not an extension.
    if (dot == std::string::npos || dot <= nameStart) return executablePath;
    return executablePath.substr(0, dot);
}

FileTypePaths RegistrationPaths(const std::string& executablePath) {
    const std::string base = BasePath(executablePath);
#ifdef _WIN32
    return {base + ".exe", base + ".ico"};
#else
    return {executablePath, base + ".png"};
#endif
}

std::string FileTypeDescription() { return std::string("Plik programu") + kProductDisplay; }

namespace {

std::string XmlEscaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

// The string escapes of a desktop entry value.
std::string DesktopValue(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\t': out += "\\t"; break;
        case '\r': out += "\\r"; break;
        default: out += c;
        }
    }
    return out;
}

std::string MimeIconName() {
    std::string name = kProjectMimeType;
    for (char& c : name)
        if (c == '/') c = '-';
    return name;
}

}  // namespace

std::string MimePackageXml() {
    return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
                       "  <mime-type type=\"") +
           kProjectMimeType + "\">\n    <comment>" + XmlEscaped(FileTypeDescription()) +
           "</comment>\n"
           // A project is an INI text; a text editor may open it too.
           "    <sub-class-of type=\"text/plain\"/>\n"
           "    <icon name=\"" + MimeIconName() + "\"/>\n"
           "    <glob pattern=\"*" + kProjectExtension + "\"/>\n"
           "  </mime-type>\n</mime-info>\n";
}

std::string DesktopExecArgument(const std::string& argument) {
    static const std::string reserved = " \t\n\"'\\><~|&;$*?#()`";
    std::string arg;
    for (char c : argument) {
        if (c == '%') arg += "%%";  // a field code otherwise
        else arg += c;
    }
    if (arg.find_first_of(reserved) != std::string::npos) {
        std::string quoted = "\"";
        for (char c : arg) {
            if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
            quoted += c;
        }
        arg = quoted + "\"";
    }
    return DesktopValue(arg);
}

std::string DesktopEntryText(const FileTypePaths& paths) {
    return std::string("[Desktop Entry]\n"
                       "Type=Application\n"
                       "Version=1.0\n"
                       "Name=") +
           kApplicationTitle +
           "\n"
           "GenericName=Mechanizm ogniska wstrząsu\n"
           "Comment=" + kProductDisplay +
           ": mechanizm ogniska wstrząsu górniczego z polaryzacji pierwszych wejść\n"
           "Exec=" + DesktopExecArgument(paths.executable) +
           " %f\n"
           "Icon=" + DesktopValue(paths.icon) +
           "\n"
           "Terminal=false\n"
           "MimeType=" + kProjectMimeType +
           ";\n"
           "Categories=Science;Geoscience;\n";
}

namespace {

#ifndef _WIN32
// Writes `bytes` unless the file already holds them; true when it wrote.
bool WriteIfChanged(const QString& path, const QByteArray& bytes) {
    QFile current(path);
    if (current.open(QIODevice::ReadOnly) && current.readAll() == bytes) return false;
    current.close();
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        throw RegistrationError("Nie można utworzyć katalogu " + QFileInfo(path).absolutePath().toStdString());
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(bytes) != bytes.size() || !out.flush())
        throw RegistrationError("Nie można zapisać pliku " + path.toStdString());
    return true;
}

// The desktop's cache tools are optional: without them the desktop reads
// the package and the entry directly.
void RunTool(const char* tool, const QString& directory) {
    const QString program = QStandardPaths::findExecutable(QString::fromUtf8(tool));
    if (program.isEmpty()) return;
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(program, {directory});
    if (process.waitForStarted(5000)) process.waitForFinished(15000);
}

void RegisterOnDesktop(const FileTypePaths& paths) {
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (data.isEmpty()) throw RegistrationError("Nie znaleziono katalogu danych użytkownika.");
    const QString mimeDir = data + QStringLiteral("/mime");
    const QString appsDir = data + QStringLiteral("/applications");
    const QString id = QString::fromUtf8(kDesktopEntryId);

    const bool mimeChanged = WriteIfChanged(mimeDir + QStringLiteral("/packages/") + id + QStringLiteral(".xml"),
                                            QByteArray::fromStdString(MimePackageXml()));
    const bool entryChanged = WriteIfChanged(appsDir + QStringLiteral("/") + id + QStringLiteral(".desktop"),
                                             QByteArray::fromStdString(DesktopEntryText(paths)));
    QFile icon(QString::fromStdString(paths.icon));
    if (icon.open(QIODevice::ReadOnly)) {
        WriteIfChanged(data + QStringLiteral("/icons/hicolor/64x64/mimetypes/") +
                           QString::fromStdString(MimeIconName()) + QStringLiteral(".png"),
                       icon.readAll());
    }
    // Refresh the caches when something changed or a cache is missing, the
    // way the Windows program repairs its keys at every start.
    if (mimeChanged || !QFileInfo::exists(mimeDir + QStringLiteral("/mime.cache")))
        RunTool("update-mime-database", mimeDir);
    if (entryChanged || !QFileInfo::exists(appsDir + QStringLiteral("/mimeinfo.cache")))
        RunTool("update-desktop-database", appsDir);
}
#else
void RegisterInRegistry(const FileTypePaths& paths) {
    QSettings classes(QStringLiteral("HKEY_CLASSES_ROOT"), QSettings::NativeFormat);
    classes.setValue(QStringLiteral(".dym/Default"), QString::fromUtf8(kProjectProgId));
    classes.setValue(QStringLiteral("DymaFiles/Default"), QString::fromStdString(FileTypeDescription()));
    classes.setValue(QStringLiteral("DymaFiles/DefaultIcon/Default"), QString::fromStdString(paths.icon));
    // Both quoted: a program folder or a project name with a blank must
    // reach the program as one path.
    classes.setValue(QStringLiteral("DymaFiles/shell/open/command/Default"),
                     QStringLiteral("\"") + QString::fromStdString(paths.executable) + QStringLiteral("\" \"%1\""));
    classes.sync();
    if (classes.status() != QSettings::NoError)
        throw RegistrationError("Nie można zapisać klucza rejestru HKEY_CLASSES_ROOT\\DymaFiles.");
}
#endif

}  // namespace

void RegisterProjectFileType(const std::string& executablePath) {
    const FileTypePaths paths = RegistrationPaths(executablePath);
#ifdef _WIN32
    RegisterInRegistry(paths);
#else
    RegisterOnDesktop(paths);
#endif
}

void RegisterProjectFileType() {
    RegisterProjectFileType(QDir::toNativeSeparators(QCoreApplication::applicationFilePath()).toStdString());
}

}  // namespace dyma::gui
