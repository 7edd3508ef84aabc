// A set of files replaced together: all old or all new, whatever stops the run.
//
//   recio::FileSet set("SITE.SET");
//   RecordWriter out(set.stage("SITE.IN"), RecordWriter::Mode::Staged);
//   ...                                  // every file of the set staged and closed
//   if (!set.commit()) ...               // set.failure() says why; the old set stays
//
// Each new file is written to a temporary beside its target (target + ".tmp"
// + process number) and synced. commit() keeps a copy of every old file
// (target + ".old" + process number), writes the journal (the list of
// renames, synced, put in place by a rename), renames the temporaries into
// place, and removes the journal and the copies. A rename that fails puts
// back those already done. A set that is not committed is thrown away.
//
// A run that dies leaves its journal or its temporaries behind. recover_sets()
// finishes what a dead run's journal describes: a journal written before the
// renames ("FORWARD") is carried out; a journal of a run that was still
// working on its files ("BACK", see protect()) puts the old files back.
// Temporaries and copies of a dead run without a journal are removed. Files
// of a run that is still alive are left alone.
#pragma once

#include <string>
#include <vector>

namespace recio {

class FileSet {
  public:
    // The journal's name, e.g. "SITE.SET" beside the site's files. Finishes
    // what a dead run left in that folder first.
    explicit FileSet(std::string journal);
    // A set neither committed nor released is put back as it was.
    ~FileSet();
    FileSet(const FileSet&) = delete;
    FileSet& operator=(const FileSet&) = delete;

    // The path to write the new content of `target` to.
    std::string stage(const std::string& target);
    // Where the set's present content of `target` is: its temporary once
    // staged, the target itself otherwise.
    std::string current(const std::string& target) const;

    // For a run that changes files in place while it works: keeps a copy of
    // each (or notes that it does not exist) and writes a journal that puts
    // them back should the run die before commit(). False (failure() says
    // why) if a copy or the journal cannot be written.
    bool protect(const std::vector<std::string>& targets);

    // Renames every staged file into place (see above). False, with the old
    // set back in place, if that cannot be done.
    bool commit();
    // Puts the old files back and removes the temporaries (also done by the
    // destructor). Uses only calls that are safe in a signal handler.
    void roll_back() noexcept;

    // The file and the reason of the last failure, e.g. "X.OUT: IS A DIRECTORY".
    const std::string& failure() const { return failure_; }

  private:
    struct Entry {
        std::string target, temp, copy;
        bool existed = false;  // a copy of the old file is kept
        bool staged = false;
        bool guarded = false;  // under protect(): the run may change it in place
        bool done = false;     // renamed into place
    };
    Entry& entry(const std::string& target);
    bool keep_copies();
    bool write_journal(const char* direction);
    bool fail(const std::string& file, int error);

    std::string journal_;
    std::vector<Entry> entries_;
    bool active_ = true;
    std::string failure_;
};

// Finishes or undoes the sets of dead runs in `folder` (see above).
void recover_sets(const std::string& folder = ".");

// Until the set is committed or gone, SIGINT, SIGTERM and SIGHUP stop any
// child program, put the set back and end the program with STATUS_FAILED.
class SignalsRollBack {
  public:
    explicit SignalsRollBack(FileSet& set);
    ~SignalsRollBack();
    SignalsRollBack(const SignalsRollBack&) = delete;
    SignalsRollBack& operator=(const SignalsRollBack&) = delete;
};

}  // namespace recio
