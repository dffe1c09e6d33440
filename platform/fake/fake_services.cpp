#include "platform/fake/fake_services.h"

#include <cstring>

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
    const auto it = values.find(std::string(name));
    return it != values.end() && !it->second.empty();
}

RunChange FakeRunValue::Register(std::string_view name) {
    if (refuseRegister) return *refuseRegister;
    if (command.empty()) return {RunChange::NoProgramFile};
    values[std::string(name)] = command;
    return {};
}

RunChange FakeRunValue::Unregister(std::string_view name) {
    if (refuseUnregister) return *refuseUnregister;
    values.erase(std::string(name));
    return {};
}

}  // namespace vt::fake
