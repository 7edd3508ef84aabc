// One run per folder: the programs of the suite share fixed-name files in the
// current folder (CLDX.DUE, PCD.INI, PLOTBATH.DAT, the site files), so two
// runs in one folder would read each other's files. A program takes the
// folder's lock before it reads anything and holds it until it ends; a second
// program started there meanwhile is refused at once, told which program
// holds the folder. The children a program starts (placer's cloudex and
// dredge) go through: the lock names its holder's process, and a program whose
// parent is the holder shares the lock.
//
// The lock is an advisory lock (flock) on the file FOLDER.LCK, which holds
// the holder's name and process number; the system releases it when the
// holder ends, however it ends, so a killed run never leaves the folder locked.
// A holder that ends normally removes the file, so a finished run leaves
// nothing behind; a program that finds the file removed under it tries again.
#pragma once

#include <string>

namespace recio {

class FolderLock {
  public:
    static constexpr const char* FILE_NAME = "FOLDER.LCK";

    FolderLock() = default;
    ~FolderLock() { release(); }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    // Takes the lock of `folder` for the program `program`. Returns "" when
    // the program may run (the lock taken, or held by its parent); otherwise
    // the message to show: "ANOTHER PROGRAM OF THE SUITE (PLACER, PROCESS
    // 1234) IS RUNNING IN THIS FOLDER; ..." or why the lock could not be made.
    std::string acquire(const std::string& program, const std::string& folder = ".");
    void release();

  private:
    int fd_ = -1;
    std::string path_;
};

}  // namespace recio
