// The tree tests' helpers that write rows of the test database, compiled into this test program too.
#include "tests/tree/TreeTestData.cpp"  // NOLINT(bugprone-suspicious-include)
