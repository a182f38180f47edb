// Menu, accelerator and dialog definitions of the program, in the
// interface's language. Japanese keeps the game's own layouts; the other
// languages' texts are longer, and their dialogs have roomier ones.
#pragma once

#include "platform/platform.h"

const MenuDef& mainMenuDef();
const AcceleratorTable& acceleratorDef();
const DialogDef& newGameDialogDef();
const DialogDef& settingsDialogDef();
const DialogDef& editDoneDialogDef();
