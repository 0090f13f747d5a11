// Shared pieces of the camera link tests: a fresh simulated camera and a fresh shared
// connection for every test, the call log as text, and the texts the user reads.
#pragma once
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "camera/CameraConnection.h"
#include <memory>
#include "camera/CameraWork.h"
#include "camera/ConnectDialog.h"
#include "camera/FakeCameraWindow.h"
#include "pelcore/PelSim.h"
#include "support/CameraLog.h"
#include "support/DialogCapture.h"
#include "support/MessageTexts.h"

using Messages = std::vector<std::string>;

// The calls the camera saw, one line each: "ZQ_OpenComm 1", "ZQ_GetFileSize A.JPG", ...
std::vector<std::string> CameraCalls();
// A file of size bytes whose content is a pattern of its position.
std::vector<unsigned char> PatternBytes(size_t size, unsigned seed = 0);
bool AddCameraFile(const char* name, size_t size, unsigned seed = 0);
// The path of a name in the folder of Open's temporary copies, and in the temporary directory itself.
std::string TempCopyPathOf(const std::string& name);
std::string TempDirectoryPathOf(const std::string& name);
// Makes the folder of Open's temporary copies; removes the folder of all temporary copies with
// everything in it (it holds only copies).
void MakeTempCopyFolder();
void RemoveTempCopyFolder(const std::string& folder = TempDirectoryPathOf("Lumora"));
// A path the extension gives, in the ANSI code page.
std::string Narrow(const wchar_t* text);
// Writes a PC file with the given text.
void WriteTextFile(const std::string& path, const std::string& text);
std::string ReadTextFile(const std::string& path);
bool FileExists(const std::string& path);
std::vector<unsigned char> ReadWholeFile(const std::string& path);
// Removes a (possibly read-only) file.
void RemoveFile(const std::string& path);
// The product-name keys under HKEY_LOCAL_MACHINE, removed.
void RemoveProductNameKeys();
void SetRegistryValue(const char* keyPath, const char* value, DWORD type, const void* data, DWORD size);
void SetRegistryText(const char* keyPath, const char* value, const std::string& text);

// Every test starts with a fresh camera and no connection, and must leave none behind.
class CameraTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Takes one use of the shared connection.
    CameraConnection* Acquire();
    // Takes one use and starts a unit of work, with the fake window as its owner, that lasts
    // until the test ends.
    CameraConnection* AcquireOwned();
    // Connects and forgets the calls that took.
    void ConnectAndClearLog(CameraConnection* connection);

    FakeCameraWindow m_view;
    DialogCapture m_capture;
    std::unique_ptr<CameraWork> m_pWork;
    int m_cUses = 0;
    LONG m_cObjectsBefore = 0;
};
