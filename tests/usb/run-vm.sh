#!/usr/bin/env bash
# The USB stage: boots the installed Debian kernel in QEMU (software
# emulation is enough) with this machine's root file system shared read-only
# over 9p, so the built project and its libraries are at the same paths in the
# guest. There, dummy_hcd and the configfs HID function make veyra-sim a real
# USB device for the kernel's usbcore, usbhid and hidraw, systemd-udevd sends
# the arrival and removal events, and build/tests/veyra_usb_tests runs.
# Results come back through a second, writable shared folder.
#
#   tests/usb/run-vm.sh [BUILD_DIR]     (as root; BUILD_DIR defaults to build)
# Exit status: 0 passed, 1 failed, 77 skipped (no kernel or QEMU here).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
timeout_s=${VEYRA_USB_VM_TIMEOUT:-285}

skip() { echo "usb-vm: skipped: $*"; exit 77; }
command -v qemu-system-x86_64 >/dev/null || skip "qemu-system-x86_64 is not installed"
[ -x /bin/busybox ] || skip "busybox-static is not installed"
[ -x "$build/tests/veyra_usb_tests" ] || { echo "usb-vm: $build/tests/veyra_usb_tests is not built"; exit 1; }

# The newest installed kernel that has the gadget modules.
kernel="" version=""
for image in $(ls -1v /boot/vmlinuz-* 2>/dev/null | sort -rV); do
  v=${image#/boot/vmlinuz-}
  if [ -n "$(find "/lib/modules/$v" -name 'dummy_hcd.ko*' -print -quit 2>/dev/null)" ]; then
    kernel=$image version=$v
    break
  fi
done
[ -n "$kernel" ] || skip "no installed kernel with dummy_hcd (install linux-image-amd64)"

work=$(mktemp -d /tmp/veyra-usb-vm.XXXXXX)
trap 'rm -rf "$work"' EXIT
results="$work/results"
mkdir -p "$results" "$work/initramfs"/{bin,dev,proc,sys,newroot,modules}
chmod 0777 "$results"

# The initramfs: busybox and what it takes to mount the shared root.
cp /bin/busybox "$work/initramfs/bin/busybox"
: >"$work/initramfs/modules/order"
for module in virtio_pci 9pnet_virtio 9p; do
  modprobe -S "$version" --show-depends "$module" | awk '$1 == "insmod" { print $2 }'
done | awk '!seen[$0]++' | while read -r ko; do
  name=$(basename "$ko")
  case "$ko" in
    *.xz) xz -dc "$ko" >"$work/initramfs/modules/${name%.xz}"; name=${name%.xz} ;;
    *.zst) zstd -qdc "$ko" >"$work/initramfs/modules/${name%.zst}"; name=${name%.zst} ;;
    *) cp "$ko" "$work/initramfs/modules/$name" ;;
  esac
  echo "$name" >>"$work/initramfs/modules/order"
done
cp "$here/guest-init.sh" "$work/initramfs/init"
chmod 0755 "$work/initramfs/init"
printf 'guest=%s\nbuild=%s\nversion=%s\n' "$here/guest.sh" "$build" "$version" >"$work/initramfs/config"
(cd "$work/initramfs" && find . | cpio -o -H newc --quiet | gzip -1) >"$work/initramfs.gz"

echo "usb-vm: booting $kernel (timeout ${timeout_s} s)"
started=$(date +%s)
status=0
timeout --kill-after=10 "$timeout_s" qemu-system-x86_64 \
  -machine pc -m 1536 -smp 2 -accel tcg,thread=multi \
  -nodefaults -display none -no-reboot \
  -serial "file:$work/console.log" \
  -kernel "$kernel" -initrd "$work/initramfs.gz" \
  -append "console=ttyS0 panic=-1 loglevel=6 rdinit=/init mitigations=off nokaslr tsc=reliable no_timer_check" \
  -virtfs "local,path=/,mount_tag=veyraroot,security_model=none,readonly=on,multidevs=remap" \
  -virtfs "local,path=$results,mount_tag=veyraresults,security_model=none" \
  >"$work/qemu.log" 2>&1 || status=$?
elapsed=$(( $(date +%s) - started ))

if [ -f "$results/tests.log" ]; then cat "$results/tests.log"; fi
if [ -f "$results/status" ] && [ "$(cat "$results/status")" = 0 ] && [ "$status" = 0 ]; then
  echo "usb-vm: passed in ${elapsed} s ($(grep -h '^guest: ' "$results/guest.txt" | tail -1 | cut -c8-))"
  exit 0
fi
echo "usb-vm: FAILED after ${elapsed} s (qemu exit $status, guest status $(cat "$results/status" 2>/dev/null || echo none))"
[ "$status" = 124 ] && echo "usb-vm: the machine did not finish within ${timeout_s} s"
echo "---- qemu ----"; cat "$work/qemu.log" || true
echo "---- guest console (last 150 lines) ----"; tail -n 150 "$work/console.log" || true
for f in "$results"/*.txt; do [ -f "$f" ] && { echo "---- $(basename "$f") ----"; tail -n 80 "$f"; }; done
exit 1
