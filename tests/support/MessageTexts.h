// The texts of the messages the user reads, as the string table holds them (typos included).
#pragma once
#include <string>

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
// 2008 names the folder of temporary copies that cannot be used (a wide box spells it right).
inline std::wstring k2008(const std::wstring& folder)
{
    return L"The camera file could not be copied because the folder for temporary copies cannot be used:\n\n" + folder +
           L"\n\nPlease check that this folder exists and can be written to, then try again.";
}
inline const std::string k3000 = "The file cannot be opened because the file was not found. Please try again.";
inline const std::string k3001 = "The file cannot be opened because the path is not valid. Please try again.";
inline const std::string k3002 = "There is no application associated with this type of file. Please associate an application with this file type . Then try to open the file again.";
inline const std::string k3003 = "An error prevented the file from being opened by the associated application.  Please try again.";
inline const std::string kNoFreeName = "The file could not be copied to the camera because all the names it could be given there are already in use.";
// Followed by the paths of the files, one a line.
inline const std::string kFilesNotSent = "These files were not copied to the camera because they are folders or could not be opened or read:\n\n";
inline const std::string kNotAvailable = "This file is not available! The camera window will now be refreshed. Select OK to continue";
inline const std::string kCaption = "Lumora ";
}  // namespace text
