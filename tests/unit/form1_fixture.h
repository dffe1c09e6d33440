#pragma once

#include <gtest/gtest.h>

#include "platform/fake/fake_platform.h"
#include "ui/form1.h"

namespace vt {

class Form1Test : public ::testing::Test {
protected:
    void SetMemoryKb(uint64_t totalKb, uint64_t freeKb) { platform.memory = {37, totalKb * 1024, freeKb * 1024}; }
    void Start() { platform.Dispatch([&] { f.Start(); }); }
    std::string Caption(int id) { return f.form().Caption(id); }
    void Run(void (Form1::*handler)()) { platform.Dispatch([&] { (f.*handler)(); }); }

    fake::FakePlatform platform;
    Form1 f{platform};
};

}  // namespace vt
