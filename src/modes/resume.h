// The game in progress kept on disk after every turn, so that a run ended
// from outside (a kill, a crash, the end of the session) offers it back at
// the next start.
#pragma once

#include <string>

struct Window;

// Each running copy keeps its own game in the state folder: current.ggf, or
// current-2.ggf and so on while other copies keep theirs (see kept_files.h).

// This copy's kept game, its place claimed on first use; "" when there is no
// state folder or no place can be locked there.
std::string gameInProgressPath();
// After every turn, pass and undo: writes the running game whole, or removes
// the file once no game runs (it ended or was resigned). A trial is played in
// one sitting and is never kept.
void keepGameInProgress();
// A new game replaces the one kept. Only this copy's game goes.
void forgetGameInProgress();
// At the program's end: the kept game stays, for a later start to offer.
void releaseGameInProgress();
// At start, before the new-game dialog: asks whether to resume the newest
// valid unfinished game kept by a copy that is no longer running (it was
// killed, crashed or closed mid-game), naming its move number and players.
// Returns true when it was resumed, its players restored and saved as the
// settings; this copy then keeps it. いいえ removes the file; a question
// closed unanswered (the session ending) leaves it. Other such games stay for
// later starts. A damaged, illegal or finished file is moved aside to
// <name>.bad with one line on stderr, and the next one is looked at.
bool offerInterruptedGame(Window* window);
