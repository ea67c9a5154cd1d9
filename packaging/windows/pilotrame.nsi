; Pilotrame's installer for Windows, made by the CMake target "installer"
; (packaging/windows/windows.cmake), which defines:
;   VERSION         the project's version (CMake's project version)
;   DEPLOY_DIR      the folder that runs on a Windows without Qt (target "deploy")
;   UNINSTALL_LIST  the uninstaller's list of those files (uninstall-list.cmake)
;   ICON            the program's icon
;   OUTFILE         Pilotrame-<version>-setup.exe
;
; Per user, without administrator rights: into %LOCALAPPDATA%\Programs\Pilotrame, a Start menu
; shortcut, the .pilotrame job files opened by the program, and an entry in "Applications et
; fonctionnalités". The program keeps its settings, list and scripts beside itself in a folder
; the user can write (see README, Files it keeps): the uninstaller removes only the files
; it installed, keeps the user's, and says so. /S installs and uninstalls silently.

; The program is 64-bit only; a 64-bit installer also writes the 64-bit view of the registry.
Target amd64-unicode
ManifestDPIAware true
SetCompressor /SOLID lzma
RequestExecutionLevel user

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"

!define PRODUCT "Pilotrame"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Pilotrame"
!define JOB_TYPE "Pilotrame.Travail"
!define UNINSTALLER "desinstaller.exe"

Name "${PRODUCT}"
Caption "Installation de ${PRODUCT} ${VERSION}"
UninstallCaption "Désinstallation de ${PRODUCT} ${VERSION}"
BrandingText "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
; A new version goes where the previous one is.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=1036 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1036 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1036 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1036 "FileDescription" "Installation de ${PRODUCT}"
VIAddVersionKey /LANG=1036 "CompanyName" "${PRODUCT}"
VIAddVersionKey /LANG=1036 "LegalCopyright" "(C) 2026 The Pilotrame developers"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\pilotrame.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Lancer ${PRODUCT}"
!define MUI_DIRECTORYPAGE_TEXT_TOP "${PRODUCT} sera installé pour vous seul, sans droits d'administrateur. Il garde ses réglages, sa liste de plans et ses scripts dans ce dossier : choisissez-en un où vous pouvez écrire."
!define MUI_UNCONFIRMPAGE_TEXT_TOP "${PRODUCT} va être supprimé de votre ordinateur. Vos fichiers sont conservés : réglages (savescript.txt, execution.txt), liste des plans (Liste01.txt), scripts (*.scr), travaux (*.pilotrame) et journaux (Pilotrame-journal)."

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "French"

; ---- A copy of the program that runs ----
; Windows lets no one replace or remove the files of a program that runs: over a running copy the
; installer would leave two versions mixed, and the uninstaller the program without its shortcut,
; its association and its entry. Both look for one before they touch anything and ask the user to
; close it; silently, they end with code 2 and leave everything as it was. A running copy holds a
; mutex named "Local\Pilotrame " and its program file's path with "/" for "\"
; (src/app/singleinstance.cpp); one that holds none (a command-line run, an earlier version) is
; found by its program file, which Windows lets no one open for writing while it runs.
!macro REFUSE_RUNNING_COPY UN STOPPED
Function ${UN}RefuseRunningCopy
    Push $0
    Push $1
    Push $2
  look:
    StrCpy $0 ""
    StrCpy $1 0
    ${Do}
        StrCpy $2 "$INSTDIR\pilotrame.exe" 1 $1
        ${IfThen} $2 == "" ${|} ${ExitDo} ${|}
        ${IfThen} $2 == "\" ${|} StrCpy $2 "/" ${|}
        StrCpy $0 "$0$2"
        IntOp $1 $1 + 1
    ${Loop}
    ; SYNCHRONIZE access, not inherited.
    System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "Local\Pilotrame $0") p .r1'
    ${If} $1 != 0
        System::Call 'kernel32::CloseHandle(p r1)'
        Goto running
    ${EndIf}
    ${If} ${FileExists} "$INSTDIR\pilotrame.exe"
        ClearErrors
        FileOpen $1 "$INSTDIR\pilotrame.exe" a
        IfErrors running
        FileClose $1
    ${EndIf}
    Pop $2
    Pop $1
    Pop $0
    Return
  running:
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${PRODUCT} est ouvert dans « $INSTDIR ». Fermez-le, puis cliquez sur « Réessayer ».$\r$\n$\r$\n« Annuler » ${STOPPED}" /SD IDCANCEL IDRETRY look
    SetErrorLevel 2
    Quit
FunctionEnd
!macroend
!insertmacro REFUSE_RUNNING_COPY "" "arrête l'installation sans rien changer."
!insertmacro REFUSE_RUNNING_COPY "un." "arrête la désinstallation sans rien supprimer."

Section "Pilotrame"
    SetShellVarContext current
    Call RefuseRunningCopy
    SetOutPath "$INSTDIR"
    File /r "${DEPLOY_DIR}/*"
    WriteUninstaller "$INSTDIR\${UNINSTALLER}"

    CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\pilotrame.exe" "" \
        "$INSTDIR\pilotrame.exe" 0 SW_SHOWNORMAL "" "Traitement par lots des plans AutoCAD"

    ; A job file opens in the program's window (pilotrame.exe FILE.pilotrame).
    WriteRegStr HKCU "Software\Classes\.pilotrame" "" "${JOB_TYPE}"
    WriteRegStr HKCU "Software\Classes\${JOB_TYPE}" "" "Travail Pilotrame"
    WriteRegStr HKCU "Software\Classes\${JOB_TYPE}\DefaultIcon" "" "$INSTDIR\pilotrame.exe,0"
    WriteRegStr HKCU "Software\Classes\${JOB_TYPE}\shell\open\command" "" \
        '"$INSTDIR\pilotrame.exe" "%1"'
    ; SHCNE_ASSOCCHANGED: Explorer shows the new type's icon at once.
    System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PRODUCT}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\pilotrame.exe,0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
    SetShellVarContext current
    Call un.RefuseRunningCopy
    !include "${UNINSTALL_LIST}"
    Delete "$INSTDIR\${UNINSTALLER}"
    Delete "$SMPROGRAMS\${PRODUCT}.lnk"

    ; The extension is left alone when another program has taken it since.
    ReadRegStr $0 HKCU "Software\Classes\.pilotrame" ""
    StrCmp $0 "${JOB_TYPE}" 0 +2
        DeleteRegKey HKCU "Software\Classes\.pilotrame"
    DeleteRegKey HKCU "Software\Classes\${JOB_TYPE}"
    System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
    DeleteRegKey HKCU "${UNINSTALL_KEY}"

    ; Removed only when empty: what is left there is the user's.
    RMDir "$INSTDIR"
    IfFileExists "$INSTDIR\*.*" 0 done
        DetailPrint "Vos fichiers sont conservés dans $INSTDIR"
        MessageBox MB_OK|MB_ICONINFORMATION "${PRODUCT} est désinstallé.$\r$\n$\r$\nVos fichiers ont été conservés dans « $INSTDIR » : réglages, liste des plans, scripts, travaux et journaux. Supprimez ce dossier vous-même si vous n'en avez plus besoin." /SD IDOK
    done:
SectionEnd
