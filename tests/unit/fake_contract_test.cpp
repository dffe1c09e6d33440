#include "platform/fake/fake_platform.h"
#include "tests/contract_settings.h"

namespace vt {
TEST(FakeContract, SettingsStore) {
    fake::FakePlatform p;
    SettingsStoreContract(p);
}
}  // namespace vt
