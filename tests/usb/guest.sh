#!/bin/bash
# PID 1 of the USB stage's machine, on the shared read-only root: the kernel
# modules, udev, then the USB tests; their output goes to the results folder,
# then the machine turns itself off.
build=$1
version=$2
export PATH=/usr/sbin:/usr/bin:/sbin:/bin
results=/tmp/results
finish() {
  echo "${1:-1}" >"$results/status" 2>/dev/null || true
  sync
  umount "$results" 2>/dev/null || true
  echo b >/proc/sysrq-trigger 2>/dev/null
  /bin/busybox reboot -f
}
trap 'finish 1' ERR
mount -t proc proc /proc
mount -t sysfs sysfs /sys
mount -t tmpfs -o mode=1777 tmpfs /tmp
mount -t tmpfs -o mode=0755 tmpfs /run
mkdir -p /dev/shm /dev/pts "$results"
mount -t tmpfs -o mode=1777 tmpfs /dev/shm
echo 1 >/proc/sys/kernel/sysrq
mount -t 9p -o trans=virtio,version=9p2000.L veyraresults "$results" || { echo "guest: no results folder"; finish 1; }
exec >"$results/guest.txt" 2>&1
echo "guest: kernel $(uname -r), build $build"

set -x
modprobe configfs
mountpoint -q /sys/kernel/config || mount -t configfs none /sys/kernel/config
modprobe dummy_hcd num=2
modprobe libcomposite
modprobe usb_f_hid
modprobe usbhid
modprobe hid_generic
ls /sys/class/udc
/lib/systemd/systemd-udevd --daemon
udevadm trigger --action=add
udevadm settle --timeout=30 || true
set +x

export HOME=/tmp XDG_RUNTIME_DIR=/tmp/runtime XDG_CACHE_HOME=/tmp/cache QT_QPA_PLATFORM=offscreen VEYRA_USB_VM=1
mkdir -p -m 0700 "$XDG_RUNTIME_DIR"
echo "guest: up for $(cut -d' ' -f1 /proc/uptime) s, starting the tests"
# Line-buffered, so that a run stopped by the watchdog still shows where it was;
# the watchdog ends the tests before the host's deadline ends the machine.
status=0
timeout --kill-after=5 "${VEYRA_USB_TESTS_TIMEOUT:-180}" stdbuf -oL -eL \
  "$build/tests/veyra_usb_tests" --gtest_color=no >"$results/tests.log" 2>&1 || status=$?
[ "$status" = 124 ] && echo "guest: the tests did not finish within ${VEYRA_USB_TESTS_TIMEOUT:-180} s"
echo "guest: tests exit $status after $(cut -d' ' -f1 /proc/uptime) s of uptime"
finish "$status"
