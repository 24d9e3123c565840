#pragma once

// The German help of velkor-trace (also the source of its manual page), and the one-line usage of its errors.
const char* TraceHelpText();
const char* TraceUsageLine();
