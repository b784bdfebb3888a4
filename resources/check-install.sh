#!/usr/bin/env bash
# check-install.sh BUILD_DIR QTR_SYNTH MIME_TYPE: installs BUILD_DIR with prefix /usr into a
# temporary DESTDIR and checks it as a desktop would use it: exactly the expected files, valid
# desktop entries whose Exec, Icon and MimeType point at what was installed, well-formed XML, and
# the file type of recordings recognised by its name and by the signature at byte 44 (and not
# one byte off it). Run by CTest as install_test.
set -euo pipefail

build=$1 synth=$2 type=$3

fail() {
  printf 'install_test: %s\n' "$*" >&2
  exit 1
}

for tool in desktop-file-validate xmllint update-mime-database gio; do
  command -v "$tool" >/dev/null || fail "$tool is missing (scripts/lib/setup.sh lists the package that has it)"
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
DESTDIR=$work/root cmake --install "$build" --prefix /usr >"$work/install.log" || {
  cat "$work/install.log" >&2
  fail "cmake --install failed"
}
usr=$work/root/usr
icon_file=${type//\//-}

# Exactly these files: nothing missing, nothing else (a test program, a library) installed.
expected=$(sort <<EOF
bin/calvora
bin/vespira
share/applications/calvora.desktop
share/applications/vespira.desktop
share/icons/hicolor/64x64/apps/calvora.png
share/icons/hicolor/64x64/apps/vespira.png
share/icons/hicolor/scalable/apps/calvora.svg
share/icons/hicolor/scalable/apps/vespira.svg
share/icons/hicolor/scalable/mimetypes/$icon_file.svg
share/mime/packages/quentral-recording.xml
EOF
)
installed=$(cd "$usr" && find . -type f -printf '%P\n' | sort)
[[ $installed == "$expected" ]] || fail "installed files differ from the expected ones:
$(diff <(echo "$expected") <(echo "$installed") || true)"
[[ -z $(find "$work/root" -mindepth 1 -maxdepth 1 ! -name usr) ]] || fail "files installed outside the prefix"

# The desktop entries: valid without a single remark, and every reference resolves.
entry_value() { sed -n "s/^$2=//p" "$1"; }
for program in calvora vespira; do
  entry=$usr/share/applications/$program.desktop
  [[ -x $usr/bin/$program ]] || fail "bin/$program is not executable"
  remarks=$(desktop-file-validate "$entry" 2>&1) || fail "desktop-file-validate rejects $program.desktop: $remarks"
  [[ -z $remarks ]] || fail "desktop-file-validate remarks on $program.desktop: $remarks"

  name=$(entry_value "$entry" Name)
  [[ $name == "${program^}(tm)" ]] || fail "$program.desktop: Name is '$name'"
  exec_line=$(entry_value "$entry" Exec)
  [[ $exec_line == "$program %f" ]] || fail "$program.desktop: Exec is '$exec_line', not one file for $program"
  [[ $(entry_value "$entry" TryExec) == "$program" ]] || fail "$program.desktop: TryExec does not name $program"
  icon=$(entry_value "$entry" Icon)
  [[ -f $usr/share/icons/hicolor/scalable/apps/$icon.svg ]] || fail "$program.desktop: no scalable icon '$icon' installed"
  [[ $(entry_value "$entry" MimeType) == *"$type;"* ]] || fail "$program.desktop: MimeType does not list $type"
done

# The XML files are well-formed; the MIME package describes our type with our icon.
xmllint --noout "$usr/share/mime/packages/quentral-recording.xml" "$usr"/share/icons/hicolor/scalable/*/*.svg ||
  fail "xmllint rejects an installed XML file"
xmllint --xpath "string(//*[local-name()='mime-type']/@type)" "$usr/share/mime/packages/quentral-recording.xml" |
  grep -qx "$type" || fail "the MIME package does not define $type"

# The type as the desktop sees it: the MIME database built from the installed package alone,
# asked through GIO about recordings and look-alikes.
data=$work/data
mkdir -p "$data/mime/packages" "$work/home"
cp "$usr/share/mime/packages/quentral-recording.xml" "$data/mime/packages/"
XDG_DATA_DIRS=$data update-mime-database "$data/mime" || fail "update-mime-database rejects the MIME package"

files=$work/files
mkdir -p "$files"
"$synth" --seconds 1 "$files/take.qtr" >/dev/null
cp "$files/take.qtr" "$files/take-without-extension"
cp "$files/take.qtr" "$files/take.QTR"
"$synth" --seconds 1 --signature "Wrong sig" "$files/wrong-signature" >/dev/null
{ head -c 45 /dev/zero; printf 'Quentral(tm)'; head -c 100 /dev/zero; } >"$files/signature-one-byte-late"

content_type() {
  env -i PATH="$PATH" HOME="$work/home" XDG_DATA_HOME="$work/home" XDG_DATA_DIRS="$data" GIO_USE_VFS=local \
    gio info -a standard::content-type "$1" | sed -n 's/^ *standard::content-type: //p'
}
while read -r file wanted; do
  got=$(content_type "$files/$file")
  if [[ $wanted == yes ]]; then
    [[ $got == "$type" ]] || fail "$file is recognised as '$got', not $type"
  else
    [[ $got != "$type" ]] || fail "$file is wrongly recognised as $type"
  fi
done <<EOF
take.qtr yes
take.QTR yes
take-without-extension yes
wrong-signature no
signature-one-byte-late no
EOF

echo "install_test: passed ($(wc -l <<<"$installed") files under the prefix)"
