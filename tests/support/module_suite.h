// A suite of cases over the module as a host loads it: one set of the host's stand-in
// libraries and the module loaded by file name, before the suite's first case, released
// after its last. Needs the host kit (vfda_hostkit).
#pragma once

#include "driver_module.h"
#include "host_libraries.h"

#include <gtest/gtest.h>

namespace testing_support {

class ModuleSuite : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        host_ = new hostkit::HostLibraries;
        host_->Attach();
        module_ = new hostkit::DriverModule;
        ASSERT_TRUE(module_->Load());
    }
    static void TearDownTestSuite() {
        delete module_;
        module_ = nullptr;
        delete host_;
        host_ = nullptr;
    }

    static inline hostkit::HostLibraries* host_ = nullptr;
    static inline hostkit::DriverModule* module_ = nullptr;
};

} // namespace testing_support
