// The controls of the main window: the visible progress bar, status line and
// firmware-page notes, and the hidden buttons and statics whose texts the
// program still sets.
#pragma once

#include "platform/modal_dialog.h"

platform::DialogTemplate MainDialogTemplate();
