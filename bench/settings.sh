# Sourced by the benchmark scripts: fresh settings under $work for one run of varnholt, one pass,
# overwrite, no INI copy, the keyword "速報", output in $work/out/bench.<ext>.
write_settings() { # [categories] [connections]; default: every category with list pages
    local home="$work/home" settings="$work/home/bench"
    rm -rf "$home" "$work/config" "$work/out"
    mkdir -p "$settings" "$work/out" "$work/config/Kestrane SoftWares"
    printf '[Varnholt]\nSettingFolder=%s\n' "$settings" >"$work/config/Kestrane SoftWares/Varnholt.conf"
    local items=("SaveFolder = $work/out" "SaveFileName0 = bench" "SaveFileName1 = "
        "SaveFileName2 = " "IgnoreKey = 0" "NoCopyINI = 1" "OverWrite = 1" "Yesterday = 0"
        "NoKeyWord = 0" "Category = ${1:-1,1,1,1,1,0,1,1,0,1,1,1}")
    [ -z "${2:-}" ] || items+=("Connections = $2")
    printf '%s\r\n' "${items[@]}" >"$settings/varnholt.ini"
    printf '速報\r\n' | iconv -f UTF-8 -t CP932 >"$settings/KeyWord.txt"
}
