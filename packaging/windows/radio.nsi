; The Windows installer: what the zip holds, installed for the user who runs it (no
; administrator rights), with a Start-menu entry and an uninstaller. scripts/windows/package
; builds it with makensis, defining VERSION, STAGE (the unpacked zip's folder) and OUTFILE.
; A 64-bit installer for the 64-bit program (which a 32-bit Windows could not run anyway).
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!define NAME "对讲机写频软件"
!define KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\radio"

Name "${NAME} ${VERSION}"
OutFile "${OUTFILE}"
; Per user, where Windows keeps programs installed without administrator rights. The folder is
; the user's own, so the program keeps its user files (password, company, picture) beside it.
InstallDir "$LOCALAPPDATA\Programs\radio"
InstallDirRegKey HKCU "${KEY}" "InstallLocation"
ShowInstDetails show
ShowUninstDetails show

!include "MUI2.nsh"
!define MUI_FINISHPAGE_RUN "$INSTDIR\radio.exe"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"
!insertmacro MUI_LANGUAGE "English"

Section "radio"
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File /r "${STAGE}\*.*"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortCut "$SMPROGRAMS\${NAME}.lnk" "$INSTDIR\radio.exe"
  WriteRegStr HKCU "${KEY}" "DisplayName" "${NAME}"
  WriteRegStr HKCU "${KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${KEY}" "Publisher" "The radio developers"
  WriteRegStr HKCU "${KEY}" "DisplayIcon" "$INSTDIR\radio.exe"
  WriteRegStr HKCU "${KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegDWORD HKCU "${KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${KEY}" "NoRepair" 1
SectionEnd

; Removes what the installer put there and nothing else: the user files the program made
; beside itself (the folder "image") and the codeplugs a user saved there stay.
Section "Uninstall"
  SetShellVarContext current
  Delete "$SMPROGRAMS\${NAME}.lnk"
  !include "${FILELIST}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${KEY}"
SectionEnd
