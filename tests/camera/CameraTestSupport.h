// Shared pieces of the camera link tests: a fresh simulated camera and a fresh shared
// connection for every test, the call log as text, and the texts the user reads.
#pragma once
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "camera/CameraConnection.h"
#include <memory>
#include "camera/CameraWork.h"
#include "camera/FakeCameraWindow.h"
#include "pelcore/PelSim.h"
#include "support/CameraLog.h"
#include "support/DialogCapture.h"

namespace text {
inline const std::string k1000 = "The requested function is not implemented in this version of the Camera's firmware. Please contact Technical Suport.";
inline const std::string k1001 = "The Camera is not ready to receive commands. Please check the connections and make sure the camera's power is on. If the window is open, click Refresh from its View menu.";
inline const std::string k1002 = "The Camera was not located on the computer. Please check the connections and make sure the camera's power is on. If the window is open, click Refresh from its View menu.";
inline const std::string k1003 = "An error occurred while communicating with the Camera. Please check the connections and make sure the camera's power is on.";
inline const std::string k1004 = k1003 + " ";
inline const std::string k1013 = "Error!  The camera is in use by another application.";
inline const std::string k1014 = "Communication aborted.";
inline const std::string k2000 = "The was not enough memory to complete the operation. Please close some applications, or reboot the system.";
inline const std::string k2002 = "The file size came back as 0 bytes. This is an error condidtion. Please check the camera connections and try again.";
inline const std::string k2004 = "There is not enough memory in the camera to complete this operation.";
inline const std::string k2005 = "Large file transfer is not supported in this version of camera firmware.";
inline const std::string k3000 = "The file cannot be opened because the file was not found. Please try again.";
inline const std::string k3001 = "The file cannot be opened because the path is not valid. Please try again.";
inline const std::string k3002 = "There is no application associated with this type of file. Please associate an application with this file type . Then try to open the file again.";
inline const std::string k3003 = "An error prevented the file from being opened by the associated application.  Please try again.";
inline const std::string kNotAvailable = "This file is not available! The camera window will now be refreshed. Select OK to continue";
inline const std::string kCaption = "Lumora ";
}  // namespace text

using Messages = std::vector<std::string>;

// The calls the camera saw, one line each: "ZQ_OpenComm 1", "ZQ_GetFileSize A.JPG", ...
std::vector<std::string> CameraCalls();
// A file of size bytes whose content is a pattern of its position.
std::vector<unsigned char> PatternBytes(size_t size, unsigned seed = 0);
bool AddCameraFile(const char* name, size_t size, unsigned seed = 0);
// The path of a name in the folder of temporary copies, and in the temporary directory itself.
std::string TempCopyPathOf(const std::string& name);
std::string TempDirectoryPathOf(const std::string& name);
// Removes the folder of temporary copies with everything in it (it holds only copies).
void RemoveTempCopyFolder();
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
