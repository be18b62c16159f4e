// Linked into every widget test binary: the application object lives from
// before the first test to after the last.
#include "app/shell/dymaapplication.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class GuiEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app_ = std::make_unique<dyma::gui::TDymaApplication>(argc_, argv_);
    }
    void TearDown() override { app_.reset(); }

private:
    int argc_ = 1;
    char name_[12] = "dyma-tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<dyma::gui::TDymaApplication> app_;
};

// gtest owns registered environments.
[[maybe_unused]] ::testing::Environment* const kGuiEnvironment =
    ::testing::AddGlobalTestEnvironment(new GuiEnvironment);

}  // namespace
