// The plug-in entry points for a host that loads signal plug-ins by name:
// GetPlugIn creates a reader, RegisterPlugIn says what the plug-in reads.
// The program itself links the reader class directly and calls neither.
#pragma once

#include "kelsig/signalprocessing.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Quarnet {

struct PlugInInfo {
    std::string Name;
    std::string Author;
    std::string Description;
    std::int32_t Value1 = 0;
    std::int32_t Value2 = 0;
    std::int32_t Value3 = 0;
    std::string Filter;
    std::string FileTypeName;
    std::string Identifier;
};

}  // namespace Quarnet

extern "C" {
// Reads fileName into a new Quarnet::lgsig with its samples on tempFileName;
// options may be null. The caller owns the result and destroys it through
// the container's virtual destructor. A file that cannot be read raises the
// reader's exceptions.
Kelo::signalprocessing* GetPlugIn(const std::string& fileName, const std::string& tempFileName,
                                  const std::vector<std::string>* options, const std::string& reserved);

void RegisterPlugIn(Quarnet::PlugInInfo* info);

// The two entry points as a host looks them up.
using GetPlugInFunction = Kelo::signalprocessing* (*)(const std::string&, const std::string&,
                                                      const std::vector<std::string>*, const std::string&);
using RegisterPlugInFunction = void (*)(Quarnet::PlugInInfo*);
}
