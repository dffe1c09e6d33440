// The platform's services as plain records for the unit tests: what was
// played, and how; the Run values by name.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <span>
#include <vector>

#include "platform/platform.h"

namespace vt::fake {

enum class SoundKind { Play, Loop, Wait, Stop };

struct SoundCall {
    const void* address;  // the image handed over; null for none
    SoundKind kind;
    std::vector<uint8_t> bytes;  // copy taken at the call
};

class FakeSound final : public SoundOutput {
public:
    bool Play(std::span<const uint8_t> wave) override { return Record(wave, SoundKind::Play); }
    bool Loop(std::span<const uint8_t> wave) override { return Record(wave, SoundKind::Loop); }
    bool PlayAndWait(std::span<const uint8_t> wave) override { return Record(wave, SoundKind::Wait); }
    void Stop() override { Record({}, SoundKind::Stop); }

    std::vector<SoundCall> sounds;
    // False once an image changed or went before the call after it: the
    // player may still be reading it until then.
    bool previousSoundStillValid = true;
    bool noDevice = false;  // every sound is silent

private:
    bool Record(std::span<const uint8_t> wave, SoundKind kind);
};

class FakeRunValue final : public RunValue {
public:
    bool Registered(std::string_view name) override;
    RunChange Register(std::string_view name) override;
    RunChange Unregister(std::string_view name) override;
    std::string Where() const override { return "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run"; }

    std::map<std::string, std::string> values;  // name -> text
    std::string command = "C:\\PROGRA~1\\Veltrane\\Veltrane.exe";  // what registering writes; "": no program file
    std::optional<RunChange> refuseRegister, refuseUnregister;
};

}  // namespace vt::fake
