// The workflow tests' plain host and fixture, compiled into this test program too.
#include "tests/workstation/WorkflowTestHost.cpp"  // NOLINT(bugprone-suspicious-include)
