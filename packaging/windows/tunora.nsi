; The Windows installer: Tunora and its song service into Program Files with a Start-menu
; entry and an uninstaller beside the program. The uninstaller beside it is what tells the program it is
; installed, so it keeps the user's files in %APPDATA%\Tunora, which uninstalling leaves.
; makensis -DVERSION=x.y.z -DSTAGE=<folder with tunora.exe, tunora-song-service.exe, catalogue\,
;   Resource\, plugins\> -DOUTFILE=...

; A 64-bit installer for a 64-bit program: it runs where the program does, needing no 32-bit layer.
Target amd64-unicode
!include "MUI2.nsh"
!include "nsDialogs.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tunora"
; What the program uses with no address set: the service it starts on this computer.
!define DEFAULT_SERVICE "127.0.0.1:8725"

Name "Tunora"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Tunora"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
SetCompressor /SOLID lzma

Var ServiceAddress
Var ServiceField

!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
Page custom ServicePageShow ServicePageLeave
!insertmacro MUI_PAGE_INSTFILES
; The installer runs elevated; the program it offers to start must not. Explorer, which
; runs as the user, starts it instead.
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_FUNCTION StartAsUser
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "Tunora"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "Tunora setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "The Tunora developers"

!define SETTINGS "$APPDATA\Tunora\program parameter.ini"

Function .onInit
  ; The address the user gave before, or /SERVICE=host:port; empty for the service Tunora
  ; starts itself, which is also what an older installer's default address meant.
  SetShellVarContext current
  ReadINIStr $ServiceAddress "${SETTINGS}" "parameter" "service address"
  ${If} $ServiceAddress == "${DEFAULT_SERVICE}"
    StrCpy $ServiceAddress ""
  ${EndIf}
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/SERVICE=" $1
  ${IfNot} ${Errors}
    StrCpy $ServiceAddress $1
  ${EndIf}
FunctionEnd

Function ServicePageShow
  !insertmacro MUI_HEADER_TEXT "Song service" "Where Tunora finds its songs."
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateLabel} 0 0 100% 36u "Tunora plays the songs in your Music folder (or demo songs while it holds none) through a song service it starts on this computer. To use a song service on another computer instead, enter its address as host:port."
  Pop $0
  ${NSD_CreateText} 0 40u 100% 13u "$ServiceAddress"
  Pop $ServiceField
  ${NSD_CreateLabel} 0 58u 100% 12u "Leave it empty for the service on this computer."
  Pop $0
  nsDialogs::Show
FunctionEnd

Function ServicePageLeave
  ${NSD_GetText} $ServiceField $ServiceAddress
FunctionEnd

Function StartAsUser
  Exec '"$WINDIR\explorer.exe" "$INSTDIR\tunora.exe"'
FunctionEnd

Section "Tunora"
  SetOutPath "$INSTDIR"
  File /r "${STAGE}/*.*"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  SetShellVarContext current
  CreateDirectory "$APPDATA\Tunora"
  ${If} $ServiceAddress == ""
    DeleteINIStr "${SETTINGS}" "parameter" "service address"
  ${Else}
    WriteINIStr "${SETTINGS}" "parameter" "service address" "$ServiceAddress"
  ${EndIf}

  SetShellVarContext all
  CreateShortcut "$SMPROGRAMS\Tunora.lnk" "$INSTDIR\tunora.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Tunora"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Only what the installer put there goes; the user's settings, skin and preset file stay.
Section "Uninstall"
  Delete "$INSTDIR\tunora.exe"
  Delete "$INSTDIR\tunora-song-service.exe"
  RMDir /r "$INSTDIR\catalogue"
  RMDir /r "$INSTDIR\Resource"
  RMDir /r "$INSTDIR\plugins"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"

  SetShellVarContext all
  Delete "$SMPROGRAMS\Tunora.lnk"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
