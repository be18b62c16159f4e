// Linked into test binaries that need an application object without a
// display (locks name the program that holds them).
#include <QCoreApplication>

#include <gtest/gtest.h>

#include <memory>

namespace {

class CoreEnvironment : public ::testing::Environment {
public:
    void SetUp() override { app_ = std::make_unique<QCoreApplication>(argc_, argv_); }
    void TearDown() override { app_.reset(); }

private:
    int argc_ = 1;
    char name_[12] = "dyma-tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QCoreApplication> app_;
};

[[maybe_unused]] ::testing::Environment* const kCoreEnvironment =
    ::testing::AddGlobalTestEnvironment(new CoreEnvironment);

}  // namespace
