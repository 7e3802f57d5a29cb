// Every test of this program runs against a scratch key in place of the user's
// registry: what the setup's code and the tests write goes with the run, and
// the user's own keys are never touched.
#include <gtest/gtest.h>

#include <memory>

#include "user_registry.h"

namespace {

class ScratchRegistry : public ::testing::Environment {
public:
    void SetUp() override {
        registry_ = std::make_unique<driver::ScratchUserRegistry>();
        ASSERT_TRUE(registry_->Active()) << "HKEY_CURRENT_USER could not be put on " << registry_->Path();
    }
    void TearDown() override { registry_.reset(); }

private:
    std::unique_ptr<driver::ScratchUserRegistry> registry_;
};

::testing::Environment* const kScratchRegistry = ::testing::AddGlobalTestEnvironment(new ScratchRegistry);

}  // namespace
