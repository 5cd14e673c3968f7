#!/usr/bin/env bash
# The program against the real kernel floppy driver in an emulated PC.
#
# usage: scenarios.sh SCENARIO [FORMAT]   (one CTest test each: CMake finds
# the functions marked "# scenario", with the formats they run on, if any)
source "$(dirname "$0")/lib.sh"

# image FORMAT: -i of a pattern disk gives the exact lines and image bytes.
image() {  # scenario 720k 1440k 2880k
  local size=${FORMATS[$1]} lines
  kit disk disk.img "$size"
  lines=$(kit image-of disk.img expected.dsk)
  vm_boot 'run -i -f image.dsk' -drive file=disk.img,if=floppy,format=raw
  expect_stdout "$BANNER$OPENED$QUERIED${INSERTED[MEDIA_OF[size]]}"$'\nReading data...'"$lines"$'\nImage file successfully created.'"$CLOSED"
  expect_status 0
  expect_same_bytes expected.dsk out/image.dsk
  expect_files image.dsk
}

# restore FORMAT: -d onto a blank disk of the same format rebuilds it byte for byte.
restore() {  # scenario 720k 1440k 2880k
  local size=${FORMATS[$1]}
  original "$size" in/image.dsk
  truncate -s "$size" blank.img
  vm_boot 'run -d -f /in/image.dsk' -drive file=blank.img,if=floppy,format=raw
  expect_stdout "$BANNER$OPENED$READ_IMAGE$(kit expansion-line in/image.dsk original.img)$QUERIED${INSERTED[MEDIA_OF[size]]}"$'\nWriting data...\nDisk successfully created.'"$CLOSED"
  expect_status 0
  expect_same_bytes original.img blank.img
}

# declared FORMAT: a 21-sector disk, which the driver takes for a 1.44 MB one
# by its first sectors, is imaged whole as its boot sector declares it.
declared() {  # scenario dmf 1720k 1740k
  local size=${FORMATS[$1]} lines
  formatted "$size" disk.img
  lines=$(kit image-of disk.img expected.dsk)
  vm_boot 'run -i -f image.dsk' -drive file=disk.img,if=floppy,format=raw
  expect_stdout "$BANNER$OPENED$QUERIED${INSERTED[MEDIA_OF[size]]}"$'\nReading data...'"$lines"$'\nImage file successfully created.'"$CLOSED"
  expect_status 0
  expect_same_bytes expected.dsk out/image.dsk
}

# declared_restore: a DMF image goes whole onto a DMF-formatted blank disk in
# A:; a 1.44 MB disk in B: refuses it and stays as it was.
declared_restore() {  # scenario
  formatted 1720320 original.img
  kit image-of original.img in/image.dsk >/dev/null
  formatted 1720320 blank.img
  truncate -s 1474560 target.img && mformat -i target.img -f 1440 ::
  cp target.img target.orig
  vm_boot 'run -d -v B -f /in/image.dsk; mv /out/stdout /out/refused.stdout; mv /out/status /out/refused.status
run -d -f /in/image.dsk' -drive file=blank.img,if=floppy,index=0,format=raw \
    -drive file=target.img,if=floppy,index=1,format=raw
  local read
  read="$BANNER$OPENED$READ_IMAGE$(kit expansion-line in/image.dsk original.img)$QUERIED"
  expect_stdout "$read${INSERTED[2]}"$'\nWriting data...\nDisk successfully created.'"$CLOSED"
  expect_status 0
  expect_same_bytes original.img blank.img
  CASE="declared_restore onto 1.44 MB" STDOUT_FILE=out/refused.stdout
  expect_stdout "$read${INSERTED[2]}"$'\nRequired media is: '"${MEDIA[2]}"$'\nERROR: Inserted media is not compatible.\nDisk could not be written.'"$CLOSED"
  STATUS=$(cat out/refused.status) expect_status 2
  expect_same_bytes target.orig target.img
}

# incompatible: a 1.44 MB image is refused by a 720 KB disk, which stays as it was.
incompatible() {  # scenario
  original 1474560 in/image.dsk
  kit disk target.img 737280 7
  cp target.img target.orig
  vm_boot 'run -d -f /in/image.dsk' -drive file=target.img,if=floppy,format=raw
  expect_stdout "$BANNER$OPENED$READ_IMAGE$(kit expansion-line in/image.dsk original.img)$QUERIED${INSERTED[5]}"$'\nRequired media is: '"${MEDIA[2]}"$'\nERROR: Inserted media is not compatible.\nDisk could not be written.'"$CLOSED"
  expect_status 2
  expect_same_bytes target.orig target.img
}

# protected_image: a write-protected disk is still imaged.
protected_image() {  # scenario
  kit disk disk.img 1474560
  lines=$(kit image-of disk.img expected.dsk)
  vm_boot 'run -i -f image.dsk' -drive file=disk.img,if=floppy,format=raw,readonly=on
  expect_stdout "$BANNER$OPENED$QUERIED${INSERTED[2]}"$'\nReading data...'"$lines"$'\nImage file successfully created.'"$CLOSED"
  expect_status 0
  expect_same_bytes expected.dsk out/image.dsk
}

# protected_restore: -d onto a write-protected disk fails once and leaves it
# alone; with -c it prints the same, since nothing written is read back.
protected_restore() {  # scenario
  original 1474560 in/image.dsk
  kit disk target.img 1474560 7
  cp target.img target.orig
  vm_boot 'run -d -c -f /in/image.dsk; mv /out/stdout /out/checked.stdout; mv /out/status /out/checked.status
run -d -f /in/image.dsk' -drive file=target.img,if=floppy,format=raw,readonly=on
  expect_stdout "$BANNER$OPENED$READ_IMAGE$(kit expansion-line in/image.dsk original.img)$QUERIED${INSERTED[2]}"$'\nWriting data...\nERROR: Read-only file system\nSkipping cyl 1, sect 1, head 1.\nDisk could not be written.'"$CLOSED"
  expect_status 2
  expect_same_bytes target.orig target.img
  CASE="protected_restore with -c"
  expect_same_bytes out/stdout out/checked.stdout
  STATUS=$(cat out/checked.status) expect_status 2
}

# verify: -d -c reads the disk back from the drive. Drive A: is a good disk;
# drive B: takes every write, but qemu's fault injector fails its reads of the
# last sector, which the emulated controller then gives as zeros: only a
# read-back that reaches the drive, past the driver's track buffer, sees that.
verify() {  # scenario
  original 1474560 in/image.dsk
  truncate -s 1474560 good.img weak.img
  printf '[inject-error]\nevent = "read_aio"\niotype = "read"\nerrno = "5"\nsector = "2879"\n' >weak.conf
  vm_boot 'run -d -c -v B -f /in/image.dsk; mv /out/stdout /out/weak.stdout; mv /out/status /out/weak.status
run -d -c -f /in/image.dsk' -drive file=good.img,if=floppy,index=0,format=raw \
    -drive file=blkdebug:weak.conf:weak.img,if=floppy,index=1,format=raw
  local written
  written="$BANNER$OPENED$READ_IMAGE$(kit expansion-line in/image.dsk original.img)$QUERIED${INSERTED[2]}"$'\nWriting data...\nVerifying data...'
  expect_stdout "$written"$'\nVerified: all 2880 sectors equal the image.\nDisk successfully created.'"$CLOSED"
  expect_status 0
  expect_same_bytes original.img good.img

  CASE="verify: a sector that does not read back" STDOUT_FILE=out/weak.stdout
  expect_stdout "$written"$'\nDiffers cyl 80, sect 18, head 2.\nVerified: 1 of 2880 sectors differ, 0 unreadable.\nDisk could not be written.'"$CLOSED"
  STATUS=$(cat out/weak.status) expect_status 2
  expect_same_bytes original.img weak.img
}

# no_medium: an empty drive is a clear failure and leaves no image file.
no_medium() {  # scenario
  vm_boot 'run -i -f image.dsk' -drive if=floppy
  expect_stdout "$BANNER"$'\nOpening floppy device...failed\nERROR: No medium found'
  expect_status 2
  expect_files
}

# faulty_disk FILE SERIAL SECTOR ONCE: qemu's arguments for FILE as a virtio
# disk with that serial behind qemu's fault injector, whose reads of SECTOR
# fail (once: "on", or every time: "off"). The emulated floppy controller
# hides read errors, so a failing drive A: is such a disk seen as /dev/fd0.
faulty_disk() {
  cat >"rules-$2.conf" <<RULES
[inject-error]
event = "read_aio"
iotype = "read"
errno = "5"
sector = "$3"
once = "$4"
RULES
  printf '%s\n' -drive "file=blkdebug:rules-$2.conf:$1,if=none,id=$2,format=raw,rerror=report,werror=report,cache=none" \
    -device "virtio-blk-pci,drive=$2,serial=$2"
}
AS_FLOPPY='virtio_as_fd0 disk'

# bad_sector: an unreadable sector is reported, skipped and imaged as zeros.
bad_sector() {  # scenario
  kit disk disk.img 1474560
  cp disk.img skipped.img
  zero_sector skipped.img 100
  lines=$(kit image-of skipped.img expected.dsk 100)
  mapfile -t drive < <(faulty_disk disk.img disk 100 off)
  vm_boot "$AS_FLOPPY; run -i -f image.dsk" "${drive[@]}"
  expect_stdout "$BANNER$OPENED$QUERIED${INSERTED[2]}"$'\nReading data...\nERROR: Input/output error\nSkipping cyl 3, sect 11, head 2.'"$lines"$'\nImage file successfully created.'"$CLOSED"
  expect_status 3
  STDERR_FILE=out/stderr expect_stderr_lines 'mendarovel: 1 sector was skipped (see the "Skipping" lines); the exit status is 3'
  expect_same_bytes expected.dsk out/image.dsk
}

# fixed_sector: a sector that fails once reads on the retry.
fixed_sector() {  # scenario
  kit disk disk.img 1474560
  lines=$(kit image-of disk.img expected.dsk)
  mapfile -t drive < <(faulty_disk disk.img disk 1000 on)
  vm_boot "$AS_FLOPPY; run -i -f image.dsk" "${drive[@]}"
  expect_stdout "$BANNER$OPENED$QUERIED${INSERTED[2]}"$'\nReading data...\nFixed cyl 28, sect 11, head 2.'"$lines"$'\nImage file successfully created.'"$CLOSED"
  expect_status 0
  expect_same_bytes expected.dsk out/image.dsk
}

# rescue: an image made while a sector failed is completed by -i -r in a
# second boot, when the sector reads again, into the image of a clean read.
rescue() {  # scenario
  kit disk disk.img 1474560
  local lines expansion
  lines=$(kit image-of disk.img expected.dsk)
  cp disk.img skipped.img
  zero_sector skipped.img 100
  kit image-of skipped.img unlisted.dsk >/dev/null
  expansion=$(kit expansion-line unlisted.dsk skipped.img)
  kit unreadable unlisted.dsk damaged.dsk 100
  mapfile -t drive < <(faulty_disk disk.img disk 100 off)
  vm_boot "$AS_FLOPPY; run -i -f image.dsk" "${drive[@]}"
  expect_status 3
  expect_same_bytes damaged.dsk out/image.dsk
  cp out/image.dsk in/image.dsk
  vm_boot "$AS_FLOPPY; cp /in/image.dsk image.dsk; run -i -r -f image.dsk" \
    -drive file=disk.img,if=none,id=disk,format=raw,cache=none -device virtio-blk-pci,drive=disk,serial=disk
  expect_stdout "$BANNER$OPENED$READ_IMAGE$expansion$QUERIED${INSERTED[2]}"$'\nRescuing 1 sector...\nRescued cyl 3, sect 11, head 2.'"$lines"$'\nImage file successfully updated.'"$CLOSED"
  expect_status 0
  expect_same_bytes expected.dsk out/image.dsk
  expect_files image.dsk
}

# ctrl_c: Ctrl-C while reading cancels the job and keeps the earlier image.
# The drive is throttled so that reading lasts well beyond the interrupt.
ctrl_c() {  # scenario
  kit disk disk.img 1474560
  kit disk earlier.img 737280 3
  kit image-of earlier.img in/earlier.dsk >/dev/null
  # shellcheck disable=SC2016 # expanded by the guest's shell
  vm_boot '
cp /in/earlier.dsk /out/earlier.dsk
(
  while ! grep -q "Reading data" /out/stdout 2>/dev/null; do usleep 100000; done
  sleep 1
  kill -INT $(pidof mendarovel)
) &
run -i -f earlier.dsk' -drive file=disk.img,if=floppy,format=raw,throttling.iops-total=100
  expect_stdout "$BANNER$OPENED$QUERIED${INSERTED[2]}"$'\nReading data...\nUser interrupt with CTRL-C...\nCancelling all tasks...\nFloppy disk could not be read.'"$CLOSED"
  expect_status 2
  expect_same_bytes in/earlier.dsk out/earlier.dsk
  expect_files earlier.dsk
}

# mounted: while the floppy's file system is mounted, -d is refused before any
# sector is written and -i still images it; unmounted, the same -d goes through.
mounted() {  # scenario
  original 1474560 in/image.dsk
  truncate -s 1474560 disk.img
  mkfs.fat -n MOUNTED disk.img >/dev/null
  # shellcheck disable=SC2016 # expanded by the guest's shell
  vm_boot '
mkdir /mnt && mount -t vfat /dev/fd0 /mnt && grep " /mnt vfat " /proc/mounts >/out/mount
echo written while mounted >/mnt/note.txt && sync
cat /dev/fd0 >/out/mounted.img
md5sum </dev/fd0 >/out/before.md5
run -d -f /in/image.dsk; mv /out/stdout /out/refused.stdout; mv /out/status /out/refused.status
md5sum </dev/fd0 >/out/after.md5
run -i -f mounted.dsk; mv /out/stdout /out/imaged.stdout; mv /out/status /out/imaged.status
umount /mnt
run -d -f /in/image.dsk' -drive file=disk.img,if=floppy,format=raw
  local expansion lines
  expansion=$(kit expansion-line in/image.dsk original.img)
  # The disk as the mounted file system left it, file written and synced.
  lines=$(kit image-of out/mounted.img expected.dsk)

  CASE="mounted: -d refused" STDOUT_FILE=out/refused.stdout
  CHECKS=$((CHECKS + 1))
  [[ -s out/mount ]] || fail "the floppy was not mounted in the guest"
  expect_stdout "$BANNER$OPENED$READ_IMAGE$expansion$QUERIED${INSERTED[2]}"$'\nWriting data...\nERROR: Device or resource busy\nSkipping cyl 1, sect 1, head 1.\nDisk could not be written.'"$CLOSED"
  STATUS=$(cat out/refused.status) expect_status 2
  expect_same_bytes out/before.md5 out/after.md5

  CASE="mounted: -i" STDOUT_FILE=out/imaged.stdout
  expect_stdout "$BANNER$OPENED$QUERIED${INSERTED[2]}"$'\nReading data...'"$lines"$'\nImage file successfully created.'"$CLOSED"
  STATUS=$(cat out/imaged.status) expect_status 0
  expect_same_bytes expected.dsk out/mounted.dsk
  CHECKS=$((CHECKS + 1))
  grep -aq 'written while mounted' out/mounted.img || fail "the file written while mounted is not on the disk"

  CASE="unmounted: -d" STDOUT_FILE=out/stdout
  expect_stdout "$BANNER$OPENED$READ_IMAGE$expansion$QUERIED${INSERTED[2]}"$'\nWriting data...\nDisk successfully created.'"$CLOSED"
  expect_status 0
  expect_same_bytes original.img disk.img
}

# unreadable_image: the image file lies on a FAT disk (a virtio disk behind
# qemu's fault injector) whose sector in the middle of the file fails to read.
# The restore stops with the file's failure and leaves the floppy alone.
unreadable_image() {  # scenario
  original 1474560 image.dsk
  kit disk floppy.img 1474560 7
  cp floppy.img floppy.orig
  mkfs.fat -C images.img 4096 >/dev/null
  mcopy -i images.img image.dsk ::image.dsk
  # A fresh FAT file system keeps the file in one run of clusters; well away
  # from both ends, so the header and the trailer still read.
  local bad
  bad=$(kit file-sector images.img image.dsk)
  local images
  mapfile -t images < <(faulty_disk images.img images "$bad" off)
  # shellcheck disable=SC2016 # expanded by the guest's shell
  vm_boot '
mkdir /images && mount -t vfat -o ro "$(virtio_disk images)" /images
run -d -f /images/image.dsk' -drive file=floppy.img,if=floppy,format=raw "${images[@]}"
  expect_stdout "$BANNER$OPENED"$'\nReading image data...\nImage file could not be read.'"$CLOSED"
  expect_status 2
  expect_same_bytes floppy.orig floppy.img
}

# shellcheck disable=SC2034 # named in every report of lib.sh
CASE="$*"
"$1" "${@:2}"
finish
