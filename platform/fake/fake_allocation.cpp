// The test binary's operator new: the library's, but for the refusals.
#include "platform/fake/fake_allocation.h"

#include <cstdlib>
#include <new>

namespace vt::fake {
namespace {

int g_refusing = 0;
int g_bookkeeping = 0;
int g_refused = 0;

bool Refuse() {
    if (g_refusing == 0 || g_bookkeeping > 0) return false;
    ++g_refused;
    return true;
}

void* Allocate(std::size_t size) {
    if (Refuse()) return nullptr;
    return std::malloc(size ? size : 1);
}

}  // namespace

AllocationRefusal::AllocationRefusal() { ++g_refusing; }
AllocationRefusal::~AllocationRefusal() { --g_refusing; }
int AllocationRefusal::Refused() { return g_refused; }

Bookkeeping::Bookkeeping() { ++g_bookkeeping; }
Bookkeeping::~Bookkeeping() { --g_bookkeeping; }

}  // namespace vt::fake

void* operator new(std::size_t size) {
    if (void* p = vt::fake::Allocate(size)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    if (void* p = vt::fake::Allocate(size)) return p;
    throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return vt::fake::Allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return vt::fake::Allocate(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
