// The platform's services as plain records for the unit tests: what was
// played, and how; the Run values by name.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
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

// The per-user values, an earlier version's machine-wide ones, and the
// entries switched off in the system's list of startup programs.
class FakeRunValue final : public RunValue {
public:
    bool Registered(std::string_view name) override;
    RunChange Register(std::string_view name) override;
    RunChange Unregister(std::string_view name) override;
    std::string Where() const override {
        return "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    }

    std::map<std::string, std::string> values;       // name -> text
    std::map<std::string, std::string> machineWide;  // the same, where an earlier version wrote it
    std::set<std::string> switchedOff;
    std::string program = "C:\\Program Files\\Veltrane\\Veltrane.exe";  // "": its file cannot be read
    std::optional<RunChange> refuseRegister, refuseUnregister;
    bool machineWideRefuses = false;  // as for a user without administrator rights
};

}  // namespace vt::fake
