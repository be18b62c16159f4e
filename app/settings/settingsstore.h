// Loading and saving the preferences through QSettings: the registry key
// Software\Quarnet\Dyma on Windows, ~/.config/Quarnet/Dyma.conf elsewhere,
// one group per section, the historical key names (the misspelt
// "DefaultDesctiption" included).
#pragma once

#include "app/settings/settings.h"

#include <string>

namespace dyma {

class SettingsStore {
public:
    // The program directory decides the default directories.
    explicit SettingsStore(std::string programDirectory);

    const std::string& ProgramDirectory() const { return programDir_; }

    // Registry -> settings, then a Save so the store always holds a complete
    // set. Reads DebugMode and FirstTime into GlobalFlags() and writes
    // FirstTime = false at once.
    void Load(Settings& settings) const;

    // Registry -> settings without writing anything back, for a reader that
    // must leave the store as it found it (the command-line tool). The two
    // process flags go to `flags` when given.
    void Read(Settings& settings, ProcessFlags* flags = nullptr) const;

    // Settings -> registry, in section order. A geology text that is not a
    // whole number stops the save with a ConversionError before anything is
    // written.
    void Save(const Settings& settings) const;

    // The defaults of a fresh installation for this program directory.
    Settings Defaults() const;

private:
    std::string programDir_;
};

// The directory of the running executable, without a trailing separator.
std::string ApplicationDirectory();

}  // namespace dyma
