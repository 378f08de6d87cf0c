#!/usr/bin/python3
# A folder served through FUSE the way a failing network file system serves it:
#   short-reads  reads past the first MiB give nothing, though the size says more
#                (a connection lost in the middle of a file);
#   no-setstat   permissions and sizes cannot be set (a restricted SFTP server).
#
#   failing_server.py FOLDER MOUNT_POINT FAULT
import errno
import os
import sys

from fusepy import FUSE, FuseOSError, Operations

MIB = 1 << 20


class FailingServer(Operations):
    def __init__(self, root, fault):
        self.root = root
        self.fault = fault

    def _path(self, path):
        return os.path.join(self.root, path.lstrip('/'))

    def getattr(self, path, fh=None):
        st = os.lstat(self._path(path))
        return {key: getattr(st, key) for key in ('st_atime', 'st_ctime', 'st_gid', 'st_mode', 'st_mtime',
                                                   'st_nlink', 'st_size', 'st_uid', 'st_blocks')}

    def readdir(self, path, fh):
        return ['.', '..'] + os.listdir(self._path(path))

    def statfs(self, path):
        st = os.statvfs(self._path(path))
        return {key: getattr(st, key) for key in ('f_bavail', 'f_bfree', 'f_blocks', 'f_bsize', 'f_favail',
                                                   'f_ffree', 'f_files', 'f_flag', 'f_frsize', 'f_namemax')}

    def mkdir(self, path, mode):
        os.mkdir(self._path(path), mode)

    def open(self, path, flags):
        return os.open(self._path(path), flags)

    def create(self, path, mode, fi=None):
        return os.open(self._path(path), os.O_WRONLY | os.O_CREAT | os.O_EXCL, mode)

    def read(self, path, length, offset, fh):
        if self.fault == 'short-reads' and offset >= MIB:
            return b''
        return os.pread(fh, length, offset)

    def write(self, path, data, offset, fh):
        return os.pwrite(fh, data, offset)

    def chmod(self, path, mode):
        if self.fault == 'no-setstat':
            raise FuseOSError(errno.EACCES)
        os.chmod(self._path(path), mode)

    def truncate(self, path, length, fh=None):
        if self.fault == 'no-setstat':
            raise FuseOSError(errno.EACCES)
        os.truncate(self._path(path), length)

    def utimens(self, path, times=None):
        os.utime(self._path(path), times)

    def rename(self, old, new):
        os.rename(self._path(old), self._path(new))

    def unlink(self, path):
        os.unlink(self._path(path))

    def release(self, path, fh):
        os.close(fh)


if __name__ == '__main__':
    FUSE(FailingServer(sys.argv[1], sys.argv[3]), sys.argv[2], foreground=True)
