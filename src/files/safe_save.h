// Replacing a file's whole content so that a crash, a full disk or a second
// copy of the program saving at the same moment never leaves a half-written
// or mixed file, wherever that can be avoided.
#pragma once

#include <string>
#include <string_view>

// Makes bytes the whole content of the file at path; returns 0 or the errno
// value of the step that failed.
// - A symbolic link is followed to the file it finally names, which receives
//   the bytes; the link stays a link.
// - The bytes go to a temporary file of a unique name beside that file
//   (".<name>.<six letters>", the name cut short when it is long), are
//   flushed, and the temporary file is renamed over it. An existing file keeps
//   its mode and owner; a new one gets 0666 less the umask.
// - When no temporary file can be made there (a read-only folder with a
//   writable file, a full disk) or kept as the file's owner, the existing
//   file is written in place instead, unless inPlace is Never, and only when
//   the new bytes are no longer than the file is now: a small settings record
//   is better saved in place than not at all, but a file half written over a
//   full disk is worse than one left as it was.
// - A file that exists but is not a regular file, or that we may not write,
//   is left as it is.
enum class InPlace { WhenNeeded, Never };
int saveFileSafely(const std::string& path, std::string_view bytes, InPlace inPlace = InPlace::WhenNeeded);

// Makes bytes the whole content of the file at path through a temporary file
// beside it (0600), flushed and renamed over it, and nothing else: with no
// fallback, a reader finds either the old content or the new, never a part.
// The folder is not flushed: after a power cut the old content may be back.
// A link at path is replaced, not followed. Returns 0 or the errno value.
int saveFileAtomically(const std::string& path, std::string_view bytes);

// Removes what saves into folder left behind when they were cut short (a kill
// between a temporary file's creation and its rename): regular files named
// as the temporary files above, and older than a minute, so that a save in
// progress in another copy of the program is never disturbed.
void removeStaleTemporaries(const std::string& folder);
