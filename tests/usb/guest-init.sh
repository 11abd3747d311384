#!/bin/busybox sh
# The initramfs of the USB stage: loads what the shared root needs, mounts it
# read-only and hands over to guest.sh there.
/bin/busybox --install -s /bin
export PATH=/bin
mount -t proc proc /proc
mount -t sysfs sysfs /sys
mount -t devtmpfs devtmpfs /dev
. /config
for m in $(cat /modules/order); do
  insmod "/modules/$m" 2>/dev/null || echo "init: insmod $m failed"
done
tries=0
until mount -t 9p -o trans=virtio,version=9p2000.L,ro,msize=262144,cache=loose veyraroot /newroot; do
  tries=$((tries + 1))
  [ $tries -lt 20 ] || { echo "init: cannot mount the shared root"; reboot -f; }
  sleep 0.5
done
mount -t devtmpfs devtmpfs /newroot/dev
umount /proc /sys
exec switch_root /newroot /bin/bash "$guest" "$build" "$version"
