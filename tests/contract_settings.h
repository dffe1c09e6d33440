// One contract for the settings store, run against the fake and the real
// backend, so the fake cannot drift from what Windows does.
#pragma once

#include <gtest/gtest.h>

#include "platform/platform.h"

namespace vt {

inline void SettingsStoreContract(Platform& p) {
    const char* app = "Veltrane.ContractTest";
    EXPECT_EQ(p.GetSetting(app, "Startup", "Left", "0"), "0");
    p.SaveSetting(app, "Startup", "Top", "-120");
    EXPECT_EQ(p.GetSetting(app, "Startup", "top", "0"), "-120");  // names match without regard to case
    p.SaveSetting(app, "Startup", "TOP", "7");
    EXPECT_EQ(p.GetSetting(app, "Startup", "Top", "0"), "7");     // replaced, not added
    p.SaveSetting(app, "Startup", "Empty", "");
    EXPECT_EQ(p.GetSetting(app, "Startup", "Empty", "fallback"), "");
    p.SaveSetting(app, "Startup", "Text", "don\xC2\xB4t");
    EXPECT_EQ(p.GetSetting(app, "Startup", "Text", ""), "don\xC2\xB4t");
    EXPECT_EQ(p.GetSetting(app, "Other", "Top", "1"), "1");
    p.DeleteSetting(app, "Startup", "top");  // names match without regard to case here too
    EXPECT_EQ(p.GetSetting(app, "Startup", "Top", "0"), "0");
    EXPECT_EQ(p.GetSetting(app, "Startup", "Text", ""), "don\xC2\xB4t");  // the others stay
    p.DeleteSetting(app, "Startup", "Top");                  // gone already
    p.DeleteSetting(app, "Missing", "Top");                  // no such section
    EXPECT_EQ(p.GetSetting(app, "Startup", "Top", "0"), "0");
}

}  // namespace vt
