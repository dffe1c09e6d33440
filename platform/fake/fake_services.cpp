#include "platform/fake/fake_services.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "platform/run_command.h"

#include "platform/fake/fake_allocation.h"

namespace vt::fake {

bool FakeSound::Record(std::span<const uint8_t> wave, SoundKind kind) {
    const Bookkeeping records;
    if (!sounds.empty() && sounds.back().address &&
        std::memcmp(sounds.back().address, sounds.back().bytes.data(), sounds.back().bytes.size()) != 0) {
        previousSoundStillValid = false;
    }
    const void* address = wave.empty() ? nullptr : wave.data();
    sounds.push_back({address, kind, std::vector<uint8_t>(wave.begin(), wave.end())});
    return !address || !noDevice;
}

bool FakeRunValue::Registered(std::string_view name) {
    const std::string key(name);
    if (switchedOff.count(key)) return false;
    const auto mine = values.find(key);
    auto sameFile = [](std::string_view a, std::string_view b) {
        return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
            return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
        });
    };
    if (mine != values.end() && !program.empty() && NamesProgram(mine->second, program, sameFile)) return true;
    const auto old = machineWide.find(key);
    return old != machineWide.end() && !old->second.empty();
}

RunChange FakeRunValue::Register(std::string_view name) {
    if (refuseRegister) return *refuseRegister;
    if (program.empty()) return {RunChange::NoProgramFile};
    values[std::string(name)] = RunCommandFor(program);
    switchedOff.erase(std::string(name));
    return {};
}

RunChange FakeRunValue::Unregister(std::string_view name) {
    if (refuseUnregister) return *refuseUnregister;
    values.erase(std::string(name));
    if (!machineWideRefuses) machineWide.erase(std::string(name));
    switchedOff.erase(std::string(name));
    return {};
}

}  // namespace vt::fake
