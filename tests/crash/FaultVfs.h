#pragma once
// A file-system layer under SQLite that counts the writes and syncs every
// connection of this process makes and, at a chosen one, either ends the
// process at once (as a power cut or a killed program would) or makes the
// operation fail as a failing or full disk does. Registered as the default,
// so the program's own connections go through it unchanged.

namespace faultvfs {

enum class Mode {
    Count,       // only count
    KillBefore,  // SIGKILL just before operation `target` reaches the disk
    KillAfter,   // SIGKILL just after operation `target` has reached it
    Fail,        // operation `target` and every later one fail with `failCode`
    FailOnce,    // operation `target` alone fails with `failCode`
    // From just after operation `target` on, no file of this process may
    // grow past `failCode` bytes: the next file written past that size (the
    // configuration file, after the database's last write) ends the process
    // in the middle of its write (SIGXFSZ), or the write fails as on a full
    // disk (EFBIG).
    KillInFileAfter,
    FailFileAfter,
};

// Registers the layer as SQLite's default file system (once per process).
void install();
// Starts counting again from 0 with the given behaviour.
void arm(Mode mode, long target = 0, int failCode = 0);
// Back to counting only; the count stays.
void disarm();
// Writes, syncs, truncations and file deletions seen since arm().
long operations();
// Operations that were made to fail.
long failures();
// Whether the file-size limit of KillInFileAfter or FailFileAfter is set.
bool fileLimitSet();

} // namespace faultvfs
