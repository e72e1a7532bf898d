#include "FaultVfs.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sqlite3.h>
#include <sys/resource.h>
#include <unistd.h>

namespace faultvfs {
namespace {

Mode mode = Mode::Count;
long target = 0;
int failCode = SQLITE_IOERR;
long counted = 0;
long failed = 0;
bool limitSet = false;
sqlite3_vfs* real = nullptr;
sqlite3_vfs wrapper;

[[noreturn]] void die()
{
    ::raise(SIGKILL);
    ::_exit(137);
}

// Called before an operation reaches the real file system: returns an error
// code to give instead of doing it, or SQLITE_OK to go on.
const char* currentName = "";

int before(int ioFailure)
{
    ++counted;
    if (mode == Mode::KillBefore && counted == target)
        die();
    if ((mode == Mode::Fail && counted >= target) || (mode == Mode::FailOnce && counted == target)) {
        ++failed;
        if (std::getenv("HIMAWARI_CRASH_VERBOSE"))
            std::fprintf(stderr, "failing operation %ld (%d) on %s\n", counted, ioFailure, currentName);
        return failCode == SQLITE_FULL ? SQLITE_FULL : ioFailure;
    }
    return SQLITE_OK;
}

void after()
{
    if (mode == Mode::KillAfter && counted == target)
        die();
    if ((mode == Mode::KillInFileAfter || mode == Mode::FailFileAfter) && counted == target) {
        const rlimit limit{rlim_t(failCode), RLIM_INFINITY};
        ::signal(SIGXFSZ, mode == Mode::KillInFileAfter ? SIG_DFL : SIG_IGN);
        ::setrlimit(RLIMIT_FSIZE, &limit);
        limitSet = true;
    }
}

struct File {
    sqlite3_file base;
    sqlite3_file* real; // follows this struct in the same allocation
    const char* name;
};

sqlite3_file* inner(sqlite3_file* f)
{
    currentName = reinterpret_cast<File*>(f)->name ? reinterpret_cast<File*>(f)->name : "(temporary)";
    return reinterpret_cast<File*>(f)->real;
}

int xClose(sqlite3_file* f)
{
    sqlite3_file* r = inner(f);
    const int rc = r->pMethods ? r->pMethods->xClose(r) : SQLITE_OK;
    f->pMethods = nullptr;
    return rc;
}
int xRead(sqlite3_file* f, void* buf, int n, sqlite3_int64 off)
{
    return inner(f)->pMethods->xRead(inner(f), buf, n, off);
}
int xWrite(sqlite3_file* f, const void* buf, int n, sqlite3_int64 off)
{
    sqlite3_file* r = inner(f);
    if (const int rc = before(SQLITE_IOERR_WRITE))
        return rc;
    const int rc = r->pMethods->xWrite(r, buf, n, off);
    after();
    return rc;
}
int xTruncate(sqlite3_file* f, sqlite3_int64 size)
{
    sqlite3_file* r = inner(f);
    if (const int rc = before(SQLITE_IOERR_TRUNCATE))
        return rc;
    const int rc = r->pMethods->xTruncate(r, size);
    after();
    return rc;
}
int xSync(sqlite3_file* f, int flags)
{
    sqlite3_file* r = inner(f);
    if (const int rc = before(SQLITE_IOERR_FSYNC))
        return rc;
    const int rc = r->pMethods->xSync(r, flags);
    after();
    return rc;
}
int xFileSize(sqlite3_file* f, sqlite3_int64* size)
{
    return inner(f)->pMethods->xFileSize(inner(f), size);
}
int xLock(sqlite3_file* f, int l)
{
    return inner(f)->pMethods->xLock(inner(f), l);
}
int xUnlock(sqlite3_file* f, int l)
{
    return inner(f)->pMethods->xUnlock(inner(f), l);
}
int xCheckReservedLock(sqlite3_file* f, int* out)
{
    return inner(f)->pMethods->xCheckReservedLock(inner(f), out);
}
int xFileControl(sqlite3_file* f, int op, void* arg)
{
    return inner(f)->pMethods->xFileControl(inner(f), op, arg);
}
int xSectorSize(sqlite3_file* f)
{
    return inner(f)->pMethods->xSectorSize(inner(f));
}
int xDeviceCharacteristics(sqlite3_file* f)
{
    return inner(f)->pMethods->xDeviceCharacteristics(inner(f));
}
int xShmMap(sqlite3_file* f, int pg, int sz, int extend, void volatile** p)
{
    return inner(f)->pMethods->xShmMap(inner(f), pg, sz, extend, p);
}
int xShmLock(sqlite3_file* f, int offset, int n, int flags)
{
    return inner(f)->pMethods->xShmLock(inner(f), offset, n, flags);
}
void xShmBarrier(sqlite3_file* f)
{
    inner(f)->pMethods->xShmBarrier(inner(f));
}
int xShmUnmap(sqlite3_file* f, int deleteFlag)
{
    return inner(f)->pMethods->xShmUnmap(inner(f), deleteFlag);
}
int xFetch(sqlite3_file* f, sqlite3_int64 off, int amount, void** p)
{
    return inner(f)->pMethods->xFetch(inner(f), off, amount, p);
}
int xUnfetch(sqlite3_file* f, sqlite3_int64 off, void* p)
{
    return inner(f)->pMethods->xUnfetch(inner(f), off, p);
}

sqlite3_io_methods methods3 = {3,         xClose,       xRead,        xWrite,       xTruncate,
                               xSync,     xFileSize,    xLock,        xUnlock,      xCheckReservedLock,
                               xFileControl, xSectorSize, xDeviceCharacteristics, xShmMap, xShmLock,
                               xShmBarrier, xShmUnmap,  xFetch,       xUnfetch};
sqlite3_io_methods methods1 = {1,         xClose,       xRead,        xWrite,       xTruncate,
                               xSync,     xFileSize,    xLock,        xUnlock,      xCheckReservedLock,
                               xFileControl, xSectorSize, xDeviceCharacteristics, nullptr, nullptr,
                               nullptr,   nullptr,      nullptr,      nullptr};

int vOpen(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* f, int flags, int* outFlags)
{
    File* file = reinterpret_cast<File*>(f);
    file->real = reinterpret_cast<sqlite3_file*>(file + 1);
    file->name = name;
    std::memset(file->real, 0, real->szOsFile);
    const int rc = real->xOpen(real, name, file->real, flags, outFlags);
    if (file->real->pMethods)
        f->pMethods = file->real->pMethods->iVersion >= 3 ? &methods3 : &methods1;
    else
        f->pMethods = nullptr;
    return rc;
}
int vDelete(sqlite3_vfs*, const char* name, int syncDir)
{
    currentName = name;
    if (const int rc = before(SQLITE_IOERR_DELETE))
        return rc;
    const int rc = real->xDelete(real, name, syncDir);
    after();
    return rc;
}
int vAccess(sqlite3_vfs*, const char* name, int flags, int* out)
{
    return real->xAccess(real, name, flags, out);
}
int vFullPathname(sqlite3_vfs*, const char* name, int n, char* out)
{
    return real->xFullPathname(real, name, n, out);
}
void* vDlOpen(sqlite3_vfs*, const char* name)
{
    return real->xDlOpen(real, name);
}
void vDlError(sqlite3_vfs*, int n, char* msg)
{
    real->xDlError(real, n, msg);
}
void (*vDlSym(sqlite3_vfs*, void* h, const char* sym))(void)
{
    return real->xDlSym(real, h, sym);
}
void vDlClose(sqlite3_vfs*, void* h)
{
    real->xDlClose(real, h);
}
int vRandomness(sqlite3_vfs*, int n, char* out)
{
    return real->xRandomness(real, n, out);
}
int vSleep(sqlite3_vfs*, int us)
{
    return real->xSleep(real, us);
}
int vCurrentTime(sqlite3_vfs*, double* t)
{
    return real->xCurrentTime(real, t);
}
int vGetLastError(sqlite3_vfs*, int n, char* msg)
{
    return real->xGetLastError ? real->xGetLastError(real, n, msg) : 0;
}
int vCurrentTimeInt64(sqlite3_vfs*, sqlite3_int64* t)
{
    return real->xCurrentTimeInt64(real, t);
}

} // namespace

void install()
{
    if (real)
        return;
    real = sqlite3_vfs_find(nullptr);
    std::memset(&wrapper, 0, sizeof wrapper);
    wrapper.iVersion = 2;
    wrapper.szOsFile = int(sizeof(File)) + real->szOsFile;
    wrapper.mxPathname = real->mxPathname;
    wrapper.zName = "faultvfs";
    wrapper.xOpen = vOpen;
    wrapper.xDelete = vDelete;
    wrapper.xAccess = vAccess;
    wrapper.xFullPathname = vFullPathname;
    wrapper.xDlOpen = vDlOpen;
    wrapper.xDlError = vDlError;
    wrapper.xDlSym = vDlSym;
    wrapper.xDlClose = vDlClose;
    wrapper.xRandomness = vRandomness;
    wrapper.xSleep = vSleep;
    wrapper.xCurrentTime = vCurrentTime;
    wrapper.xGetLastError = vGetLastError;
    wrapper.xCurrentTimeInt64 = vCurrentTimeInt64;
    sqlite3_vfs_register(&wrapper, 1);
}

void arm(Mode m, long t, int code)
{
    mode = m;
    target = t;
    failCode = code;
    counted = 0;
    failed = 0;
}

void disarm()
{
    mode = Mode::Count;
}

long operations()
{
    return counted;
}

long failures()
{
    return failed;
}

bool fileLimitSet()
{
    return limitSet;
}

} // namespace faultvfs
