// UserMessages that remember what was shown and answer questions as told.
#pragma once

#include "common/usermessages.h"

#include <string>
#include <vector>

namespace dyma::test {

class RecordingMessages : public UserMessages {
public:
    void Warning(const std::string& text) override { warnings.push_back(text); }
    void Information(const std::string& text) override { infos.push_back(text); }
    bool Question(const std::string& text) override {
        questions.push_back(text);
        return answer;
    }
    bool Silent() const { return warnings.empty() && infos.empty() && questions.empty(); }

    std::vector<std::string> warnings, infos, questions;
    bool answer = true;
};

}  // namespace dyma::test
