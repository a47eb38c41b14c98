#!/usr/bin/env python3
"""make_zip.py ZIP FOLDER EPOCH: packs FOLDER (its files, not its subfolders)
into ZIP under FOLDER's own name, reproducibly: the files in byte order of
their names, each stamped with EPOCH (seconds since 1970, UTC) and mode
0644, compressed with deflate at level 9."""
import os
import sys
import time
import zipfile


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    zip_path, folder, epoch = sys.argv[1], sys.argv[2], int(sys.argv[3])
    # Zip times are local-free fields from 1980 on, two-second steps.
    stamp = time.gmtime(max(epoch, 315532800))[:6]
    top = os.path.basename(os.path.normpath(folder))
    names = sorted(n for n in os.listdir(folder) if os.path.isfile(os.path.join(folder, n)))
    with zipfile.ZipFile(zip_path + ".tmp", "w") as archive:
        for name in names:
            info = zipfile.ZipInfo(top + "/" + name, date_time=stamp)
            info.compress_type = zipfile.ZIP_DEFLATED
            info.create_system = 3  # Unix, so that the mode below is read
            info.external_attr = 0o100644 << 16
            with open(os.path.join(folder, name), "rb") as source:
                archive.writestr(info, source.read(), compresslevel=9)
    os.replace(zip_path + ".tmp", zip_path)


if __name__ == "__main__":
    main()
