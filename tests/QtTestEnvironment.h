// The Qt platform in force from the first test of a run to its end, and gone before the program exits:
// Qt must not be torn down by static destructors. A test program registers it once:
//   const auto* const gQt = ::testing::AddGlobalTestEnvironment(new TQtTestEnvironment("orvanta"));
#pragma once

#include "platform/Platform.h"
#include "platform/qt/QtPlatform.h"

#include <gtest/gtest.h>

#include <memory>

class TQtTestEnvironment : public ::testing::Environment {
public:
    explicit TQtTestEnvironment(const char* programName) : FProgramName(programName) {}
    void SetUp() override {
        FPlatform = CreateQtPlatform(FProgramName);
        TPlatform::SetCurrent(FPlatform.get());
    }
    void TearDown() override {
        TPlatform::SetCurrent(nullptr);
        FPlatform.reset();
    }

private:
    const char* FProgramName;
    std::unique_ptr<TPlatform> FPlatform;
};
