# What the control writes into the registry, for the test scripts that look for it: its GUIDs,
# and how many keys of it a part of the registry holds. Source it.
# shellcheck shell=bash
clsid='{A13A9246-8246-4018-B8C5-927ADF16DAF2}'
libid='{3AC09574-CD0C-49A9-92D8-82AEFA786D5A}'
interfaces='{D4FC932D-72CF-4BF1-B84A-2D169FD6915C} {5BFF01DF-9BD5-45AD-8EC8-D502BE4DC161}'

our_keys() {  # our_keys WINE_SH ROOT VIEW SCRATCH_FILE: keys under ROOT naming the control
  "$1" run reg export "$2" "$4" "$3" /y >/dev/null 2>&1 || { echo 0; return; }
  local iids; iids=$(tr -d '{}' <<<"$interfaces" | tr ' ' '|')
  iconv -f UTF-16 -t UTF-8 "$4" |
    grep -ciE "^\[.*(${clsid:1:36}|${libid:1:36}|$iids|Pictavor\.PictavorCtl)"
}
