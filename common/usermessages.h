// The three kinds of message box the program uses, as an interface so that
// model code can ask and tell without knowing about windows. The window part
// shows real message boxes; the command-line tool prints; tests record.
#pragma once

#include <string>

namespace dyma {

class UserMessages {
public:
    virtual ~UserMessages() = default;
    virtual void Warning(const std::string& text) = 0;
    virtual void Information(const std::string& text) = 0;
    // Yes/No question; true for Yes.
    virtual bool Question(const std::string& text) = 0;
};

}  // namespace dyma
