// Linked into every test binary that links the channels (see
// tavrix_register_test): before the first test runs, the serial port lister
// scans an empty folder of this run's own instead of /dev. With exactly one
// port listed, link set-up adopts it even with auto-detection off, so a test
// on a machine with one real port would otherwise write to it. A test that
// wants ports makes pseudo-terminals under a scan root of its own.
#include "comm/sport_operator.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace {

class IsolatedPorts : public testing::Environment {
public:
    void SetUp() override
    {
        std::error_code error;
        const std::filesystem::path temp = std::filesystem::temp_directory_path(error);
        std::string pattern = ((error ? std::filesystem::path("/tmp") : temp) / "tavrix-ports.XXXXXX").string();
        if (::mkdtemp(pattern.data())) {
            root_ = pattern;
            CSPortOperator::SetScanRoot(root_);
        } else {
            // A folder that does not exist lists no port either.
            CSPortOperator::SetScanRoot(pattern);
        }
    }

    void TearDown() override
    {
        if (root_.empty())
            return;
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }

private:
    std::string root_;
};

// Registered before main runs, as every test binary's environment.
testing::Environment* const g_isolatedPorts = testing::AddGlobalTestEnvironment(new IsolatedPorts);

} // namespace
