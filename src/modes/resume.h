// The game in progress kept on disk after every turn, so that a run ended
// from outside (a kill, a crash, the end of the session) offers it back at
// the next start.
#pragma once

#include <string>

struct Window;

// current.ggf in the state folder, or "" when there is no state folder.
std::string gameInProgressPath();
// After every turn, pass and undo: writes the running game whole, or removes
// the file once no game runs (it ended or was resigned). A trial is played in
// one sitting and is never kept.
void keepGameInProgress();
// A new game replaces the one kept.
void forgetGameInProgress();
// At start, before the new-game dialog: asks whether to resume a valid
// unfinished game that was kept, and returns true when it was resumed, its
// players restored and saved as the settings. いいえ removes the file; a
// question closed unanswered (the session ending) leaves it. A damaged,
// illegal or finished file is moved aside to current.ggf.bad with one line
// on stderr.
bool offerInterruptedGame(Window* window);
