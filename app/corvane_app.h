// The application: it sets up the platform, runs the main dialog in its
// window until the dialog ends, and takes everything down again.
#pragma once

#include "platform/dialog_events.h"

class CCorvaneDlg;

class CCorvaneApp {
 public:
  // Starts the platform and runs InitInstance; the process's exit code.
  int Run(int& argc, char** argv);
  // Runs the main dialog; FALSE, as the program then ends.
  bool InitInstance();

  CCorvaneDlg* m_pMainWnd = nullptr;
};

extern CCorvaneApp theApp;
