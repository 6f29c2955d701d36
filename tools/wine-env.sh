# Sourced by the test and run scripts: the Wine environment every run of ours uses.
# Creates the prefix on first use (about 20 s) and a persistent wineserver so that later
# programs start in a few tens of milliseconds. Needs BUILD_DIR set by the caller.
: "${BUILD_DIR:?BUILD_DIR must be set}"
# TESSORA_WINEPREFIX lets parallel runs on one machine keep apart (one wineserver per display)
export WINEPREFIX="${TESSORA_WINEPREFIX:-$BUILD_DIR/wineprefix}"
export WINEDEBUG=-all
# without winedbg disabled a crash would start a debugger and hang the run
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
export LANG=C.UTF-8 LC_ALL=C.UTF-8
export no_proxy="127.0.0.1,localhost" NO_PROXY="127.0.0.1,localhost"
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY

# Raised whenever the prefix's make-up changes, so that an older prefix is made anew.
TESSORA_PREFIX_VERSION=2

wine_prefix_ready() {
    [ -f "$WINEPREFIX/.tessora-ready-$TESSORA_PREFIX_VERSION" ]
}

wine_prepare_prefix() {
    if ! wine_prefix_ready; then
        rm -rf "$WINEPREFIX"
        wineboot -i >/dev/null 2>&1
        wineserver -w
        local fonts="$WINEPREFIX/drive_c/windows/Fonts"
        mkdir -p "$fonts"
        cp /usr/share/wine/fonts/*.ttf "$fonts"/ 2>/dev/null || true
        cp /usr/share/fonts/truetype/liberation/*.ttf "$fonts"/ 2>/dev/null || true
        # Japanese and Chinese (Debian fonts-ipafont-gothic, fonts-wqy-microhei): without them
        # the About box and the menus in those languages show empty boxes
        cp /usr/share/fonts/opentype/ipafont-gothic/ipag.ttf /usr/share/fonts/truetype/wqy/wqy-microhei.ttc \
            "$fonts"/ 2>/dev/null || true
        local reg="$BUILD_DIR/wine-test.reg"
        cat > "$reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Decorated"="N"
"UseTakeFocus"="N"

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]
"Arial"="Liberation Sans"
"MS Shell Dlg"="Tahoma"
"MS UI Gothic"="IPAGothic"
"MS Gothic"="IPAGothic"
"SimSun"="WenQuanYi Micro Hei"
"Microsoft YaHei"="WenQuanYi Micro Hei"

[HKEY_CURRENT_USER\Control Panel\Desktop]
"LogPixels"=dword:00000060
REG
        wine regedit /S "$reg" >/dev/null 2>&1
        # the dialog and menu fonts fall back to these for characters they lack
        local face
        for face in Tahoma "Tahoma Bold" "Liberation Sans"; do
            wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' /v "$face" \
                /t REG_MULTI_SZ /d 'ipag.ttf,IPAGothic\0wqy-microhei.ttc,WenQuanYi Micro Hei' /f >/dev/null 2>&1
        done
        wineserver -w
        touch "$WINEPREFIX/.tessora-ready-$TESSORA_PREFIX_VERSION"
    fi
    # keep one server alive for the whole run; programs then start fast
    wineserver -p >/dev/null 2>&1 || true
    # the first program of a session starts the prefix's own services: let that happen here,
    # not inside the first test's time limit
    timeout 120 wine cmd.exe /c exit >/dev/null 2>&1 || true
}
