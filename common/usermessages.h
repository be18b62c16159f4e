// The three kinds of message box the program uses, as an interface so that
// model code can ask and tell without knowing about windows. The window part
// shows real message boxes; the command-line tool prints; tests record.
#pragma once

#include <string>

namespace dyma {

// The answers to the question asked before a document with unsaved changes
// is closed.
enum class SaveChoice { Save, Discard, Cancel };

// The answers to the question asked when the first motion of a pick cannot
// be told from the noise: compression, dilatation, or no pick.
enum class PolarityChoice { Plus, Minus, Cancel };

class UserMessages {
public:
    virtual ~UserMessages() = default;
    virtual void Warning(const std::string& text) = 0;
    virtual void Information(const std::string& text) = 0;
    // Yes/No question; true for Yes.
    virtual bool Question(const std::string& text) = 0;
    // Save / discard / cancel, Save the default. Where nobody can be asked
    // the answer is Cancel: nothing closes, nothing is lost.
    virtual SaveChoice AskToSave(const std::string& text) {
        (void)text;
        return SaveChoice::Cancel;
    }
    // "+" / "-" / cancel. Where nobody can be asked the answer is Cancel:
    // no polarity is made up.
    virtual PolarityChoice AskPolarity(const std::string& text) {
        (void)text;
        return PolarityChoice::Cancel;
    }
};

}  // namespace dyma
