// Allocations refused on purpose, for the tests of what the program does
// when memory runs out: while a Refusal lives, every allocation through
// operator new fails with std::bad_alloc, except the fake's own records,
// which are the test's bookkeeping and not the program's.
#pragma once

namespace vt::fake {

class AllocationRefusal {
public:
    AllocationRefusal();
    ~AllocationRefusal();
    AllocationRefusal(const AllocationRefusal&) = delete;
    AllocationRefusal& operator=(const AllocationRefusal&) = delete;
    // Allocations refused so far, in all refusals.
    static int Refused();
};

// Around the fake's recording of what the program did.
class Bookkeeping {
public:
    Bookkeeping();
    ~Bookkeeping();
    Bookkeeping(const Bookkeeping&) = delete;
    Bookkeeping& operator=(const Bookkeeping&) = delete;
};

}  // namespace vt::fake
