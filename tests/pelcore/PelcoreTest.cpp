// Helpers of the camera library's contract tests.
#include "PelcoreTest.h"

std::vector<std::string> LoggedCalls()
{
    std::vector<std::string> calls;
    PelSimCall call;
    for (int i = 0; PelSim_LogEntry(i, &call); ++i) {
        calls.push_back(std::string(call.function) + " " + call.name + " " + std::to_string(call.size) + " " +
                        std::to_string(call.arg) + " " + std::to_string(call.status));
    }
    return calls;
}

std::vector<std::string> LoggedFunctions()
{
    std::vector<std::string> functions;
    PelSimCall call;
    for (int i = 0; PelSim_LogEntry(i, &call); ++i) functions.push_back(call.function);
    return functions;
}

std::vector<unsigned char> TestBytes(size_t size, unsigned seed)
{
    std::vector<unsigned char> bytes(size);
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<unsigned char>((i * 31 + seed * 7 + (i >> 9)) & 0xFF);
    return bytes;
}

std::vector<unsigned char> AddTestFile(const char* name, size_t size, unsigned seed)
{
    std::vector<unsigned char> bytes = TestBytes(size, seed);
    EXPECT_EQ(PelSim_AddFile(name, bytes.data(), static_cast<unsigned>(size)), 1) << name;
    return bytes;
}

void OpenLinkQuietly()
{
    ASSERT_EQ(ZQ_OpenComm(ZqLinkUsb), ZQ_STATUS_OK);
    PelSim_ClearLog();
}
