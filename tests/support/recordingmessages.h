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
    SaveChoice AskToSave(const std::string& text) override {
        saveQuestions.push_back(text);
        if (saveAnswers.empty()) return saveAnswer;
        const SaveChoice next = saveAnswers.front();
        saveAnswers.erase(saveAnswers.begin());
        return next;
    }
    PolarityChoice AskPolarity(const std::string& text) override {
        polarityQuestions.push_back(text);
        return polarityAnswer;
    }
    bool Silent() const {
        return warnings.empty() && infos.empty() && questions.empty() && saveQuestions.empty() &&
               polarityQuestions.empty();
    }

    std::vector<std::string> warnings, infos, questions, saveQuestions, polarityQuestions;
    bool answer = true;
    // What the operator answers before a modified document closes: the
    // answers in turn, then saveAnswer.
    std::vector<SaveChoice> saveAnswers;
    SaveChoice saveAnswer = SaveChoice::Cancel;
    PolarityChoice polarityAnswer = PolarityChoice::Cancel;
};

}  // namespace dyma::test
