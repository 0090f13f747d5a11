; Lumora Setup: the camera folder for 64-bit programs (Explorer) and for 32-bit programs,
; and, as an option, the simulated camera serving a PC folder.
;
; Built by scripts/build-installer.sh, which passes:
;   VERSION   the product version of tolvane.dll (a.b.c.d), read from resources/tolvane.rc
;   X64_DIR   the x86_64 build's bin folder, I686_DIR the i686 build's
;   OUTFILE   the setup program to write
;
; Where things go (the folders are fixed):
;   x86_64 tolvane.dll  $PROGRAMFILES64\Lumora   registered in the 64-bit registry view
;   i686 tolvane.dll    $PROGRAMFILES32\Lumora   registered in the 32-bit registry view
;   Uninstall.exe       $PROGRAMFILES64\Lumora
;   the simulated camera's pelcore.dll beside each tolvane.dll (option)
;
; Command line: /S silent, /SIMULATOR=<folder> the simulated camera serving <folder>.
; Uninstaller: /S silent, /KEEPSETTINGS keeps HKCU\Software\Lumora (removed by default).
; Exit codes: 0 done, 3010 done but Windows must restart, 2 failed (nothing left
; registered), 740 not run as an administrator.

Unicode true
ManifestSupportedOS all
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!include LogicLib.nsh
!include x64.nsh
!include FileFunc.nsh
!include Sections.nsh
!include MUI2.nsh
!include nsDialogs.nsh

!ifndef VERSION | X64_DIR | I686_DIR | OUTFILE
  !error "VERSION, X64_DIR, I686_DIR and OUTFILE must be defined (scripts/build-installer.sh)"
!endif

; Both builds must carry the version the installer is named after.
!getdllversion /productversion "${X64_DIR}/tolvane.dll" X64_VERSION_
!getdllversion /productversion "${I686_DIR}/tolvane.dll" I686_VERSION_
!if "${X64_VERSION_1}.${X64_VERSION_2}.${X64_VERSION_3}.${X64_VERSION_4}" != "${VERSION}"
  !error "the x86_64 tolvane.dll is not version ${VERSION}: rebuild it"
!endif
!if "${I686_VERSION_1}.${I686_VERSION_2}.${I686_VERSION_3}.${I686_VERSION_4}" != "${VERSION}"
  !error "the i686 tolvane.dll is not version ${VERSION}: rebuild it"
!endif

!define PRODUCT "Lumora"
!define PUBLISHER "The Lumora team"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Lumora"
!define SETUP_KEY "Software\Lumora"                         ; HKLM, 64-bit view: the installer's own
!define SETTINGS_KEY "Software\Lumora"                      ; HKCU: the user's settings
!define SIMULATOR_KEY "Software\Lumora Camera Simulator"    ; HKCU: read by the simulated camera
!define ERROR_SUCCESS_REBOOT_REQUIRED 3010
!define ERROR_ELEVATION_REQUIRED 740

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${PUBLISHER}"

Var Dir64          ; the x86_64 build's folder (the 32-bit one on 32-bit Windows)
Var Dir32          ; the i686 build's folder
Var SimFolder      ; the PC folder the simulated camera serves
Var SimFolderField

!define MUI_COMPONENTSPAGE_NODESC
!insertmacro MUI_PAGE_COMPONENTS
Page custom SimFolderPage SimFolderPageLeave
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE English

; ---------------------------------------------------------------------------------------
; Shared by the installer and the uninstaller (UN is "" or "un.").

; The two folders: on 32-bit Windows only the i686 build is installed.
!macro SetFolders
  StrCpy $Dir32 "$PROGRAMFILES32\${PRODUCT}"
  StrCpy $Dir64 $Dir32
  ${If} ${RunningX64}
    StrCpy $Dir64 "$PROGRAMFILES64\${PRODUCT}"
  ${EndIf}
  StrCpy $INSTDIR $Dir64
!macroend

; Setup runs only for an administrator; anybody else is told and nothing changes.
!macro RequireAdmin
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "Admin"
    MessageBox MB_ICONSTOP|MB_OK "${PRODUCT} Setup needs administrator rights: run it as an administrator." /SD IDOK
    SetErrorLevel ${ERROR_ELEVATION_REQUIRED}
    Quit
  ${EndIf}
!macroend

; Runs the regsvr32 of BITS (32 or 64) with ARGS on DLL; $0 is its exit code ("" when it
; could not start).
!macro RunRegsvr32 BITS ARGS DLL
  StrCpy $0 ""
  !if ${BITS} == 64
    ${DisableX64FSRedirection}
  !endif
  ExecWait '"$SYSDIR\regsvr32.exe" ${ARGS} "${DLL}"' $0
  !if ${BITS} == 64
    ${EnableX64FSRedirection}
  !endif
!macroend

; Unregisters one build when its file is there; a failure is told, not fatal.
!macro Unregister BITS DIR
  ${If} ${FileExists} "${DIR}\tolvane.dll"
    !insertmacro RunRegsvr32 ${BITS} "/u /s" "${DIR}\tolvane.dll"
    ${If} $0 != 0
      DetailPrint "The ${BITS}-bit tolvane.dll could not be unregistered (regsvr32: $0)"
    ${EndIf}
  ${EndIf}
!macroend

; The shell lists My Computer again.
!macro NotifyShell
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0x1000, p 0, p 0)' ; SHCNE_ASSOCCHANGED, SHCNF_FLUSH
!macroend

; Everything an installation leaves but the user's settings: registration, files, folders,
; the Add or Remove Programs entry and the installer's own keys. Files in use go at the
; next restart.
!macro RemoveInstallation UN
  ${If} ${RunningX64}
    !insertmacro Unregister 64 $Dir64
  ${EndIf}
  !insertmacro Unregister 32 $Dir32
  Call ${UN}RemoveFolderFiles
  SetRegView 64
  ReadRegStr $1 HKLM "${SETUP_KEY}" "CreatedStorageFolder"
  ${If} $1 != ""
    RMDir $1  ; only when still empty: the files in it are the user's
  ${EndIf}
  DeleteRegKey HKLM "${SETUP_KEY}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  SetRegView lastused
  DeleteRegKey HKCU "${SIMULATOR_KEY}"
  !insertmacro NotifyShell
!macroend

!macro DefineRemoveFolderFiles UN
; The files of both folders and the folders themselves.
Function ${UN}RemoveFolderFiles
  SetOutPath $TEMP  ; a folder that is the current directory cannot go
  ${ForEach} $2 0 1 + 1
    StrCpy $3 $Dir64
    ${If} $2 == 1
      StrCpy $3 $Dir32
    ${EndIf}
    Delete /REBOOTOK "$3\tolvane.dll"
    Delete /REBOOTOK "$3\pelcore.dll"
    Delete "$3\tolvane.dll.new"
    Delete "$3\pelcore.dll.new"
    Delete "$3\Uninstall.exe"
    RMDir /REBOOTOK $3
  ${Next}
FunctionEnd
!macroend
!insertmacro DefineRemoveFolderFiles ""
!insertmacro DefineRemoveFolderFiles "un."

; ---------------------------------------------------------------------------------------
; Installer.

; Puts SOURCE into DIR as NAME; a file in use (Explorer holds the DLL) is replaced at the
; next restart. It is extracted beside its place first, so a failed write changes nothing.
!macro PlaceFile SOURCE DIR NAME
  SetOutPath "${DIR}"
  File "/oname=${NAME}.new" "${SOURCE}"
  StrCpy $R9 placed
  ClearErrors
  Delete "${DIR}\${NAME}"
  ${If} ${Errors}  ; testing the error flag clears it: each failure is tested once
    StrCpy $R9 "in use"
  ${Else}
    Rename "${DIR}\${NAME}.new" "${DIR}\${NAME}"
    ${If} ${Errors}
      StrCpy $R9 "in use"
    ${EndIf}
  ${EndIf}
  ${If} $R9 == "in use"
    Rename /REBOOTOK "${DIR}\${NAME}.new" "${DIR}\${NAME}"
    DetailPrint "${DIR}\${NAME} is in use: it is replaced when Windows restarts"
  ${EndIf}
!macroend

; Registers the build of BITS in DIR; on failure everything is removed again and Setup stops.
!macro Register BITS DIR
  DetailPrint "Registering the ${BITS}-bit camera folder"
  !insertmacro RunRegsvr32 ${BITS} "/s" "${DIR}\tolvane.dll"
  ${If} $0 != 0
    DetailPrint "The ${BITS}-bit tolvane.dll could not be registered (regsvr32: $0)"
    !insertmacro RemoveInstallation ""
    MessageBox MB_ICONSTOP|MB_OK "The ${BITS}-bit camera folder could not be registered; nothing was installed." /SD IDOK
    SetErrorLevel 2
    Abort
  ${EndIf}
!macroend

; Tells when the camera maker's pelcore.dll cannot be found on the system path of BITS.
!macro CheckMakerLibrary BITS
  !if ${BITS} == 64
    ${DisableX64FSRedirection}
  !endif
  ReadEnvStr $1 PATH
  System::Call 'kernel32::SearchPathW(w "$SYSDIR;$WINDIR;$1", w "pelcore.dll", p 0, i ${NSIS_MAX_STRLEN}, w .r2, p 0) i .r0'
  !if ${BITS} == 64
    ${EnableX64FSRedirection}
  !endif
  ${If} $0 == 0
    DetailPrint "The camera's library pelcore.dll (${BITS}-bit) is not on the system path"
    MessageBox MB_ICONEXCLAMATION|MB_OK "The camera's communication library pelcore.dll (${BITS}-bit) was not found \
      on the system path. Install the camera's software first, or choose the simulated camera." /SD IDOK
  ${EndIf}
!macroend

Section "Camera folder" SecFolder
  SectionIn RO
  ${If} ${RunningX64}
    !insertmacro PlaceFile "${X64_DIR}/tolvane.dll" $Dir64 tolvane.dll
  ${EndIf}
  !insertmacro PlaceFile "${I686_DIR}/tolvane.dll" $Dir32 tolvane.dll
SectionEnd

Section /o "Simulated camera" SecSimulator
  ${If} ${RunningX64}
    !insertmacro PlaceFile "${X64_DIR}/pelcore.dll" $Dir64 pelcore.dll
  ${EndIf}
  !insertmacro PlaceFile "${I686_DIR}/pelcore.dll" $Dir32 pelcore.dll
  ${IfNot} ${FileExists} "$SimFolder\*.*"
    CreateDirectory $SimFolder
    SetRegView 64
    WriteRegStr HKLM "${SETUP_KEY}" "CreatedStorageFolder" $SimFolder
    SetRegView lastused
  ${EndIf}
  WriteRegStr HKCU "${SIMULATOR_KEY}" "StorageFolder" $SimFolder
SectionEnd

; Registration comes last, once every file is in place.
Section "-Registration" SecRegistration
  ${IfNot} ${SectionIsSelected} ${SecSimulator}
    Delete /REBOOTOK "$Dir64\pelcore.dll"  ; a simulated camera of an earlier installation
    Delete /REBOOTOK "$Dir32\pelcore.dll"
    ${If} ${RunningX64}
      !insertmacro CheckMakerLibrary 64
    ${EndIf}
    !insertmacro CheckMakerLibrary 32
  ${EndIf}
  ${If} ${RunningX64}
    !insertmacro Register 64 $Dir64
  ${EndIf}
  !insertmacro Register 32 $Dir32

  WriteUninstaller "$Dir64\Uninstall.exe"
  SetRegView 64
  WriteRegStr HKLM "${SETUP_KEY}" "Version" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$Dir64"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$Dir64\tolvane.dll,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$Dir64\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$Dir64\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$Dir64" "/S=0K" $0 $1 $2
  ${If} $Dir32 != $Dir64
    ${GetSize} "$Dir32" "/S=0K" $1 $2 $3
    IntOp $0 $0 + $1
  ${EndIf}
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
  SetRegView lastused
  !insertmacro NotifyShell

  ${If} ${RebootFlag}
    DetailPrint "Windows must restart to finish: a file was in use"
    SetErrorLevel ${ERROR_SUCCESS_REBOOT_REQUIRED}
  ${EndIf}
SectionEnd

; The page of the simulated camera's folder, shown when that component is chosen.
Function SimFolderPage
  ${IfNot} ${SectionIsSelected} ${SecSimulator}
    Abort
  ${EndIf}
  !insertmacro MUI_HEADER_TEXT "Simulated camera" "Choose the PC folder that the simulated camera serves."
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateLabel} 0 0 100% 36u "The simulated camera shows the files of this folder whose names have at most \
    12 characters as its own storage. Without the simulated camera, the camera's own library pelcore.dll must be \
    installed."
  Pop $0
  ${NSD_CreateDirRequest} 0 42u 78% 13u "$SimFolder"
  Pop $SimFolderField
  ${NSD_CreateBrowseButton} 80% 41u 20% 15u "Browse..."
  Pop $0
  ${NSD_OnClick} $0 OnBrowseSimFolder
  nsDialogs::Show
FunctionEnd

Function OnBrowseSimFolder
  Pop $0
  ${NSD_GetText} $SimFolderField $1
  nsDialogs::SelectFolderDialog "The folder the simulated camera serves" $1
  Pop $1
  ${If} $1 != error
    ${NSD_SetText} $SimFolderField $1
  ${EndIf}
FunctionEnd

Function SimFolderPageLeave
  ${NSD_GetText} $SimFolderField $SimFolder
  ${If} $SimFolder == ""
    MessageBox MB_ICONEXCLAMATION|MB_OK "Choose a folder for the simulated camera."
    Abort
  ${EndIf}
FunctionEnd

; Administrator only; /SIMULATOR=<folder> chooses the simulated camera and its folder.
Function .onInit
  !insertmacro RequireAdmin
  !insertmacro SetFolders
  StrCpy $SimFolder "$DOCUMENTS\Lumora Camera"
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/SIMULATOR=" $R1
  ${IfNot} ${Errors}
    ${If} $R1 == ""
      MessageBox MB_ICONSTOP|MB_OK "/SIMULATOR= needs the folder the simulated camera serves." /SD IDOK
      SetErrorLevel 2
      Quit
    ${EndIf}
    StrCpy $SimFolder $R1
    !insertmacro SelectSection ${SecSimulator}
  ${EndIf}
FunctionEnd

; ---------------------------------------------------------------------------------------
; Uninstaller.

Section "un.Lumora" UnSecProgram
  SectionIn RO
  !insertmacro RemoveInstallation "un."
  ${If} ${RebootFlag}
    DetailPrint "Windows must restart to finish: a file was in use"
    SetErrorLevel ${ERROR_SUCCESS_REBOOT_REQUIRED}
  ${EndIf}
SectionEnd

Section "un.Your settings (view columns)" UnSecSettings
  DeleteRegKey HKCU "${SETTINGS_KEY}"
SectionEnd

; Administrator only; /KEEPSETTINGS keeps the user's settings.
Function un.onInit
  !insertmacro RequireAdmin
  !insertmacro SetFolders
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/KEEPSETTINGS" $R1
  ${IfNot} ${Errors}
    !insertmacro UnselectSection ${UnSecSettings}
  ${EndIf}
FunctionEnd
