// Menu, accelerator and dialog definitions of the program.
#pragma once

#include "platform/platform.h"

extern const MenuDef MYAPP;
extern const AcceleratorTable MYACCEL;
extern const DialogDef MYDIALOG;
extern const DialogDef CONFIGDLG;
extern const DialogDef EDITDONEDLG;
