// A file that each running copy of the program keeps for itself in a folder
// shared by all copies: "current.ggf" for the first, "current-2.ggf",
// "current-3.ggf" ... for copies running beside it. A copy owns its file
// through an flock on "<file>.lock", taken before it writes the file and held
// for as long as the file is its own; the kernel drops the lock when the
// process ends however it ends, so a file whose lock can be taken belongs to
// no running copy. A copy that resumes such a file takes over its lock.
#pragma once

#include <string>
#include <vector>

struct KeptFile {
    std::string path; // the kept file; "" when none is held
    int lock = -1;    // the locked lock file, -1 when none is held
};

// The kept files of this name in folder ("current.ggf" and its numbered
// kin), newest first, whoever owns them.
std::vector<std::string> keptFilesIn(const std::string& folder, const std::string& name);
// Takes the lock of the kept file at path when no running copy holds it and
// the file is still there: true and file set, or false and file untouched.
bool claimKeptFile(const std::string& path, KeptFile& file);
// Locks the first numbered place in folder that holds no file and that no
// running copy holds; file.path stays "" when none can be had (an unwritable
// folder).
KeptFile claimFreeKeptFile(const std::string& folder, const std::string& name);
// Gives the lock up; the kept file, if any, stays for a later claim.
void releaseKeptFile(KeptFile& file);
