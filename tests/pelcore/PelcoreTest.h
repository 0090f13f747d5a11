// Shared pieces of the camera library's contract tests: a fresh camera for every test,
// the call log read back, and test bytes.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include <vector>
#include "camera/ZqApi.h"
#include "pelcore/PelSim.h"

class PelcoreTest : public testing::Test {
protected:
    void SetUp() override { PelSim_Reset(); }
    void TearDown() override { PelSim_Reset(); }
};

// The log as "function name size arg status" lines, for whole-sequence comparisons.
std::vector<std::string> LoggedCalls();
// Only the logged function names, in order.
std::vector<std::string> LoggedFunctions();
// size bytes of a pattern that differs per seed and position.
std::vector<unsigned char> TestBytes(size_t size, unsigned seed);
// Adds a file of TestBytes(size, seed); returns the bytes.
std::vector<unsigned char> AddTestFile(const char* name, size_t size, unsigned seed);
// Opens the link on link type 0 and forgets the calls so far.
void OpenLinkQuietly();
