; Trendora's installer: for the current user, without administrator rights. A Start menu entry,
; "Open with Trendora" for .csv files, and an uninstaller that removes what was installed and
; leaves the user's settings (HKCU\Software\MirevaleStudio\Trendora) and recordings alone.
; /S installs and uninstalls silently. Made by make-packages.sh, which passes VERSION, STAGE (the
; portable folder), UNINSTALL_LIST, ICON and OUTFILE.
; A 64-bit installer for a 64-bit program: it runs where the program does, also under a Wine
; without 32-bit support (Debian's wine64 alone).
Target amd64-unicode
; UTF-8 with a byte order mark: makensis reads the Chinese names right under any code page.
SetCompressor /SOLID lzma
RequestExecutionLevel user

!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Trendora"
; The program under its own name, which "Open with" lists, and a file type of its own that the
; .csv extension offers. Windows looks the extension up without regard to letter case, so
; DATA0001.CSV is offered Trendora too.
!define APP_KEY "Software\Classes\Applications\trendora.exe"
!define PROGID "MirevaleStudio.Trendora.csv"

Name "Trendora ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Trendora"
InstallDirRegKey HKCU "${UNINST_KEY}" "InstallLocation"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!include "MUI2.nsh"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\trendora.exe"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
; The pages speak the language of the user's Windows when it is one of these.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "TradChinese"
!insertmacro MUI_LANGUAGE "SimpChinese"
; The name Explorer gives the file type, in the language of the pages; Trendora's own Chinese
; name for a recorder file.
LangString FILE_TYPE_NAME ${LANG_ENGLISH} "Recorder log"
LangString FILE_TYPE_NAME ${LANG_TRADCHINESE} "記錄檔"
LangString FILE_TYPE_NAME ${LANG_SIMPCHINESE} "记录文件"

; A Chinese the installer has no exact match for gets the first Chinese loaded, Traditional;
; Trendora itself reads only Taiwan's, Hong Kong's and Macao's Chinese as Traditional.
!include "LogicLib.nsh"
!macro CHOOSE_CHINESE
  System::Call 'kernel32::GetUserDefaultUILanguage() i .r0'
  ; Chinese (Simplified) without a region, and Chinese (Singapore)
  ${If} $0 = 0x0004
  ${OrIf} $0 = 0x1004
    StrCpy $LANGUAGE ${LANG_SIMPCHINESE}
  ${EndIf}
!macroend
Function .onInit
  !insertmacro CHOOSE_CHINESE
FunctionEnd
Function un.onInit
  !insertmacro CHOOSE_CHINESE
FunctionEnd

Section "Trendora"
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File /r "${STAGE}/*"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Trendora.lnk" "$INSTDIR\trendora.exe" "" "$INSTDIR\trendora.exe" 0

  WriteRegStr HKCU "${APP_KEY}" "FriendlyAppName" "Trendora"
  WriteRegStr HKCU "${APP_KEY}\SupportedTypes" ".csv" ""
  WriteRegStr HKCU "${APP_KEY}\shell\open\command" "" '"$INSTDIR\trendora.exe" "%1"'
  WriteRegStr HKCU "Software\Classes\${PROGID}" "" "$(FILE_TYPE_NAME)"
  WriteRegStr HKCU "Software\Classes\${PROGID}\DefaultIcon" "" "$INSTDIR\trendora.exe,0"
  WriteRegStr HKCU "Software\Classes\${PROGID}\shell\open\command" "" '"$INSTDIR\trendora.exe" "%1"'
  WriteRegStr HKCU "Software\Classes\.csv\OpenWithProgids" "${PROGID}" ""

  WriteRegStr HKCU "${UNINST_KEY}" "DisplayName" "Trendora"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINST_KEY}" "Publisher" "Mirevale Studio"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\trendora.exe,0"
  WriteRegStr HKCU "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINST_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoRepair" 1
  ; Explorer reads the new file type without a new logon.
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd

Section "Uninstall"
  SetShellVarContext current
  Delete "$SMPROGRAMS\Trendora.lnk"
  !include "${UNINSTALL_LIST}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"

  DeleteRegKey HKCU "${APP_KEY}"
  DeleteRegKey HKCU "Software\Classes\${PROGID}"
  DeleteRegValue HKCU "Software\Classes\.csv\OpenWithProgids" "${PROGID}"
  DeleteRegKey /ifempty HKCU "Software\Classes\.csv\OpenWithProgids"
  DeleteRegKey /ifempty HKCU "Software\Classes\.csv"
  DeleteRegKey HKCU "${UNINST_KEY}"
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd
