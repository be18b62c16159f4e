// Small generated signal files and a way to look at what reading them gave.
#pragma once

#include "lgsig/lgsig.h"
#include "support/tempdir.h"
#include "smallsignal.h"

#include <filesystem>
#include <functional>
#include <string>
#include <typeinfo>

namespace lgsigtest {

// What the constructor threw: the exception's type and text.
struct Failure {
    std::string type;
    std::string message;
};

inline Failure FailureOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const Quarnet::QuaEIOError& e) {
        return {"QuaEIOError", e.what()};
    } catch (const Quarnet::QuaEOutOfRange& e) {
        return {"QuaEOutOfRange", e.what()};
    } catch (const Quarnet::QuaEWrongOperation& e) {
        return {"QuaEWrongOperation", e.what()};
    } catch (const std::exception& e) {
        return {typeid(e).name(), e.what()};
    }
    return {"none", ""};
}

inline int FileCount(const std::filesystem::path& dir) {
    int n = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) n += entry.is_regular_file() ? 1 : 0;
    return n;
}

}  // namespace lgsigtest
