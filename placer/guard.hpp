// The output site of a run, kept safe until the run has done its job.
//
// A placement run writes the grid files of its output site every disposal
// week (the long-term model works on them) and the summary only at the end.
// A run that stops on the way would leave a grid of some week beside the
// summary of an earlier run, or, when the output name is the site name, the
// starting site half updated. The guard holds the files as they were before
// the run and puts them back when the run does not end normally; files the
// run created are removed. Each file is put back through a temporary file
// and a rename, like every site file is written.
#pragma once

#include <string>
#include <vector>

namespace placer {

class OutputGuard {
  public:
    OutputGuard() = default;
    OutputGuard(const OutputGuard&) = delete;
    OutputGuard& operator=(const OutputGuard&) = delete;
    // Puts the files back unless the run was released.
    ~OutputGuard();

    // Holds the present content of each file (or its absence). Returns an
    // empty text, or the message for a file that exists but cannot be read.
    std::string hold(const std::vector<std::string>& files);
    // The run has done its job: its files stay as it wrote them.
    void release() { held_.clear(); }
    // Puts every changed file back as it was, removes the files that did not
    // exist, and says on the console which files it put back.
    void restore();

  private:
    struct Held {
        std::string path;
        bool existed = false;
        std::string bytes;
    };
    std::vector<Held> held_;
};

}  // namespace placer
