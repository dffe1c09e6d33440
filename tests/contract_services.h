// The contracts of the platform's services beyond forms, run against the fake
// and the real backend, so that the fake cannot drift from what Windows does.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/platform.h"

namespace vt::contract {

// The Run value of `name`, which the test may write and remove.
inline void RunValueContract(RunValue& run, const std::string& name) {
    ASSERT_EQ(run.Unregister(name).outcome, RunChange::Done);
    EXPECT_FALSE(run.Registered(name));
    EXPECT_EQ(run.Register(name).outcome, RunChange::Done);
    EXPECT_TRUE(run.Registered(name));
    EXPECT_EQ(run.Register(name).outcome, RunChange::Done);  // again: replaced, still there
    EXPECT_TRUE(run.Registered(name));
    EXPECT_EQ(run.Unregister(name).outcome, RunChange::Done);
    EXPECT_FALSE(run.Registered(name));
    EXPECT_EQ(run.Unregister(name).outcome, RunChange::Done);  // gone already: what was asked for
    EXPECT_FALSE(run.Registered(name + ".Other"));
    EXPECT_NE(run.Where().find("\\Run"), std::string::npos) << run.Where();
}

// Every manner of playing, with or without a device: each call returns (a
// waited sound within about its length), and stopping twice is harmless.
inline void SoundContract(SoundOutput& sound, std::span<const uint8_t> shortWave) {
    sound.Play(shortWave);
    sound.Loop(shortWave);
    sound.PlayAndWait(shortWave);
    sound.Play({});  // nothing: only the sound that played ends
    sound.Loop(shortWave);
    sound.Stop();
    sound.Stop();
}

}  // namespace vt::contract
