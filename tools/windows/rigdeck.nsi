# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows installer, rigdeck-<version>-setup.exe, made by build-rigdeck.sh
# with Debian's NSIS from the folder the zip is packed from. Defines given by
# build-rigdeck.sh: VERSION, STAGE (that folder), UNINSTALL_LIST (the lines
# that remove its files), SIZE_KB, ICON, OUTFILE.
#
# For the user alone by default, without administrator rights, into
# %LOCALAPPDATA%\Programs\RIGDECK, where the settings file stays beside the
# program; for every user of the machine (/ALLUSERS, or the choice on the
# second page) into Program Files, where the program keeps its settings in
# each user's own folder. /S installs and uninstalls silently; /D=FOLDER
# chooses the folder. Upgrading installs over the earlier version in its
# folder; RIGDECK.INI is never part of the package and is left alone, and the
# uninstaller keeps it unless asked to remove it.

Unicode true
Target amd64-unicode
ManifestDPIAware true
RequestExecutionLevel user
SetCompressor /SOLID lzma

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include nsDialogs.nsh

!define NAME "RIGDECK"
!define PUBLISHER "RIGDECK developers"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\RIGDECK"
!define UNINSTALLER "uninstall.exe"

Name "${NAME}"
OutFile "${OUTFILE}"
BrandingText "${NAME} ${VERSION}"
VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "${NAME}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileDescription" "${NAME} ${VERSION} Setup"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "LegalCopyright" "GPL-3.0-or-later"

Var AllUsers      ; 1: for every user, into Program Files
Var IsAdmin       ; 1: the installer runs with administrator rights
Var ChosenFolder  ; 1: the folder was given with /D and is kept
Var RadioMe
Var RadioAll

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN "$INSTDIR\rigdeck.exe"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${STAGE}/LICENSE.txt"
Page custom ModePage ModePageLeave
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

# English first: the language of a system whose language is neither.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Japanese"

LangString ModeTitle ${LANG_ENGLISH} "Who uses RIGDECK"
LangString ModeTitle ${LANG_JAPANESE} "RIGDECK を使う人"
LangString ModeSubtitle ${LANG_ENGLISH} "Install RIGDECK for yourself or for every user of this computer."
LangString ModeSubtitle ${LANG_JAPANESE} "自分だけのために入れるか、このコンピューターのすべてのユーザーのために入れるかを選びます。"
LangString ModeMe ${LANG_ENGLISH} "Only for me (no administrator rights needed; the settings file RIGDECK.INI stays beside the program)"
LangString ModeMe ${LANG_JAPANESE} "自分だけ (管理者の権限は不要。設定ファイル RIGDECK.INI はプログラムと同じフォルダーに置かれます)"
LangString ModeAll ${LANG_ENGLISH} "For all users of this computer, in Program Files (administrator rights needed; each user's settings are kept in their own folder)"
LangString ModeAll ${LANG_JAPANESE} "このコンピューターのすべてのユーザー、Program Files に (管理者の権限が必要。設定はユーザーごとのフォルダーに置かれます)"
LangString NeedsAdmin ${LANG_ENGLISH} "RIGDECK was installed for all users: removing it needs administrator rights."
LangString NeedsAdmin ${LANG_JAPANESE} "RIGDECK はすべてのユーザー用に入れられています。削除には管理者の権限が必要です。"
LangString ProgramSection ${LANG_ENGLISH} "RIGDECK and its Start-menu entry"
LangString ProgramSection ${LANG_JAPANESE} "RIGDECK とスタートメニューの項目"
LangString DesktopSection ${LANG_ENGLISH} "A shortcut on the desktop"
LangString DesktopSection ${LANG_JAPANESE} "デスクトップのショートカット"
LangString UnProgramSection ${LANG_ENGLISH} "RIGDECK"
LangString UnProgramSection ${LANG_JAPANESE} "RIGDECK"
LangString UnSettingsSection ${LANG_ENGLISH} "Also remove the settings file RIGDECK.INI"
LangString UnSettingsSection ${LANG_JAPANESE} "設定ファイル RIGDECK.INI も削除する"

# The folder and the shell folders (Start menu, desktop, registry root) of
# the chosen kind of installation; an earlier installation of that kind is
# upgraded where it is.
Function ApplyMode
    ${If} $AllUsers == 1
        SetShellVarContext all
    ${Else}
        SetShellVarContext current
    ${EndIf}
    ${If} $ChosenFolder != 1
        ReadRegStr $0 SHCTX "${UNINST_KEY}" "InstallLocation"
        ${If} $0 != ""
            StrCpy $INSTDIR $0
        ${ElseIf} $AllUsers == 1
            StrCpy $INSTDIR "$PROGRAMFILES64\${NAME}"
        ${Else}
            StrCpy $INSTDIR "$LOCALAPPDATA\Programs\${NAME}"
        ${EndIf}
    ${EndIf}
FunctionEnd

Function .onInit
    SetRegView 64
    StrCpy $IsAdmin 0
    UserInfo::GetAccountType
    Pop $0
    ${If} $0 == "Admin"
        StrCpy $IsAdmin 1
    ${EndIf}
    StrCpy $ChosenFolder 0
    ${If} $INSTDIR != ""
        StrCpy $ChosenFolder 1
    ${EndIf}
    # An installation for all users is upgraded as one unless told otherwise.
    StrCpy $AllUsers 0
    ReadRegStr $0 HKCU "${UNINST_KEY}" "InstallLocation"
    ReadRegStr $1 HKLM "${UNINST_KEY}" "InstallLocation"
    ${If} $0 == ""
    ${AndIf} $1 != ""
        StrCpy $AllUsers 1
    ${EndIf}
    ${GetParameters} $2
    ClearErrors
    ${GetOptions} $2 "/ALLUSERS" $3
    ${IfNot} ${Errors}
        StrCpy $AllUsers 1
    ${EndIf}
    ClearErrors
    ${GetOptions} $2 "/CURRENTUSER" $3
    ${IfNot} ${Errors}
        StrCpy $AllUsers 0
    ${EndIf}
    ${If} ${Silent}
    ${AndIf} $AllUsers == 1
    ${AndIf} $IsAdmin != 1
        SetErrorLevel 740 ; ERROR_ELEVATION_REQUIRED
        Quit
    ${EndIf}
    Call ApplyMode
FunctionEnd

Function ModePage
    !insertmacro MUI_HEADER_TEXT "$(ModeTitle)" "$(ModeSubtitle)"
    nsDialogs::Create 1018
    Pop $0
    ${NSD_CreateRadioButton} 0 8u 100% 28u "$(ModeMe)"
    Pop $RadioMe
    ${NSD_CreateRadioButton} 0 44u 100% 28u "$(ModeAll)"
    Pop $RadioAll
    ${If} $AllUsers == 1
        ${NSD_Check} $RadioAll
    ${Else}
        ${NSD_Check} $RadioMe
    ${EndIf}
    nsDialogs::Show
FunctionEnd

Function ModePageLeave
    ${NSD_GetState} $RadioAll $0
    ${If} $0 == ${BST_CHECKED}
        ${If} $IsAdmin != 1
            # Program Files needs administrator rights: the installer starts
            # again with them (Windows asks), for every user.
            ClearErrors
            ExecShell "runas" "$EXEPATH" "/ALLUSERS"
            ${IfNot} ${Errors}
                Quit
            ${EndIf}
            Abort
        ${EndIf}
        StrCpy $AllUsers 1
    ${Else}
        StrCpy $AllUsers 0
    ${EndIf}
    Call ApplyMode
FunctionEnd

Section "$(ProgramSection)" SecProgram
    SectionIn RO
    SetOutPath "$INSTDIR"
    # The same files as the zip; RIGDECK.INI is not among them.
    File /r "${STAGE}/*"
    WriteUninstaller "$INSTDIR\${UNINSTALLER}"
    CreateShortCut "$SMPROGRAMS\${NAME}.lnk" "$INSTDIR\rigdeck.exe" "" "$INSTDIR\rigdeck.exe" 0
    WriteRegStr SHCTX "${UNINST_KEY}" "DisplayName" "${NAME}"
    WriteRegStr SHCTX "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr SHCTX "${UNINST_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr SHCTX "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\rigdeck.exe,0"
    WriteRegStr SHCTX "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr SHCTX "${UNINST_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
    WriteRegStr SHCTX "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
    WriteRegDWORD SHCTX "${UNINST_KEY}" "EstimatedSize" ${SIZE_KB}
    WriteRegDWORD SHCTX "${UNINST_KEY}" "NoModify" 1
    WriteRegDWORD SHCTX "${UNINST_KEY}" "NoRepair" 1
SectionEnd

Section /o "$(DesktopSection)" SecDesktop
    SetOutPath "$INSTDIR"
    CreateShortCut "$DESKTOP\${NAME}.lnk" "$INSTDIR\rigdeck.exe" "" "$INSTDIR\rigdeck.exe" 0
SectionEnd

Function un.onInit
    SetRegView 64
    StrCpy $AllUsers 0
    ReadRegStr $0 HKLM "${UNINST_KEY}" "InstallLocation"
    ${If} $0 == $INSTDIR
        StrCpy $AllUsers 1
        SetShellVarContext all
        UserInfo::GetAccountType
        Pop $1
        ${If} $1 != "Admin"
            IfSilent +2
            MessageBox MB_OK|MB_ICONSTOP "$(NeedsAdmin)"
            SetErrorLevel 740 ; ERROR_ELEVATION_REQUIRED
            Quit
        ${EndIf}
    ${EndIf}
FunctionEnd

Section "un.$(UnProgramSection)" UnSecProgram
    SectionIn RO
    Delete "$SMPROGRAMS\${NAME}.lnk"
    Delete "$DESKTOP\${NAME}.lnk"
    # The files of this version, one by one: whatever else is in the folder
    # (RIGDECK.INI, WAVESCOPE.exe put beside the program) stays.
    !include "${UNINSTALL_LIST}"
    DeleteRegKey SHCTX "${UNINST_KEY}"
    # The uninstaller last: a script waiting for its removal knows the rest is done.
    Delete "$INSTDIR\${UNINSTALLER}"
    RMDir "$INSTDIR"
SectionEnd

Section /o "un.$(UnSettingsSection)" UnSecSettings
    Delete "$INSTDIR\RIGDECK.INI"
    RMDir "$INSTDIR"
    # Where the program keeps them when its folder cannot be written.
    SetShellVarContext current
    Delete "$LOCALAPPDATA\rigdeck\RIGDECK.INI"
    RMDir "$LOCALAPPDATA\rigdeck"
SectionEnd
