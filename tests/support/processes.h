// Whether a process a stand-in program started is still there.
#pragma once

#include "support/tempdir.h"

#include <chrono>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

namespace dyma::test {

// The process whose number a stand-in wrote into pidFile; false when the
// file holds none. A zombie waiting for its parent counts as gone. Signals
// take a moment to end a process, so up to two seconds are allowed.
inline bool ProcessRunning(const std::string& pidFile) {
    std::string pid = ReadAll(pidFile);
    while (!pid.empty() && (pid.back() == '\n' || pid.back() == ' ')) pid.pop_back();
    if (pid.empty()) return false;
    for (int i = 0; i < 100; ++i) {
        std::ifstream stat("/proc/" + pid + "/stat");
        const std::string text((std::istreambuf_iterator<char>(stat)), {});
        const size_t close = text.rfind(')');  // the state follows the name
        if (close == std::string::npos || close + 2 >= text.size() || text[close + 2] == 'Z') return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

}  // namespace dyma::test
