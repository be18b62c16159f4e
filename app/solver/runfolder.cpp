#include "runfolder.h"

#include "app/solver/workdirectory.h"
#include "common/textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRandomGenerator>

#include <cctype>

namespace dyma {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QString& s) { return QDir::toNativeSeparators(s).toStdString(); }

// A lock that no age makes stale: a run may last for days. It counts as
// stale only when the process it names is gone.
std::unique_ptr<QLockFile> MakeLock(const QString& folder) {
    auto lock = std::make_unique<QLockFile>(QDir(folder).filePath(QString::fromLatin1(kRunLockName)));
    lock->setStaleLockTime(0);
    return lock;
}

constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
constexpr int kSuffixLength = 6;

QString RandomSuffix() {
    QString suffix;
    for (int i = 0; i < kSuffixLength; ++i)
        suffix += QLatin1Char(kLetters[QRandomGenerator::global()->bounded(int(sizeof kLetters) - 1)]);
    return suffix;
}

// "<prefix>" and six letters or digits, as RunFolder names them.
bool IsRunFolderName(const QString& name, const QString& prefix) {
    if (name.size() != prefix.size() + kSuffixLength || !name.startsWith(prefix)) return false;
    for (qsizetype i = prefix.size(); i < name.size(); ++i)
        if (name[i].unicode() > 127 || !std::isalnum(name[i].unicode())) return false;
    return true;
}

QString MarkOf(const QString& folder) { return QDir(folder).filePath(QString::fromLatin1(kRunMarkName)); }

// The program's own files of `folder` go, and its mark; anything else stays.
void DeleteOwnFiles(const QString& folder) {
    const ProtectedDirectories none;
    CleanTemporaryDirectory(S(folder), none);
    QFile::remove(MarkOf(folder));
}

}  // namespace

RunFolder::RunFolder(const std::string& base, const std::string& prefix) : base_(base) {
    const QDir dir(Q(base));
    for (int attempt = 0; attempt < 50; ++attempt) {
        const QString name = Q(prefix) + RandomSuffix();
        if (!dir.exists() || !dir.mkdir(name)) continue;
        const QString folder = dir.filePath(name);
        auto lock = MakeLock(folder);
        // A start sweeping at this very moment may have taken the new,
        // still unlocked folder: then another name.
        if (!lock->tryLock(0)) {
            dir.rmdir(name);
            continue;
        }
        QFile mark(MarkOf(folder));
        if (!mark.open(QIODevice::WriteOnly)) {
            lock->unlock();
            dir.rmdir(name);
            break;
        }
        path_ = S(folder);
        lock_ = std::move(lock);
        return;
    }
    throw FileError("Nie można utworzyć katalogu plików tymczasowych programu w katalogu " + base + ".", base);
}

RunFolder::~RunFolder() = default;

void RunFolder::Remove() {
    if (!lock_) return;
    DeleteOwnFiles(Q(path_));
    lock_->unlock();
    lock_.reset();
    QDir().rmdir(Q(path_));
}

std::vector<std::string> SweepEndedRuns(const std::string& base, const std::string& prefix) {
    std::vector<std::string> removed;
    const QDir dir(Q(base));
    if (base.empty() || !dir.exists()) return removed;
    const QStringList names =
        dir.entryList({Q(prefix) + QStringLiteral("*")}, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot | QDir::NoSymLinks);
    for (const QString& name : names) {
        const QString folder = dir.filePath(name);
        if (!IsRunFolderName(name, Q(prefix)) || !QFileInfo(MarkOf(folder)).isFile()) continue;
        auto lock = MakeLock(folder);
        // Taken only when no running process holds it.
        if (!lock->tryLock(0)) continue;
        DeleteOwnFiles(folder);
        lock->unlock();
        if (QDir().rmdir(folder)) removed.push_back(S(folder));
    }
    return removed;
}

}  // namespace dyma
